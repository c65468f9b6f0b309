// Entry loader benchmark. Seeds 2,000 realistic uninstall entries (10-20 values each) under a
// benchmark-owned key in HKEY_CURRENT_USER, then measures, over all entries:
//   floor        open each entry key, read every value once with RegEnumValueW, close
//   query19      open each entry key, 19 RegQueryValueExW calls (the alternative to one pass), close
//   LoadValues   arItem::LoadValues(path): the registry half of the loader (what the listing needs
//                to put rows on screen)
//   walk         how the listing can drive it: SubkeyAt(i), SubkeyCount, LoadValues(key)
//   GetItemInformation   LoadValues + ChooseIcon (file system + application cache)
// and prints each figure with its ratio to the floor. The key and the files it made are removed
// at the end. Usage: bench_entry_loader.exe [entries] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "catalogue/arItem.h"
#include "catalogue/registry.h"

using namespace ardmoor;

namespace {

double NowMs() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

void SetSz(HKEY k, const wchar_t* name, const std::wstring& v, DWORD type = REG_SZ) {
    ::RegSetValueExW(k, name, 0, type, reinterpret_cast<const BYTE*>(v.c_str()),
                     static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
}
void SetDw(HKEY k, const wchar_t* name, DWORD v) {
    ::RegSetValueExW(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
}

bool WriteFile(const std::wstring& path) {
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    ::WriteFile(h, "MZ", 2, &n, nullptr);
    ::CloseHandle(h);
    return true;
}

void RemoveFolder(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    const HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(path + L"\\" + name);
            else
                ::DeleteFileW((path + L"\\" + name).c_str());
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::wstring Guid(std::mt19937& rng) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"{%08X-%04X-%04X-%04X-%04X%08X}", static_cast<unsigned>(rng()), rng() & 0xffff,
                  rng() & 0xffff, rng() & 0xffff, rng() & 0xffff, static_cast<unsigned>(rng()));
    return buf;
}

// The benchmark's own key and files; removed when the object goes.
struct Fixture {
    std::wstring sub;     // below HKEY_CURRENT_USER
    std::wstring folder;  // program files of the fake entries, and the icon folder
    HKEY root = nullptr;
    std::vector<std::wstring> paths;  // full "\HKEY_CURRENT_USER\..." path of each entry
    std::vector<std::wstring> subs;   // the same below HKEY_CURRENT_USER
    size_t values = 0;

    ~Fixture() {
        if (root) ::RegCloseKey(root);
        if (!sub.empty()) ::RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
        if (!sub.empty()) ::RegDeleteKeyW(HKEY_CURRENT_USER, sub.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ArdmoorBench");  // only if empty
        if (!folder.empty()) RemoveFolder(folder);
    }

    bool Seed(int entries) {
        const std::wstring unique = std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(::GetTickCount64());
        sub = L"Software\\ArdmoorBench\\" + unique;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr))
            return false;
        wchar_t temp[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH + 1, temp);
        folder = std::wstring(temp) + L"ardmoor_bench_" + unique;
        ::CreateDirectoryW(folder.c_str(), nullptr);
        WriteFile(folder + L"\\noicon.ico");
        WriteFile(folder + L"\\invalid.ico");
        // 200 installed programs' folders with a main exe and an uninstaller.
        constexpr int kPrograms = 200;
        for (int p = 0; p < kPrograms; ++p) {
            const std::wstring dir = folder + L"\\Program " + std::to_wstring(p);
            ::CreateDirectoryW(dir.c_str(), nullptr);
            WriteFile(dir + L"\\app.exe");
            if (p % 2 == 0) WriteFile(dir + L"\\unins000.exe");
        }

        std::mt19937 rng(20240601);
        const wchar_t* publishers[] = {L"Contoso Ltd.", L"Fabrikam, Inc.", L"Northwind Traders",
                                       L"Microsoft Corporation", L"Adatum Corporation", L"\u682a\u5f0f\u4f1a\u793e Example"};
        for (int i = 0; i < entries; ++i) {
            const bool msi = i % 10 < 3;
            const std::wstring name = msi || i % 7 == 0 ? Guid(rng) : L"Product " + std::to_wstring(i) + L"_is1";
            const std::wstring dir = folder + L"\\Program " + std::to_wstring(i % kPrograms);
            HKEY k = nullptr;
            if (::RegCreateKeyExW(root, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr)) return false;
            int n = 0;
            const auto sz = [&](const wchar_t* v, const std::wstring& data, DWORD type = REG_SZ) {
                SetSz(k, v, data, type);
                ++n;
            };
            const auto dw = [&](const wchar_t* v, DWORD data) {
                SetDw(k, v, data);
                ++n;
            };
            sz(L"DisplayName", L"Product number " + std::to_wstring(i));
            sz(L"DisplayVersion", std::to_wstring(1 + i % 9) + L"." + std::to_wstring(i % 13) + L".2024");
            sz(L"Publisher", publishers[i % 6]);
            sz(L"InstallLocation", dir);
            sz(L"InstallDate", L"20240" + std::to_wstring(1 + i % 9) + L"15");
            dw(L"EstimatedSize", 1000 + static_cast<DWORD>(rng() % 500000));
            dw(L"NoModify", 1);
            dw(L"NoRepair", 1);
            if (msi) {
                sz(L"UninstallString", L"MsiExec.exe /X" + name, REG_EXPAND_SZ);
                sz(L"ModifyPath", L"MsiExec.exe /I" + name, REG_EXPAND_SZ);
                dw(L"WindowsInstaller", 1);
            } else if (i % 10 < 8) {
                sz(L"UninstallString", L"\"" + dir + L"\\unins000.exe\" /SILENT");
                sz(L"QuietUninstallString", L"\"" + dir + L"\\unins000.exe\" /VERYSILENT");
            } else {
                sz(L"UninstallString", dir + L"\\uninstall.exe /S");
            }
            const int icon = i % 5;
            if (icon < 2) sz(L"DisplayIcon", dir + L"\\app.exe");
            else if (icon == 2) sz(L"DisplayIcon", L"\"" + dir + L"\\app.exe\",0");
            else if (icon == 3) sz(L"DisplayIcon", dir + L"\\missing.ico");
            // Extras up to 10-20 values in all.
            const int target = 10 + static_cast<int>(rng() % 11);
            const struct {
                const wchar_t* name;
                bool number;
            } extras[] = {{L"VersionMajor", true}, {L"VersionMinor", true}, {L"Version", true},
                          {L"URLInfoAbout", false}, {L"HelpLink", false}, {L"Language", true},
                          {L"Comments", false}, {L"Contact", false}, {L"InstallSource", false},
                          {L"URLUpdateInfo", false}, {L"HelpTelephone", false}, {L"Readme", false},
                          {L"sEstimatedSize2", true}, {L"Inno Setup: App Path", false}, {L"MajorVersion", true}};
            for (const auto& x : extras) {
                if (n >= target) break;
                if (x.number) dw(x.name, static_cast<DWORD>(rng() % 100));
                else sz(x.name, L"https://example.invalid/" + std::to_wstring(i) + L"/" + x.name);
            }
            values += static_cast<size_t>(n);
            ::RegCloseKey(k);
            subs.push_back(sub + L"\\" + name);
            paths.push_back(L"\\HKEY_CURRENT_USER\\" + subs.back());
        }
        return true;
    }
};

// Reads every value of every entry once: the floor the loader is measured against.
size_t Floor(const Fixture& f) {
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(4096);
    size_t read = 0;
    for (const std::wstring& s : f.subs) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, s.c_str(), 0, KEY_READ, &k)) continue;
        for (DWORD i = 0;; ) {
            DWORD nl = 16384, cb = static_cast<DWORD>(data.size()), type = 0;
            const LSTATUS rc = ::RegEnumValueW(k, i, name.data(), &nl, nullptr, &type, data.data(), &cb);
            if (rc == ERROR_MORE_DATA) {
                data.resize(cb + 64);
                continue;
            }
            if (rc != ERROR_SUCCESS) break;
            ++read;
            ++i;
        }
        ::RegCloseKey(k);
    }
    return read;
}

