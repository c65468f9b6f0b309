#include "app/modOptions.h"

#include <string_view>

#include "catalogue/registry.h"

namespace ardmoor::modOptions {

namespace {

// Adds the keys of `path` ("\HKEY_CURRENT_USER\a\b\c") one level at a time below its root;
// adding a key that exists is harmless. Returns the last one.
Result<RegKey> CreatePath(const std::wstring& path) {
    const size_t rootEnd = path.find(L'\\', 1);
    auto key = RegKey::Open(path.substr(0, rootEnd));
    size_t pos = rootEnd == std::wstring::npos ? path.size() : rootEnd + 1;
    while (key && pos < path.size()) {
        const size_t next = path.find(L'\\', pos);
        key = key->AddSubkey(path.substr(pos, next == std::wstring::npos ? std::wstring::npos : next - pos));
        pos = next == std::wstring::npos ? path.size() : next + 1;
    }
    return key;
}

// Seeds `name` with `fallback` when it is missing, then reads it; a failed read keeps `field`.
void SeedAndRead(const RegKey& key, const wchar_t* name, int32_t fallback, int32_t& field) {
    field = fallback;
    (void)key.AddValue(name, std::to_wstring(fallback), REG_DWORD);  // keeps stored data when present
    if (auto value = key.Value(name)) {
        if (auto number = value->Int32()) field = *number;
    }
}

// Writes a number, creating the value if something removed it while the program ran.
void Write(const RegKey& key, const wchar_t* name, int32_t data) {
    const std::wstring text = std::to_wstring(data);
    (void)key.AddValue(name, text, REG_DWORD);
    if (auto value = key.Value(name)) (void)value->SetText(text);
}

}  // namespace

Options& Current() {
    static Options options;
    return options;
}

void LoadOptions(const std::wstring& root) {
    Options& o = Current();
    // Registry failures leave the defaults in place; the program runs with them.
    if (auto settings = CreatePath(root + L"\\Settings")) {
        SeedAndRead(*settings, L"View", 0, o.ViewMode);
        int32_t groups = 1;
        SeedAndRead(*settings, L"Groups", 1, groups);
        o.ShowGroups = groups != 0;
    } else {
        o.ViewMode = 0;
        o.ShowGroups = true;
    }
    if (auto install = CreatePath(root + L"\\InstallSettings")) {
        SeedAndRead(*install, L"Fixed", 1, o.SearchFixed);
        SeedAndRead(*install, L"CD", 1, o.SearchCD);
        SeedAndRead(*install, L"Floppy", 1, o.SearchFloppy);
        SeedAndRead(*install, L"IncludeZip", 1, o.IncludeZip);
    } else {
        o.SearchFixed = o.SearchCD = o.SearchFloppy = o.IncludeZip = 1;
    }
}

void SaveOptions(const std::wstring& root) {
    const Options& o = Current();
    if (auto settings = CreatePath(root + L"\\Settings")) {
        Write(*settings, L"View", o.ViewMode);
        Write(*settings, L"Groups", o.ShowGroups ? 1 : 0);
    }
    if (auto install = CreatePath(root + L"\\InstallSettings")) {
        Write(*install, L"Fixed", o.SearchFixed);
        Write(*install, L"CD", o.SearchCD);
        Write(*install, L"Floppy", o.SearchFloppy);
        Write(*install, L"IncludeZip", o.IncludeZip);
    }
}

}  // namespace ardmoor::modOptions
