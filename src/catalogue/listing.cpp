#include "catalogue/listing.h"

#include "catalogue/registry.h"
#include "platform/strings.h"

namespace ardmoor {

std::vector<std::wstring> DefaultUninstallRoots() {
    return {std::wstring(kUninstallPath), std::wstring(kUninstallPathWow32), std::wstring(kUninstallPathUser)};
}

std::wstring DetailsText(const arItem& item) {
    return L"Name: " + item.ItemName + L"\r\nPublisher: " + item.Publisher + L"\r\nVersion: " + item.DisplayVersion +
           L"\r\nHelp Link: " + item.HelpLink + L"\r\nInstall Date: " + item.InstallDate +
           L"\r\nInstall Location: " + item.InstallLocation + L"\r\nUninstall Path: " + item.UninstallString;
}

std::wstring UninstallColumnText(const arItem& item) {
    return item.UninstallString.empty() ? item.QuietUninstallString : item.UninstallString;
}

int LetterGroupIndex(std::wstring_view rowText) {
    if (rowText.empty()) return kOtherGroup;
    const std::wstring first = ToUpper(rowText.substr(0, 1));
    const wchar_t c = first.empty() ? L'\0' : first[0];
    return c >= L'A' && c <= L'Z' ? c - L'A' : kOtherGroup;
}

std::wstring LetterGroupCaption(int index) {
    if (index >= 0 && index < kOtherGroup) return std::wstring(1, static_cast<wchar_t>(L'A' + index));
    return L"Other";
}

ListingReader::ListingReader(std::vector<std::wstring> roots, std::wstring iconFolder)
    : roots_(std::move(roots)), iconFolder_(std::move(iconFolder)) {}

bool ListingReader::ForEachEntry(const std::function<bool(RegKey& key, uint32_t valueCount)>& visit) const {
    bool anyRoot = false;
    for (const std::wstring& rootPath : roots_) {
        auto root = RegKey::Open(rootPath);
        if (!root) continue;  // a machine without the 32-bit view simply has no such entries
        const auto count = root->SubkeyCount();
        if (!count) continue;
        anyRoot = true;
        for (uint32_t i = 1; i <= *count; ++i) {
            auto key = root->SubkeyAt(i);
            if (!key) continue;
            // Keys with subkeys of their own are containers, not entries. (Both counts in one call:
            // the value count spares a one-pass reader its closing call.)
            const auto counts = key->SubkeyAndValueCounts();
            if (counts && counts->subkeys > 0) continue;
            if (!visit(*key, counts ? counts->values : kUnknownValueCount)) return true;
        }
    }
    return anyRoot;
}

bool ListingReader::ReadRows(std::vector<ListingEntry>& out, const std::function<bool()>& next) const {
    bool stopped = false;
    (void)ForEachEntry([&](RegKey& key, uint32_t valueCount) {
        ListingEntry& entry = out.emplace_back(ListingEntry{arItem(iconFolder_), std::move(key), valueCount});
        entry.item.LoadRowValues(*entry.key);
        stopped = next && !next();
        return !stopped;
    });
    return !stopped;
}

void ListingReader::Complete(ListingEntry& entry) {
    if (!entry.key) return;
    entry.item.LoadValues(*entry.key, OtherValueSink(), entry.valueCount);
    entry.key.reset();
}

void ListingReader::CompleteForListing(ListingEntry& entry) {
    if (!entry.key) return;
    entry.item.LoadListingValues(*entry.key);
    entry.key.reset();
}

std::vector<arItem> ListingReader::ReadAll() const {
    std::vector<ListingEntry> rows;
    (void)ReadRows(rows);
    std::vector<arItem> entries;
    entries.reserve(rows.size());
    for (ListingEntry& row : rows) {
        Complete(row);
        entries.push_back(std::move(row.item));
    }
    return entries;
}

int IconIndexCache::IndexOf(const std::wstring& file) {
    std::wstring key = ToLower(file);
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    const int index = lookup_(file);
    cache_.emplace(std::move(key), index);
    return index;
}

}  // namespace ardmoor