// The alternative to one pass: nineteen named reads.
size_t Query19(const Fixture& f) {
    static const wchar_t* const names[] = {
        L"Comments", L"Contact", L"DisplayName", L"DisplayIcon", L"DisplayVersion", L"HelpLink", L"HelpTelephone",
        L"InstallDate", L"InstallLocation", L"InstallSource", L"Publisher", L"ReadMe", L"UninstallString",
        L"QuietUninstallString", L"URLInfoAbout", L"URLUpdateInfo", L"Version", L"VersionMajor", L"VersionMinor"};
    std::vector<BYTE> data(4096);
    size_t read = 0;
    for (const std::wstring& s : f.subs) {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, s.c_str(), 0, KEY_READ, &k)) continue;
        for (const wchar_t* n : names) {
            DWORD cb = static_cast<DWORD>(data.size()), type = 0;
            if (::RegQueryValueExW(k, n, nullptr, &type, data.data(), &cb) == ERROR_SUCCESS) ++read;
        }
        ::RegCloseKey(k);
    }
    return read;
}

size_t LoadAll(const Fixture& f, arItem& item) {
    size_t named = 0;
    for (const std::wstring& p : f.paths) {
        item.LoadValues(p);
        named += !item.ItemName.empty();
    }
    return named;
}

size_t Walk(const Fixture& f, arItem& item) {
    size_t named = 0;
    auto root = RegKey::Open(L"\\HKEY_CURRENT_USER\\" + f.sub);
    if (!root) return 0;
    const uint32_t count = root->SubkeyCount().value_or(0u);
    for (uint32_t i = 1; i <= count; ++i) {
        auto entry = root->SubkeyAt(i);
        if (!entry || entry->SubkeyCount().value_or(1u) != 0) continue;
        item.LoadValues(*entry);
        named += !item.ItemName.empty();
    }
    return named;
}

