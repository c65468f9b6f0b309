#pragma once
// Helpers for the catalogue tests: byte buffers from text, raw registry reads that bypass the
// program's registry layer.
#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace ardmoor::test {

// UTF-16 code units of `s` (NULs included, no terminator added) as little-endian bytes.
// A literal with its embedded NULs (all but the compiler's terminator).
template <size_t N>
std::wstring Z(const wchar_t (&s)[N]) {
    return std::wstring(s, N - 1);
}

inline std::vector<BYTE> Utf16Bytes(std::wstring_view s) {
    std::vector<BYTE> out(s.size() * sizeof(wchar_t));
    if (!s.empty()) std::memcpy(out.data(), s.data(), out.size());
    return out;
}

inline std::vector<BYTE> ByteList(std::initializer_list<int> bytes) {
    std::vector<BYTE> out;
    for (int b : bytes) out.push_back(static_cast<BYTE>(b));
    return out;
}

struct RawValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Reads root\sub, value `name` with plain Win32 calls.
inline RawValue ReadRaw(HKEY root, const std::wstring& sub, const std::wstring& name) {
    RawValue v;
    HKEY k = nullptr;
    v.status = ::RegOpenKeyExW(root, sub.c_str(), 0, KEY_QUERY_VALUE, &k);
    if (v.status != ERROR_SUCCESS) return v;
    DWORD cb = 0;
    v.status = ::RegQueryValueExW(k, name.c_str(), nullptr, &v.type, nullptr, &cb);
    if (v.status == ERROR_SUCCESS) {
        v.data.resize(cb);
        v.status = ::RegQueryValueExW(k, name.c_str(), nullptr, &v.type, v.data.data(), &cb);
        v.data.resize(cb);
    }
    ::RegCloseKey(k);
    return v;
}

inline bool KeyExistsRaw(HKEY root, const std::wstring& sub) {
    HKEY k = nullptr;
    if (::RegOpenKeyExW(root, sub.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    ::RegCloseKey(k);
    return true;
}

// Last component of a backslash path.
inline std::wstring LastComponent(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

}  // namespace ardmoor::test
