#include "platform/directory_reader.h"

namespace ardmoor {

bool DirectoryReader::Open(std::wstring_view folder) {
    std::wstring pattern(folder);
    if (pattern.empty() || pattern.back() != L'\\') pattern.push_back(L'\\');
    pattern.push_back(L'*');
    // Names only (no short names) and the system's larger batches: the walk reads whole drives.
    find_.reset(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data_, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH));
    pending_ = static_cast<bool>(find_);
    return pending_;
}

const DirectoryEntry* DirectoryReader::Next() {
    if (!find_) return nullptr;
    if (!pending_ && !::FindNextFileW(find_.get(), &data_)) {
        find_.reset();
        return nullptr;
    }
    pending_ = false;
    entry_.name = data_.cFileName;
    entry_.attributes = data_.dwFileAttributes;
    entry_.size = (static_cast<uint64_t>(data_.nFileSizeHigh) << 32) | data_.nFileSizeLow;
    entry_.lastWrite = data_.ftLastWriteTime;
    return &entry_;
}

std::vector<LogicalDrive> LogicalDrives() {
    std::vector<LogicalDrive> drives;
    std::wstring buffer(128, L'\0');
    DWORD n = ::GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n > buffer.size()) {  // did not fit: the call gave the size it needs
        buffer.assign(n + 1, L'\0');
        n = ::GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (n == 0 || n > buffer.size()) return drives;
    buffer.resize(n);
    for (size_t start = 0; start < buffer.size();) {
        const size_t end = buffer.find(L'\0', start);
        const std::wstring root = buffer.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (root.empty()) break;
        drives.push_back({root, ::GetDriveTypeW(root.c_str())});
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return drives;
}

NoDiscPrompts::NoDiscPrompts() noexcept {
    set_ = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_) != FALSE;
}

NoDiscPrompts::~NoDiscPrompts() {
    if (set_) ::SetThreadErrorMode(previous_, nullptr);
}

}  // namespace ardmoor
