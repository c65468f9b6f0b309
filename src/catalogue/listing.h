#pragma once
// Reading the machine's uninstall entries for the main list: which keys are entries, the text of
// each row, its letter group, and one icon lookup per distinct icon file.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/arItem.h"
#include "catalogue/registry.h"

namespace ardmoor {

// The Uninstall key as 64-bit installers see it, as 32-bit installers see it on 64-bit Windows,
// and the current user's own (installers that install for one user write there).
inline constexpr std::wstring_view kUninstallPathWow32 =
    L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr std::wstring_view kUninstallPathUser =
    L"\\HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
std::vector<std::wstring> DefaultUninstallRoots();

// The row's tool-tip: seven labelled lines joined by CR LF.
std::wstring DetailsText(const arItem& item);
// The "Uninstall Path" column: UninstallString, else QuietUninstallString.
std::wstring UninstallColumnText(const arItem& item);

// Letter groups: index 0-25 for "A"-"Z", 26 for "Other".
inline constexpr int kOtherGroup = 26;
int LetterGroupIndex(std::wstring_view rowText);
std::wstring LetterGroupCaption(int index);

// One entry of the listing while it is being read: its record and, until the record is complete,
// its open key.
struct ListingEntry {
    arItem item;
    std::optional<RegKey> key;
    uint32_t valueCount = kUnknownValueCount;  // as counted when the key was opened
};

// Reads the entries of the given Uninstall keys: each direct subkey that has no subkeys of its
// own. Keys that cannot be opened are skipped. Needs no window: a console can list with it.
class ListingReader {
public:
    ListingReader(std::vector<std::wstring> roots, std::wstring iconFolder);
    // Opens every entry and reads what its row shows first (arItem::LoadRowValues) into `out`; the
    // keys stay open for Complete, so that each entry is opened once. `next`, when given, runs
    // after each entry; reading stops when it returns false (then the result is false too).
    bool ReadRows(std::vector<ListingEntry>& out, const std::function<bool()>& next = {}) const;
    // Reads all of the entry's values into its record and closes its key.
    static void Complete(ListingEntry& entry);
    // Reads the rest of what the listing shows (arItem::LoadListingValues) and closes the key.
    static void CompleteForListing(ListingEntry& entry);
    // Both steps for every entry, in one go (no icons).
    [[nodiscard]] std::vector<arItem> ReadAll() const;
    // Opens each entry in turn and hands its key and its count of values to `visit`, without
    // reading any value, for readers that read an entry in one pass; `visit` returns false to stop.
    // False when none of the roots could be read (nothing to list, as opposed to an empty listing).
    bool ForEachEntry(const std::function<bool(RegKey& key, uint32_t valueCount)>& visit) const;

private:
    std::vector<std::wstring> roots_;
    std::wstring iconFolder_;
};

// Looks each distinct icon file up once (paths compared without regard to case).
class IconIndexCache {
public:
    explicit IconIndexCache(std::function<int(const std::wstring&)> lookup) : lookup_(std::move(lookup)) {}
    int IndexOf(const std::wstring& file);
    [[nodiscard]] size_t Lookups() const noexcept { return cache_.size(); }

private:
    std::function<int(const std::wstring&)> lookup_;
    std::unordered_map<std::wstring, int> cache_;
};

}  // namespace ardmoor
