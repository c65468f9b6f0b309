// Baseline F of the refresh benchmark: opens every entry of the uninstall keys the program lists
// and reads every value once, with no window; then exits.
#include <windows.h>

#include <vector>

namespace {
void ReadAll(HKEY rootKey, const wchar_t* path) {
    HKEY root = nullptr;
    if (::RegOpenKeyExW(rootKey, path, 0, KEY_READ, &root) != ERROR_SUCCESS) return;
    wchar_t name[256];
    std::vector<BYTE> data(64 * 1024);
    std::vector<wchar_t> valueName(16384);
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (::RegEnumKeyExW(root, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        for (DWORD v = 0;; ++v) {
            DWORD nameLen = 16384, size = static_cast<DWORD>(data.size()), type = 0;
            if (::RegEnumValueW(key, v, valueName.data(), &nameLen, nullptr, &type, data.data(), &size) !=
                ERROR_SUCCESS)
                break;
        }
        ::RegCloseKey(key);
    }
    ::RegCloseKey(root);
}
}  // namespace

int wmain() {
    ReadAll(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    ReadAll(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    ReadAll(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    return 0;
}
