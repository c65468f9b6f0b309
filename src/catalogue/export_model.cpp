#include "catalogue/export_model.h"

#include <windows.h>

#include <algorithm>

#include "catalogue/arItem.h"
#include "catalogue/registry.h"
#include "platform/strings.h"

namespace ardmoor {

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

bool IsHex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// EstimatedSize in kilobytes: a DWORD or QWORD as stored, or a string of decimal digits.
std::optional<uint64_t> SizeOf(DWORD type, const BYTE* data, size_t size) {
    if (type == REG_DWORD || type == REG_QWORD) {
        const size_t width = type == REG_DWORD ? 4 : 8;
        if (size == 0) return std::nullopt;
        uint64_t v = 0;
        for (size_t i = 0; i < width && i < size; ++i) v |= static_cast<uint64_t>(data[i]) << (8 * i);
        return v;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    const std::wstring text = Trim(DataToText(type, data, size));
    if (text.empty() || text.size() > 19) return std::nullopt;
    uint64_t v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - L'0');
    }
    return v;
}

// The values an entry record does not hold, read in the record's own pass over the key.
struct OtherValues {
    std::wstring language;
    std::wstring modifyPath;
    std::optional<uint64_t> estimatedSize;
    bool systemComponent = false;

    void Take(std::wstring_view name, DWORD type, const BYTE* data, size_t size) {
        if (EqualsNoCase(name, L"Language")) {
            language = EntryValueText(type, data, size);
        } else if (EqualsNoCase(name, L"ModifyPath")) {
            modifyPath = EntryValueText(type, data, size);
        } else if (EqualsNoCase(name, L"EstimatedSize")) {
            estimatedSize = SizeOf(type, data, size);
        } else if (EqualsNoCase(name, L"SystemComponent")) {
            const auto flag = DataToInt32(type, data, size);
            systemComponent = flag && flag.value() != 0;
        }
    }
};

ExportRecord MakeRecord(arItem& item, OtherValues& other) {
    ExportRecord r;
    r.name = std::move(item.ItemName);
    r.version = std::move(item.DisplayVersion);
    r.publisher = std::move(item.Publisher);
    r.install_location = std::move(item.InstallLocation);
    r.install_source = std::move(item.InstallSource);
    r.install_date = std::move(item.InstallDate);
    r.uninstall_string = std::move(item.UninstallString);
    if (IsProductCode(item.KeyName())) r.identifying_number = item.KeyName();
    r.language = std::move(other.language);
    r.key = std::move(item.Fullname);
    r.scope = ScopeOfKey(r.key);
    r.quiet_uninstall_string = std::move(item.QuietUninstallString);
    r.display_icon = std::move(item.DisplayIcon);
    r.estimated_size_kb = other.estimatedSize;
    r.system_component = other.systemComponent;
    r.help_link = std::move(item.HelpLink);
    r.url_info_about = std::move(item.URLInfoAbout);
    r.url_update_info = std::move(item.URLUpdateInfo);
    r.help_telephone = std::move(item.HelpTelephone);
    r.modify_path = std::move(other.modifyPath);
    return r;
}

// The list's own order: the user's locale, case ignored.
bool ListOrder(const ExportRecord& a, const ExportRecord& b) {
    const int c = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.name.c_str(),
                                    static_cast<int>(a.name.size()), b.name.c_str(), static_cast<int>(b.name.size()),
                                    nullptr, nullptr, 0);
    if (c != 0 && c != CSTR_EQUAL) return c == CSTR_LESS_THAN;
    if (a.name != b.name) return a.name < b.name;
    return a.key < b.key;
}

}  // namespace

const std::array<ExportField, 20>& ExportFields() {
    using T = ExportFieldType;
    using R = ExportRecord;
    static const std::array<ExportField, 20> fields = {{
        {"name", T::Text, &R::name},
        {"version", T::Text, &R::version},
        {"publisher", T::Text, &R::publisher},
        {"install_location", T::Text, &R::install_location},
        {"install_source", T::Text, &R::install_source},
        {"install_date", T::Text, &R::install_date},
        {"uninstall_string", T::Text, &R::uninstall_string},
        {"identifying_number", T::Text, &R::identifying_number},
        {"language", T::Text, &R::language},
        {"key", T::Text, &R::key},
        {"scope", T::Text, &R::scope},
        {"quiet_uninstall_string", T::Text, &R::quiet_uninstall_string},
        {"display_icon", T::Text, &R::display_icon},
        {"estimated_size_kb", T::Number, nullptr},
        {"system_component", T::Boolean, nullptr},
        {"help_link", T::Text, &R::help_link},
        {"url_info_about", T::Text, &R::url_info_about},
        {"url_update_info", T::Text, &R::url_update_info},
        {"help_telephone", T::Text, &R::help_telephone},
        {"modify_path", T::Text, &R::modify_path},
    }};
    return fields;
}

std::wstring FieldText(const ExportRecord& record, const ExportField& field) {
    switch (field.type) {
    case ExportFieldType::Number:
        return record.estimated_size_kb ? std::to_wstring(*record.estimated_size_kb) : std::wstring();
    case ExportFieldType::Boolean:
        return record.system_component ? L"true" : L"false";
    default:
        return record.*(field.text);
    }
}

std::wstring_view ScopeOfKey(std::wstring_view fullPath) {
    constexpr std::wstring_view kUser = L"\\HKEY_CURRENT_USER\\";
    if (fullPath.size() >= kUser.size() && EqualsNoCase(fullPath.substr(0, kUser.size()), kUser)) return L"user";
    constexpr std::wstring_view kWow = L"\\wow6432node\\";
    for (size_t at = fullPath.find(L'\\'); at != std::wstring_view::npos && at + kWow.size() <= fullPath.size();
         at = fullPath.find(L'\\', at + 1)) {
        size_t i = 0;
        while (i < kWow.size() && AsciiLower(fullPath[at + i]) == kWow[i]) ++i;
        if (i == kWow.size()) return L"machine-32";
    }
    return L"machine-64";
}

bool IsProductCode(std::wstring_view name) {
    if (name.size() != 38 || name.front() != L'{' || name.back() != L'}') return false;
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? name[i] != L'-' : !IsHex(name[i])) return false;
    }
    return true;
}

ExportListing::ExportListing(std::vector<std::wstring> roots) : roots_(std::move(roots)) {}

Status ExportListing::Read(const std::atomic<bool>* stop) {
    records_.clear();
    ListingReader reader(roots_, L"");
    arItem item;  // reused: its buffers serve every entry; no icon is chosen
    bool stopped = false;
    const bool anyRoot = reader.ForEachEntry([&](RegKey& key, uint32_t valueCount) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            stopped = true;
            return false;
        }
        OtherValues other;
        item.LoadValues(key, [&other](std::wstring_view name, DWORD type, const BYTE* data, size_t size) {
            other.Take(name, type, data, size);
        }, valueCount);
        records_.push_back(MakeRecord(item, other));
        return true;
    });
    if (stopped) {
        records_.clear();
        return Error{kExportStopped};
    }
    if (!anyRoot) return Error{kRegKeyNotFound};
    std::sort(records_.begin(), records_.end(), ListOrder);
    return {};
}

}  // namespace ardmoor
