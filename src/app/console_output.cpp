#include "app/console_output.h"

#include <algorithm>

#include "platform/strings.h"

namespace ardmoor {

namespace {

bool Usable(HANDLE h) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
    ::SetLastError(NO_ERROR);
    return ::GetFileType(h) != FILE_TYPE_UNKNOWN || ::GetLastError() == NO_ERROR;
}

}  // namespace

StandardStream::StandardStream(HANDLE handle) noexcept : handle_(handle) {
    DWORD mode = 0;
    console_ = handle_ && ::GetConsoleMode(handle_, &mode);
}

Status StandardStream::Write(std::string_view utf8) {
    if (!handle_) return {};  // nobody to tell: a script that wanted the output redirects it
    if (console_) {
        const std::wstring text = Utf8ToWide(utf8);
        for (size_t at = 0; at < text.size();) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - at, 16384));
            if (!::WriteConsoleW(handle_, text.data() + at, chunk, &written, nullptr) || written == 0)
                return Error{static_cast<long>(::GetLastError())};
            at += written;
        }
        return {};
    }
    while (!utf8.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(utf8.size(), 1u << 20));
        if (!::WriteFile(handle_, utf8.data(), chunk, &written, nullptr) || written == 0)
            return Error{static_cast<long>(::GetLastError())};
        utf8.remove_prefix(written);
    }
    return {};
}

ProcessStreams::ProcessStreams() {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!Usable(out) || !Usable(err)) {
        // Fails when there is no parent console, and also when the process already has one
        // (Wine attaches a windowed child to its parent's): CONOUT$ then tells.
        ::AttachConsole(ATTACH_PARENT_PROCESS);
        console_.reset(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
        if (!Usable(out)) out = console_.get();
        if (!Usable(err)) err = console_.get();
    }
    out_ = StandardStream(Usable(out) ? out : nullptr);
    err_ = StandardStream(Usable(err) ? err : nullptr);
}

}  // namespace ardmoor
