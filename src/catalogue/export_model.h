#pragma once
// The listing as exported: every entry the listing lists, with the fields fleet tools read (named
// as osquery's `programs` table names them where the meaning is the same) and Ardmoor's own.
// Read through the listing's reader by the listing's rules; nothing is written to the registry.
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/listing.h"
#include "platform/result.h"

namespace ardmoor {

struct ExportRecord {
    std::wstring name;                // the row text: DisplayName, else the key's own name
    std::wstring version;             // DisplayVersion
    std::wstring publisher;
    std::wstring install_location;
    std::wstring install_source;
    std::wstring install_date;        // InstallDate as stored
    std::wstring uninstall_string;
    std::wstring identifying_number;  // the key's name when it is a product code in braces
    std::wstring language;
    std::wstring key;                 // the full registry path, as the row's key
    std::wstring scope;               // machine-64, machine-32 or user
    std::wstring quiet_uninstall_string;
    std::wstring display_icon;
    std::optional<uint64_t> estimated_size_kb;
    bool system_component = false;
    std::wstring help_link;
    std::wstring url_info_about;
    std::wstring url_update_info;
    std::wstring help_telephone;
    std::wstring modify_path;
};

enum class ExportFieldType { Text, Number, Boolean };

struct ExportField {
    std::string_view name;
    ExportFieldType type;
    std::wstring ExportRecord::*text;  // null for the number and the boolean
};

// Every field, in the order the formats write them.
const std::array<ExportField, 20>& ExportFields();
// A field as text, for formats without types: a number in decimal, a boolean as true or false,
// an absent number empty.
std::wstring FieldText(const ExportRecord& record, const ExportField& field);

// machine-64, machine-32 (the 32-bit view, WOW6432Node) or user (HKEY_CURRENT_USER), from the path.
std::wstring_view ScopeOfKey(std::wstring_view fullPath);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hexadecimal digits.
bool IsProductCode(std::wstring_view keyName);

inline constexpr long kExportStopped = ERROR_CANCELLED;

class ExportListing {
public:
    explicit ExportListing(std::vector<std::wstring> roots = DefaultUninstallRoots());

    // Reads every listed entry, each in one pass over its values, sorted as the list sorts its rows
    // (by name, then key). Fails with kRegKeyNotFound when none of the roots could be read, and
    // with kExportStopped when `stop` became true meanwhile (checked between entries).
    [[nodiscard]] Status Read(const std::atomic<bool>* stop = nullptr);

    [[nodiscard]] const std::vector<ExportRecord>& Records() const noexcept { return records_; }

private:
    std::vector<std::wstring> roots_;
    std::vector<ExportRecord> records_;
};

}  // namespace ardmoor
