#pragma once
// Seeds realistic uninstall entries for the benchmarks: 10-20 values each, a mix of icon sources
// (DisplayIcon with and without ",index", quoted uninstall commands, msiexec products, entries
// with no icon at all) and a small set of icon files shared by many entries.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace ardmoor::bench {

inline const wchar_t* kUninstallSub = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

inline void SetString(HKEY key, const wchar_t* name, const std::wstring& v, DWORD type = REG_SZ) {
    ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(v.c_str()),
                     static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
}
inline void SetDword(HKEY key, const wchar_t* name, DWORD v) {
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
}

// Key names are "<prefix>NNNNN"; returns how many were written.
inline int SeedEntries(HKEY root, const std::wstring& uninstallSub, const std::wstring& prefix, int count) {
    static const wchar_t* words[] = {L"Contoso", L"Fabrikam", L"Northwind", L"Adatum", L"Litware", L"Proseware",
                                     L"Tailspin", L"Wingtip", L"Woodgrove", L"Humongous", L"Lucerne", L"Margie",
                                     L"alpine", L"blue", L"Coho", L"Datum", L"7-Zip", L"{ACME}", L"Ørsted", L"Zeta"};
    static const wchar_t* kinds[] = {L"Photo Editor", L"Runtime", L"Toolkit", L"Media Player", L"SDK", L"Driver",
                                     L"Backup", L"Viewer", L"Update Service", L"Studio"};
    // A few icon files shared by many entries, some present and some not.
    static const wchar_t* icons[] = {L"C:\\windows\\system32\\notepad.exe", L"C:\\windows\\regedit.exe",
                                     L"C:\\windows\\system32\\winecfg.exe", L"C:\\windows\\system32\\msiexec.exe",
                                     L"C:\\windows\\system32\\cmd.exe", L"C:\\Program Files\\Missing\\app.exe"};
    int written = 0;
    for (int i = 0; i < count; ++i) {
        wchar_t id[16];
        std::swprintf(id, 16, L"%05d", i);
        const std::wstring keyName = prefix + id;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root, (uninstallSub + L"\\" + keyName).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr) != ERROR_SUCCESS)
            continue;
        const std::wstring name = std::wstring(words[i % 20]) + L" " + kinds[(i / 20) % 10] + L" " +
                                  std::to_wstring(i % 7 + 1) + L"." + std::to_wstring(i % 13);
        const std::wstring folder = L"C:\\Program Files\\" + std::wstring(words[i % 20]) + L"\\" + id;
        SetString(key, L"DisplayName", name);
        SetString(key, L"DisplayVersion", std::to_wstring(i % 9) + L"." + std::to_wstring(i % 31) + L".0");
        SetString(key, L"Publisher", std::wstring(words[(i + 3) % 20]) + L" Corporation");
        SetString(key, L"InstallLocation", folder);
        SetString(key, L"InstallDate", L"2026" + std::wstring(i % 2 ? L"03" : L"11") + L"1" + std::to_wstring(i % 10));
        SetDword(key, L"EstimatedSize", 1024u * static_cast<DWORD>(i % 500 + 1));
        switch (i % 5) {
        case 0:  // quoted command and an icon with an index
            SetString(key, L"UninstallString", L"\"" + folder + L"\\unins000.exe\" /SILENT");
            SetString(key, L"DisplayIcon", std::wstring(icons[i % 6]) + L",0");
            break;
        case 1:  // msiexec product
            SetString(key, L"UninstallString", L"MsiExec.exe /X{" + std::wstring(id) + L"-1111-2222-3333-444455556666}",
                      REG_EXPAND_SZ);
            SetString(key, L"ModifyPath", L"MsiExec.exe /I{" + std::wstring(id) + L"}", REG_EXPAND_SZ);
            SetDword(key, L"WindowsInstaller", 1);
            SetDword(key, L"Version", 0x01020003);
            break;
        case 2:  // plain icon path
            SetString(key, L"UninstallString", folder + L"\\uninstall.exe");
            SetString(key, L"DisplayIcon", icons[(i / 5) % 6]);
            SetString(key, L"QuietUninstallString", folder + L"\\uninstall.exe /S");
            break;
        case 3:  // no DisplayIcon, command only
            SetString(key, L"UninstallString", L"\"" + folder + L"\\Uninst.exe\"");
            break;
        default:  // no uninstall information at all
            SetString(key, L"Comments", L"Left behind by an old installer");
            break;
        }
        if (i % 2) {
            SetString(key, L"HelpLink", L"https://support.example/" + std::wstring(id));
            SetString(key, L"URLInfoAbout", L"https://www.example/" + std::wstring(id));
            SetString(key, L"HelpTelephone", L"+1 555 01" + std::wstring(id).substr(3));
            SetString(key, L"Contact", L"support@example.com");
        }
        if (i % 3 == 0) {
            SetDword(key, L"NoModify", 1);
            SetDword(key, L"NoRepair", 1);
            SetDword(key, L"VersionMajor", static_cast<DWORD>(i % 9));
            SetDword(key, L"VersionMinor", static_cast<DWORD>(i % 31));
            SetDword(key, L"Language", 1033);
            SetString(key, L"URLUpdateInfo", L"https://update.example/" + std::wstring(id));
            SetString(key, L"Readme", folder + L"\\readme.txt");
        }
        ::RegCloseKey(key);
        ++written;
    }
    return written;
}

// Removes every entry whose key name starts with `prefix`.
inline void RemoveEntries(HKEY root, const std::wstring& uninstallSub, const std::wstring& prefix) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, uninstallSub.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    std::vector<std::wstring> doomed;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (::RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (std::wstring(name, len).rfind(prefix, 0) == 0) doomed.emplace_back(name, len);
    }
    for (const auto& d : doomed) ::RegDeleteTreeW(key, d.c_str()), ::RegDeleteKeyW(key, d.c_str());
    ::RegCloseKey(key);
}

}  // namespace ardmoor::bench
