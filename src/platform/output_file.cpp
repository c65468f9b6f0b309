#include "platform/output_file.h"

#include <vector>

namespace ardmoor {

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() noexcept {
    file_.reset();
    if (!temp_.empty()) ::DeleteFileW(temp_.c_str());
    temp_.clear();
}

Status AtomicFile::Open(const std::wstring& target) {
    Discard();
    const DWORD needed = ::GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return Error{static_cast<long>(::GetLastError())};
    std::wstring full(needed, L'\0');
    const DWORD got = ::GetFullPathNameW(target.c_str(), needed, full.data(), nullptr);
    if (got == 0 || got >= needed) return Error{static_cast<long>(::GetLastError())};
    full.resize(got);
    target_ = full;

    // The rename would fail on these only after all the work: say so before any of it.
    const DWORD attributes = ::GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return Error{ERROR_ACCESS_DENIED};

    const size_t slash = target_.find_last_of(L'\\');
    if (slash == std::wstring::npos) return Error{ERROR_BAD_PATHNAME};
    const std::wstring folder = target_.substr(0, slash + 1);
    std::vector<wchar_t> temp(folder.size() + MAX_PATH + 16);
    // A unique name in the same folder, so that the rename stays on one volume.
    if (!::GetTempFileNameW(folder.c_str(), L"ard", 0, temp.data())) return Error{static_cast<long>(::GetLastError())};
    temp_ = temp.data();
    file_.reset(::CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (!file_) {
        const long error = static_cast<long>(::GetLastError());
        Discard();
        return Error{error};
    }
    return {};
}

Status AtomicFile::Write(std::string_view bytes) {
    if (!file_) return Error{ERROR_INVALID_HANDLE};
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
            const long error = static_cast<long>(::GetLastError());
            Discard();
            return Error{error ? error : ERROR_WRITE_FAULT};
        }
        bytes.remove_prefix(written);
    }
    return {};
}

Status AtomicFile::Commit() {
    if (!file_) return Error{ERROR_INVALID_HANDLE};
    if (!::FlushFileBuffers(file_.get())) {
        const long error = static_cast<long>(::GetLastError());
        Discard();
        return Error{error};
    }
    file_.reset();
    if (!::MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const long error = static_cast<long>(::GetLastError());
        Discard();
        return Error{error};
    }
    temp_.clear();
    return {};
}

}  // namespace ardmoor
