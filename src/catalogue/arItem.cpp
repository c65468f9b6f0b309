#include "catalogue/arItem.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "catalogue/registry.h"
#include "platform/strings.h"

namespace ardmoor {

namespace {

struct FieldSpec {
    std::wstring_view name;
    std::wstring arItem::*text;  // one of text / number is set
    int32_t arItem::*number;
};

// The nineteen values, in their reading order.
const std::array<FieldSpec, 19> kFields = {{
    {L"Comments", &arItem::Comments, nullptr},
    {L"Contact", &arItem::Contact, nullptr},
    {L"DisplayName", &arItem::DisplayName, nullptr},
    {L"DisplayIcon", &arItem::DisplayIcon, nullptr},
    {L"DisplayVersion", &arItem::DisplayVersion, nullptr},
    {L"HelpLink", &arItem::HelpLink, nullptr},
    {L"HelpTelephone", &arItem::HelpTelephone, nullptr},
    {L"InstallDate", &arItem::InstallDate, nullptr},
    {L"InstallLocation", &arItem::InstallLocation, nullptr},
    {L"InstallSource", &arItem::InstallSource, nullptr},
    {L"Publisher", &arItem::Publisher, nullptr},
    {L"ReadMe", &arItem::Readme, nullptr},
    {L"UninstallString", &arItem::UninstallString, nullptr},
    {L"QuietUninstallString", &arItem::QuietUninstallString, nullptr},
    {L"URLInfoAbout", &arItem::URLInfoAbout, nullptr},
    {L"URLUpdateInfo", &arItem::URLUpdateInfo, nullptr},
    {L"Version", nullptr, &arItem::Version},
    {L"VersionMajor", nullptr, &arItem::VersionMajor},
    {L"VersionMinor", nullptr, &arItem::VersionMinor},
}};

constexpr size_t kLongestFieldName = 20;  // "QuietUninstallString"

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

// The field a value name stands for (case-insensitive, as the registry compares names), or null.
const FieldSpec* FieldFor(const wchar_t* name, size_t len) {
    if (len == 0 || len > kLongestFieldName) return nullptr;
    for (const FieldSpec& f : kFields) {
        if (f.name.size() != len || AsciiLower(f.name[0]) != AsciiLower(name[0])) continue;
        if (EqualsNoCase(f.name, std::wstring_view(name, len))) return &f;
    }
    return nullptr;
}

std::wstring Expand(const std::wstring& raw) {
    std::wstring out(raw.size() + 64, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = ::ExpandEnvironmentStringsW(raw.c_str(), out.data(), static_cast<DWORD>(out.size()));
        if (n == 0) return raw;  // cannot expand (too long, ...): keep the data as stored
        if (n <= out.size()) {
            out.resize(n - 1);
            return out;
        }
        out.resize(n);
    }
    return raw;
}

// The values of one open entry key, read in one RegEnumValueW pass (see bench/entry_loader.cpp for
// why a pass beats nineteen RegQueryValueExW calls).
void ReadFields(arItem& item, HKEY key, const OtherValueSink* others = nullptr,
                uint32_t valueCount = kUnknownValueCount) {
    constexpr DWORD kNameChars = 16384;  // the registry's longest value name + NUL
    // Reused across entries: the listing loads thousands in a row.
    thread_local std::vector<wchar_t> name(kNameChars);
    thread_local std::vector<BYTE> data(4096);
    if (data.size() > (1u << 20)) data.assign(4096, 0);  // give back what one huge value took
    size_t found = 0;
    int retries = 0;
    for (DWORD index = 0; (found < kFields.size() || others) && index < valueCount;) {
        DWORD nameLen = kNameChars;
        DWORD cb = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS rc = ::RegEnumValueW(key, index, name.data(), &nameLen, nullptr, &type, data.data(), &cb);
        if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && cb > data.size())) {
            // Larger than the buffer, or grew between calls: make room and read this index again.
            if (++retries > 16) {
                ++index;
                retries = 0;
                continue;
            }
            data.resize(std::max<size_t>(static_cast<size_t>(cb) + 64, data.size() * 2));
            continue;
        }
        if (rc != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or the key went away
        ++index;
        retries = 0;
        const FieldSpec* f = FieldFor(name.data(), nameLen < kNameChars ? nameLen : 0);
        if (!f) {
            if (others && nameLen < kNameChars) (*others)(std::wstring_view(name.data(), nameLen), type, data.data(), cb);
            continue;
        }
        ++found;
        if (f->text) {
            item.*(f->text) = EntryValueText(type, data.data(), cb);
        } else {
            auto n = DataToInt32(type, data.data(), cb);
            if (n) item.*(f->number) = n.value();
        }
    }
}

}  // namespace

