#pragma once
// The entry record: one uninstall entry, its nineteen values, its display name and the
// file whose icon stands for it.
//
// Loading comes in two public steps so that the listing can put rows on screen before icons:
//   LoadValues(sReg)  registry only: resets every field, sets Fullname, reads the nineteen values
//                     in one pass over the open key, sets ItemName.
//   ChooseIcon()      the ten-step icon choice (file system + application cache): sets ItemIcon.
//   GetItemInformation(sReg) = LoadValues(sReg) then ChooseIcon().
// Nothing is reported: a missing key leaves the record reset with Fullname set and ItemName
// empty; a missing value, or data that does not convert, leaves its field reset.
//
// Choices worth knowing:
//   - Unicode calls throughout (FindFirstFileW, SHGetFolderPathW, GetTempPathW).
//   - REG_EXPAND_SZ values are expanded (ExpandEnvironmentStringsW) as the record takes them, so
//     the icon choice and the uninstall command use real paths. (The registry layer itself keeps
//     the raw data for display and editing.)
//   - The folder where "invalid.ico" and "noicon.ico" are looked for is configurable (IconFolder;
//     default: the program's folder).
//   - The icon choice never probes the same candidate path twice.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "catalogue/file_helpers.h"

namespace ardmoor {

class RegKey;

// Answers of FileExists kept for a short while (one listing refresh): files do not come and go
// between two entries of the same listing often enough to probe them again.
// The same for the application cache: its entry names are listed once, so that an entry it has
// nothing for costs no registry call (most entries, and every one where the cache is missing).
class FileProbeCache {
public:
    bool Exists(const std::wstring& path);
    [[nodiscard]] size_t Size() const noexcept { return seen_.size(); }
    // False when the application cache has no entry of that name.
    bool MayHaveCachedPath(const std::wstring& keyName);

private:
    std::unordered_map<std::wstring, bool> seen_;
    std::optional<std::unordered_set<std::wstring>> cachedNames_;  // lower case
};

inline constexpr uint32_t kUnknownValueCount = 0xFFFFFFFF;

// A value of an entry key that is not one of the record's nineteen, as stored (see LoadValues).
using OtherValueSink = std::function<void(std::wstring_view name, DWORD type, const BYTE* data, size_t size)>;

// A value's data as the record takes it into a text field: the registry layer's text form, with
// REG_EXPAND_SZ expanded.
std::wstring EntryValueText(DWORD type, const BYTE* data, size_t size);

// Where the operating system's application cache lives; an entry's cache is the subkey named like
// the entry's key, value "SlowInfoCache" (binary, the program path in its last 524 bytes).
inline constexpr std::wstring_view kArpCachePath =
    L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\";
// The machine's uninstall entries (the listing's default root; the loader itself takes full paths).
inline constexpr std::wstring_view kUninstallPath =
    L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// NOLINTNEXTLINE(readability-identifier-naming): the class keeps its historical name.
class arItem {
public:
    // iconFolder: where "invalid.ico" and "noicon.ico" are looked for, with or without a trailing
    // backslash. Empty means the program's folder.
    explicit arItem(std::wstring_view iconFolder = {});

    [[nodiscard]] const std::wstring& IconFolder() const noexcept { return iconFolder_; }
    void SetIconFolder(std::wstring_view folder);

    // Fields, in their historical order. Text fields are empty and numbers 0 when unset.
    std::wstring Fullname;
    std::wstring Comments;
    std::wstring DisplayName;
    std::wstring Contact;
    std::wstring DisplayVersion;
    std::wstring HelpLink;
    std::wstring HelpTelephone;
    std::wstring InstallDate;
    std::wstring InstallLocation;
    std::wstring InstallSource;
    std::wstring Publisher;
    std::wstring Readme;
    std::wstring UninstallString;
    std::wstring QuietUninstallString;
    std::wstring URLInfoAbout;
    std::wstring URLUpdateInfo;
    int32_t Version = 0;
    int32_t VersionMajor = 0;
    int32_t VersionMinor = 0;
    std::wstring ItemName;
    std::wstring ItemIcon;
    std::wstring DisplayIcon;

    // sReg: the entry's full registry path, "\HKEY_...\...\<entry key name>" (any parent key will
    // do; the icon choice uses only the entry key's own name).
    void GetItemInformation(std::wstring_view sReg);
    void LoadValues(std::wstring_view sReg);
    // For a caller that already holds the entry key open (the listing walks the subkeys anyway):
    // the same as LoadValues(key.FullPath()) without opening the key again.
    void LoadValues(const RegKey& key);
    // The same, handing every other value of the key to `others` in the same pass, so that a
    // reader that needs more than the nineteen values still reads each value once. `valueCount`,
    // when the caller has just counted the key's values, ends the pass there without asking the
    // registry for one more.
    void LoadValues(const RegKey& key, const OtherValueSink& others, uint32_t valueCount = kUnknownValueCount);
    // Only what a row of the listing shows first: resets the record and reads "DisplayName" and
    // "UninstallString" by name ("QuietUninstallString" only without the latter), then sets
    // ItemName. LoadValues on the same key completes the record later.
    void LoadRowValues(const RegKey& key);
    // After LoadRowValues: the rest of what the listing shows, by name: the tip's values
    // (Publisher, DisplayVersion, HelpLink, InstallDate, InstallLocation) and DisplayIcon for the
    // icon choice. Fewer registry calls than reading every value; the other fields stay empty.
    void LoadListingValues(const RegKey& key);
    // `shared` remembers which paths exist across the entries of one listing, so that icon files
    // many entries name are probed once; null probes afresh.
    void ChooseIcon(FileProbeCache* shared = nullptr);

    // The entry key's own name as the last load found it; empty when the key could not be opened.
    [[nodiscard]] const std::wstring& KeyName() const noexcept { return keyName_; }

    // The entry's main program as the application cache records it (kArpCachePath + sName,
    // value "SlowInfoCache"), when that file exists; otherwise empty.
    [[nodiscard]] std::wstring GetCachedProgramPath(std::wstring_view sName) const;

    // How many distinct paths the last ChooseIcon probed with FileExists (diagnostics, tests).
    [[nodiscard]] int LastIconProbes() const noexcept { return lastProbes_; }

private:
    void Reset(std::wstring_view sReg);
    std::wstring iconFolder_;
    std::wstring keyName_;
    int lastProbes_ = 0;
};

}  // namespace ardmoor
