#include "catalogue/file_helpers.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace ardmoor {

bool FileExists(std::wstring_view path) {
    if (path.empty()) return false;
    const std::wstring p(path);
    // A plain path needs only its attributes, one cheap call; wildcards and a trailing separator
    // keep the find-first-file meaning (a pattern that matches counts, "C:\dir\" does not).
    const bool plain = p.find_first_of(L"*?") == std::wstring::npos && p.back() != L'\\' && p.back() != L'/';
    if (plain) return ::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
    WIN32_FIND_DATAW fd;
    const HANDLE h = ::FindFirstFileW(p.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::FindClose(h);
    return true;
}

std::wstring AddBackslash(std::wstring_view path) {
    std::wstring out(path);
    if (out.empty() || out.back() != L'\\') out.push_back(L'\\');
    return out;
}

std::wstring RemoveBackslash(std::wstring_view path) {
    if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
    return std::wstring(path);
}

std::wstring GetSpecialFolderPath(int folder) {
    std::wstring path;
    if (folder == kFolderTemp) {
        std::vector<wchar_t> buf(MAX_PATH + 1);
        for (int attempt = 0; attempt < 4; ++attempt) {
            const DWORD n = ::GetTempPathW(static_cast<DWORD>(buf.size()), buf.data());
            if (n == 0) return {};
            if (n < buf.size()) {
                path.assign(buf.data(), n);
                break;
            }
            buf.resize(n + 1);
        }
    } else {
        wchar_t buf[MAX_PATH] = {};
        if (FAILED(::SHGetFolderPathW(nullptr, folder, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1)), 0, buf)))
            return {};
        path = buf;  // cut at the first NUL
    }
    if (path.empty()) return {};
    return AddBackslash(path);
}

std::wstring ProgramFolder() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            std::wstring path(buf.data(), n);
            const size_t slash = path.find_last_of(L'\\');
            return AddBackslash(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
        }
        if (buf.size() >= 32768) return {};
        buf.resize(buf.size() * 2);
    }
}

}  // namespace ardmoor