std::wstring EntryValueText(DWORD type, const BYTE* data, size_t size) {
    std::wstring text = DataToText(type, data, size);
    return type == REG_EXPAND_SZ ? Expand(text) : text;
}

namespace {

// Steps 1-6 of the cache reader, without the existence test.
std::wstring ReadCachedPath(std::wstring_view sName) {
    auto key = RegKey::Open(std::wstring(kArpCachePath) + std::wstring(sName));
    if (!key) return {};
    auto value = key->Value(L"SlowInfoCache");
    if (!value) return {};
    std::wstring text = value->Text();
    constexpr size_t kPathChars = 262;  // the last 524 bytes: the cached program path, UTF-16
    if (text.size() > kPathChars) text.erase(0, text.size() - kPathChars);
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return RemoveChar(text, L'"');
}

// FileExists with a memory, so one icon choice never probes the same path twice.
class Prober {
public:
    explicit Prober(FileProbeCache* shared) : shared_(shared) {}
    bool MayHaveCachedPath(const std::wstring& keyName) { return !shared_ || shared_->MayHaveCachedPath(keyName); }
    bool Exists(const std::wstring& path) {
        if (path.empty()) return false;
        for (const auto& [p, exists] : seen_)
            if (p == path) return exists;
        const bool exists = shared_ ? shared_->Exists(path) : FileExists(path);
        seen_.emplace_back(path, exists);
        return exists;
    }
    [[nodiscard]] int Count() const { return static_cast<int>(seen_.size()); }

private:
    FileProbeCache* shared_;
    std::vector<std::pair<std::wstring, bool>> seen_;
};

// The ten-step icon choice. A candidate is taken when it is not empty and exists; the first one
// taken ends the search. "Cleaned" means every double quote removed.
std::wstring PickIcon(const arItem& item, const std::wstring& keyName, const std::wstring& iconFolder,
                      Prober& probe) {
    const auto taken = [&](const std::wstring& candidate) { return probe.Exists(candidate); };

    // 1. No uninstall information at all: the "invalid entry" icon.
    if (item.UninstallString.empty() && item.QuietUninstallString.empty()) {
        if (std::wstring c = iconFolder + L"invalid.ico"; taken(c)) return c;
    }
    // 2. The entry's own icon.
    const std::wstring icon = RemoveChar(item.DisplayIcon, L'"');
    if (taken(icon)) return icon;
    // 3. The program the application cache records for this entry (already cleaned; the cache
    //    reader's own existence test and this step's are the same probe).
    if (!keyName.empty() && probe.MayHaveCachedPath(keyName)) {
        if (std::wstring c = ReadCachedPath(keyName); taken(c)) return c;
    }
    // 4. The uninstall command as a whole.
    const std::wstring uninstall = RemoveChar(item.UninstallString, L'"');
    if (taken(uninstall)) return uninstall;
    // 5. The icon path without its ",index".
    if (std::wstring c = icon.substr(0, icon.find(L',')); taken(c)) return c;
    // 6, 7. The uninstall command up to its first "exe" / "dll" (case-sensitive), that appended.
    for (const std::wstring_view ext : {std::wstring_view(L"exe"), std::wstring_view(L"dll")}) {
        const size_t at = uninstall.find(ext);
        std::wstring c = (at == std::wstring::npos ? uninstall : uninstall.substr(0, at)) + std::wstring(ext);
        if (taken(c)) return c;
    }
    // 8. Windows Installer entries: msiexec.exe of the system folder, else of the Windows folder.
    if (ToLower(uninstall).find(L"msiexec") != std::wstring::npos) {
        // The system's folders do not move while the program runs.
        static const std::wstring systemFolder = GetSpecialFolderPath(kFolderSystem);
        static const std::wstring windowsFolder = GetSpecialFolderPath(kFolderWindows);
        for (const std::wstring* folder : {&systemFolder, &windowsFolder}) {
            if (std::wstring c = *folder + L"msiexec.exe"; taken(c)) return c;
        }
    }
    // 9. The generic icon; 10. otherwise none.
    if (std::wstring c = iconFolder + L"noicon.ico"; taken(c)) return c;
    return {};
}

}  // namespace

arItem::arItem(std::wstring_view iconFolder) { SetIconFolder(iconFolder); }

void arItem::SetIconFolder(std::wstring_view folder) {
    iconFolder_ = folder.empty() ? ProgramFolder() : AddBackslash(folder);
}