size_t InfoAll(const Fixture& f, arItem& item, long long& probes, size_t& withIcon) {
    size_t named = 0;
    probes = 0;
    withIcon = 0;
    for (const std::wstring& p : f.paths) {
        item.GetItemInformation(p);
        named += !item.ItemName.empty();
        probes += item.LastIconProbes();
        withIcon += !item.ItemIcon.empty();
    }
    return named;
}

struct Figure {
    const char* label;
    std::vector<double> ms;
    [[nodiscard]] double Best() const { return *std::min_element(ms.begin(), ms.end()); }
    [[nodiscard]] double Median() const {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int entries = argc > 1 ? std::max(1, _wtoi(argv[1])) : 2000;
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 9;
    Fixture f;
    const double seed0 = NowMs();
    if (!f.Seed(entries)) {
        std::printf("could not seed the benchmark key\n");
        return 1;
    }
    std::printf("seeded %d entries, %zu values (%.1f per entry) in %.0f ms\n", entries, f.values,
                static_cast<double>(f.values) / entries, NowMs() - seed0);

    arItem item(f.folder);
    Figure floor{"floor: open + RegEnumValueW every value", {}};
    Figure query{"open + 19 x RegQueryValueExW", {}};
    Figure load{"arItem::LoadValues(path)", {}};
    Figure walk{"listing walk: SubkeyAt + LoadValues(key)", {}};
    Figure info{"arItem::GetItemInformation(path)", {}};
    size_t check[5] = {};
    long long probes = 0;
    size_t withIcon = 0;
    // Warm-up round (not counted), then interleaved rounds so drift hits every figure alike.
    Floor(f);
    LoadAll(f, item);
    for (int r = 0; r < rounds; ++r) {
        double t = NowMs();
        check[0] = Floor(f);
        floor.ms.push_back(NowMs() - t);
        t = NowMs();
        check[1] = Query19(f);
        query.ms.push_back(NowMs() - t);
        t = NowMs();
        check[2] = LoadAll(f, item);
        load.ms.push_back(NowMs() - t);
        t = NowMs();
        check[3] = Walk(f, item);
        walk.ms.push_back(NowMs() - t);
        t = NowMs();
        check[4] = InfoAll(f, item, probes, withIcon);
        info.ms.push_back(NowMs() - t);
    }

    std::printf("%d rounds; values read: floor %zu, query19 %zu; entries named: %zu / %zu / %zu\n", rounds, check[0],
                check[1], check[2], check[3], check[4]);
    // Ratios of the best rounds (least disturbed by the wineserver and the other core) and of the
    // medians.
    std::printf("%-44s %9s %9s %9s %8s %8s\n", "", "best ms", "median ms", "us/entry", "x best", "x median");
    for (const Figure* fig : {&floor, &query, &load, &walk, &info}) {
        std::printf("%-44s %9.1f %9.1f %9.1f %8.2f %8.2f\n", fig->label, fig->Best(), fig->Median(),
                    fig->Best() * 1000.0 / entries, fig->Best() / floor.Best(), fig->Median() / floor.Median());
    }
    std::printf("icon choice: %.2f FileExists probes per entry, %zu of %d entries got an icon\n",
                static_cast<double>(probes) / entries, withIcon, entries);
    std::printf("LoadValues / floor = %.2f best, %.2f median (target <= 1.25)\n", load.Best() / floor.Best(),
                load.Median() / floor.Median());
    return 0;
}