void arItem::Reset(std::wstring_view sReg) {
    for (const FieldSpec& f : kFields) {
        if (f.text) (this->*(f.text)).clear();
        else this->*(f.number) = 0;
    }
    Fullname.assign(sReg);
    ItemName.clear();
    ItemIcon.clear();
    keyName_.clear();
}

void arItem::LoadValues(std::wstring_view sReg) {
    Reset(sReg);
    auto key = RegKey::Open(sReg);
    if (!key) return;
    ReadFields(*this, key->handle());
    keyName_ = key->Name();
    ItemName = DisplayName.empty() ? keyName_ : DisplayName;
}

void arItem::LoadValues(const RegKey& key) { LoadValues(key, OtherValueSink()); }

void arItem::LoadValues(const RegKey& key, const OtherValueSink& others, uint32_t valueCount) {
    Reset(key.FullPath());
    ReadFields(*this, key.handle(), others ? &others : nullptr, valueCount);
    keyName_ = key.Name();
    ItemName = DisplayName.empty() ? keyName_ : DisplayName;
}

namespace {
void ReadByName(const RegKey& key, std::initializer_list<std::pair<const wchar_t*, std::wstring*>> fields) {
    thread_local std::vector<BYTE> data(1024);
    for (const auto& [name, field] : fields) {
        DWORD type = REG_NONE;
        if (detail::QueryValue(key.handle(), name, type, data) != 0) continue;
        *field = EntryValueText(type, data.data(), data.size());
    }
    if (data.size() > (1u << 20)) data.assign(1024, 0);  // give back what one huge value took
}
}  // namespace

void arItem::LoadRowValues(const RegKey& key) {
    Reset(key.FullPath());
    ReadByName(key, {{L"DisplayName", &DisplayName}, {L"UninstallString", &UninstallString}});
    // A row shows the quiet command only in place of a missing one; one registry call fewer for most.
    if (UninstallString.empty()) ReadByName(key, {{L"QuietUninstallString", &QuietUninstallString}});
    keyName_ = key.Name();
    ItemName = DisplayName.empty() ? keyName_ : DisplayName;
}

void arItem::LoadListingValues(const RegKey& key) {
    ReadByName(key, {{L"Publisher", &Publisher},
                     {L"DisplayVersion", &DisplayVersion},
                     {L"HelpLink", &HelpLink},
                     {L"InstallDate", &InstallDate},
                     {L"InstallLocation", &InstallLocation},
                     {L"DisplayIcon", &DisplayIcon}});
}

void arItem::GetItemInformation(std::wstring_view sReg) {
    LoadValues(sReg);
    ChooseIcon();
}

std::wstring arItem::GetCachedProgramPath(std::wstring_view sName) const {
    std::wstring path = ReadCachedPath(sName);
    return !path.empty() && FileExists(path) ? path : std::wstring();
}

bool FileProbeCache::Exists(const std::wstring& path) {
    if (auto it = seen_.find(path); it != seen_.end()) return it->second;
    // Nothing exists in a folder that does not: entries left behind name several files in folders
    // long gone, and one probe of the folder (remembered) answers for all of them. Drive paths only:
    // a UNC server name is no folder one can probe.
    const size_t slash = path.find_last_of(L"\\/");
    const bool drivePath = path.size() > 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool inFolder = drivePath && slash != std::wstring::npos && slash > 2 && slash + 1 < path.size() &&
                          path[slash - 1] != L'\\' && path[slash - 1] != L'/' &&
                          path.find_first_of(L"*?") == std::wstring::npos;
    const bool exists = (!inFolder || Exists(path.substr(0, slash))) && FileExists(path);
    seen_.emplace(path, exists);
    return exists;
}

bool FileProbeCache::MayHaveCachedPath(const std::wstring& keyName) {
    if (!cachedNames_) {
        cachedNames_.emplace();
        if (auto root = RegKey::Open(kArpCachePath.substr(0, kArpCachePath.size() - 1))) {
            for (uint32_t i = 1;; ++i) {
                auto name = root->SubkeyNameAt(i);
                if (!name) break;
                cachedNames_->insert(ToLower(*name));
            }
        }
    }
    return cachedNames_->count(ToLower(keyName)) != 0;
}

void arItem::ChooseIcon(FileProbeCache* shared) {
    Prober probe(shared);
    ItemIcon = PickIcon(*this, keyName_, iconFolder_, probe);
    lastProbes_ = probe.Count();
}

}  // namespace ardmoor
