#include "properties/properties_editor.h"

#include <limits>

#include "app/app_info.h"
#include "catalogue/arItem.h"
#include "catalogue/registry.h"
#include "platform/shell.h"
#include "platform/strings.h"
#include "properties/properties_ids.h"

namespace ardmoor {

namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }
bool IsNumberType(DWORD type) { return type == REG_DWORD || type == REG_QWORD; }

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::wstring ExpectedNumberText(DWORD type, const std::wstring& name) {
    if (type == REG_DWORD)
        return QuotedValueName(name) +
               L" holds a 32-bit number. Type a decimal number from -2147483648 to 4294967295, or a hexadecimal "
               L"number from 0x0 to 0xFFFFFFFF.";
    return QuotedValueName(name) +
           L" holds a 64-bit number. Type a decimal number from -9223372036854775808 to 18446744073709551615, or a "
           L"hexadecimal number from 0x0 to 0xFFFFFFFFFFFFFFFF.";
}

}  // namespace

std::wstring QuotedValueName(const std::wstring& name) {
    return name.empty() ? std::wstring(L"(Default)") : L"\"" + name + L"\"";
}

std::wstring RegistryErrorText(long code) {
    switch (code) {
    case kRegKeyNotFound:
        return L"The entry's key is not in the registry.";
    case kRegBadPath:
        return L"The entry's registry path is not valid.";
    default:
        break;
    }
    std::wstring text = SystemErrorText(static_cast<unsigned long>(code));
    return text.empty() ? L"Error " + std::to_wstring(code) + L"." : text;
}

std::optional<std::wstring> NumberTextToStore(DWORD type, const std::wstring& text) {
    if (!IsNumberType(type)) return std::nullopt;
    const std::wstring t = Trim(text);
    if (t.size() >= 2 && t[0] == L'0' && (t[1] == L'x' || t[1] == L'X')) {
        if (t.size() == 2) return std::nullopt;
        const uint64_t max = type == REG_DWORD ? 0xFFFFFFFFULL : std::numeric_limits<uint64_t>::max();
        uint64_t v = 0;
        for (size_t i = 2; i < t.size(); ++i) {
            const int d = HexDigit(t[i]);
            if (d < 0 || v > (max - static_cast<uint64_t>(d)) / 16) return std::nullopt;
            v = v * 16 + static_cast<uint64_t>(d);
        }
        return std::to_wstring(v);
    }
    // Decimal: the registry layer's own rule decides, so that what is accepted is what it stores.
    if (!TextToData(type, t)) return std::nullopt;
    return t;
}

bool TextFormIsExact(DWORD type, const std::vector<BYTE>& data) {
    if (IsStringType(type) || IsNumberType(type)) return true;
    const std::wstring text = DataToText(type, data);
    // An edit box cannot hold a NUL: such a text would come back shorter.
    if (text.find(L'\0') != std::wstring::npos) return false;
    auto back = TextToData(type, text);
    return back && *back == data;
}

PropertiesEditor::PropertiesEditor(std::wstring entryKey, PropertiesPrompter& prompter, std::wstring iconFolder)
    : entryKey_(std::move(entryKey)), prompter_(prompter), iconFolder_(std::move(iconFolder)) {}

std::vector<ValueRow> PropertiesEditor::Load() {
    arItem entry(iconFolder_);
    entry.GetItemInformation(entryKey_);
    header_ = {};
    header_.name = entry.ItemName;
    header_.caption = entry.ItemName + kPropertiesCaptionSuffix;
    header_.areas[kAreaPublisher].text = entry.Publisher;
    header_.areas[kAreaVersion].text = entry.DisplayVersion;
    const std::wstring* links[] = {&entry.HelpLink, &entry.URLInfoAbout, &entry.URLUpdateInfo};
    for (int i = 0; i < 3; ++i) {
        HeaderArea& area = header_.areas[kAreaHelpLink + i];
        area.text = RemoveChar(*links[i], L'"');
        area.tag = area.text;
        area.tip = area.text;
    }
    header_.iconFile = entry.ItemIcon;

    std::vector<ValueRow> rows;
    auto key = RegKey::Open(entryKey_);
    if (!key) return rows;  // shown as an empty list
    const uint32_t count = key->ValueCount().value_or(0u);
    rows.reserve(count);
    for (uint32_t i = 1; i <= count; ++i) {
        auto value = key->ValueAt(i);
        if (!value) continue;  // gone meanwhile, or unreadable: the rest still show
        rows.push_back({value->Name(), value->Text()});
    }
    return rows;
}

std::optional<ValueRow> PropertiesEditor::Add() {
    ValueEdit edit;
    edit.EditMode = ValueEdit::kAdd;
    prompter_.EditValue(edit);
    if (edit.Cancelled) return std::nullopt;
    const std::wstring& name = edit.ValueName;

    auto key = RegKey::Open(entryKey_);
    if (!key) {
        ReportFailure(L"added", name, key.error());
        return std::nullopt;
    }
    // The registry would keep an existing value's data and still report success.
    auto existing = key->Value(name);
    if (existing) {
        Tell(L"A value named " + QuotedValueName(existing->Name()) +
                 L" already exists in this entry, so nothing was added. Use \"Modify Data...\" to change its data.",
             MB_ICONEXCLAMATION);
        return std::nullopt;
    }
    if (existing.error() != ERROR_FILE_NOT_FOUND) {
        ReportFailure(L"added", name, existing.error());
        return std::nullopt;
    }
    if (Status added = key->AddValue(name, edit.ValueData, REG_SZ); !added) {
        ReportFailure(L"added", name, added.error());
        return std::nullopt;
    }
    UpdateHeader(name, edit.ValueData);
    return ValueRow{name, edit.ValueData};
}

std::optional<std::wstring> PropertiesEditor::Edit(const std::wstring& name) {
    // The dialog starts from the stored data, not the list's copy of it.
    auto key = RegKey::Open(entryKey_);
    if (!key) {
        ReportFailure(L"read", name, key.error());
        return std::nullopt;
    }
    auto value = key->Value(name);
    if (!value) {
        ReportFailure(L"read", name, value.error());
        return std::nullopt;
    }
    const DWORD type = value->Type();
    if (!TextFormIsExact(type, value->Data())) {
        Tell(L"The data of " + QuotedValueName(name) +
                 L" cannot be changed here: its text form does not keep every byte of it.",
             MB_ICONEXCLAMATION);
        return std::nullopt;
    }

    ValueEdit edit;
    edit.EditMode = ValueEdit::kEdit;
    edit.ValueName = name;
    edit.ValueData = value->Text();
    prompter_.EditValue(edit);
    if (edit.Cancelled) return std::nullopt;

    std::wstring toStore = edit.ValueData;
    if (IsNumberType(type)) {
        auto number = NumberTextToStore(type, edit.ValueData);
        if (!number) {
            Tell(ExpectedNumberText(type, name), MB_ICONEXCLAMATION);
            return std::nullopt;
        }
        toStore = *number;
    } else if (!IsStringType(type) && !TextToData(type, edit.ValueData)) {
        // Only the hexadecimal form of the other types can fail to convert.
        Tell(QuotedValueName(name) +
                 L" holds data shown as hexadecimal bytes. Type pairs of hexadecimal digits, such as 00 1f a0.",
             MB_ICONEXCLAMATION);
        return std::nullopt;
    }
    if (Status written = value->SetText(toStore); !written) {
        ReportFailure(L"changed", name, written.error());
        return std::nullopt;
    }
    std::wstring stored = value->Text();
    UpdateHeader(name, stored);
    return stored;
}

bool PropertiesEditor::Remove(const std::wstring& name) {
    // Only Yes removes: closing the box counts as No.
    if (prompter_.Message(L"Are you sure you want to remove the selected entry?", L"Remove Entry...",
                          MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    auto key = RegKey::Open(entryKey_);
    if (!key) {
        ReportFailure(L"removed", name, key.error());
        return false;
    }
    Status removed = key->RemoveValue(name);
    // A value someone else removed meanwhile is gone all the same.
    if (!removed && removed.error() != ERROR_FILE_NOT_FOUND) {
        ReportFailure(L"removed", name, removed.error());
        return false;
    }
    return true;
}

void PropertiesEditor::OpenLink(int area, Shell& shell) const {
    if (area < kAreaHelpLink || area >= kHeaderAreaCount) return;
    const std::wstring& link = header_.areas[area].tag;
    if (link.empty()) return;
    // A link that does not open shows nothing of ours: the shell shows what it has to say.
    (void)shell.Open(link, SW_SHOW, L"", L"", L"open", nullptr);
}

void PropertiesEditor::UpdateHeader(const std::wstring& name, const std::wstring& data) {
    // Names compare exactly, as the header table lists them.
    const auto setLink = [&](int area) {
        header_.areas[area].text = data;
        header_.areas[area].tag = data;  // the tool-tip keeps the text it had
    };
    if (name == L"Publisher")
        header_.areas[kAreaPublisher].text = data;
    else if (name == L"DisplayName")
        header_.name = data;  // the caption keeps the old name
    else if (name == L"DisplayVersion")
        header_.areas[kAreaVersion].text = data;
    else if (name == L"HelpLink")
        setLink(kAreaHelpLink);
    else if (name == L"URLInfoAbout")
        setLink(kAreaInfoUrl);
    else if (name == L"URLUpdateInfo")
        setLink(kAreaUpdateUrl);
    else if (name == L"DisplayIcon")
        ReloadIcon();
}

void PropertiesEditor::ReloadIcon() {
    arItem entry(iconFolder_);
    entry.GetItemInformation(entryKey_);
    header_.iconFile = entry.ItemIcon;
}

void PropertiesEditor::ReportFailure(const wchar_t* what, const std::wstring& name, long code) {
    Tell(L"The value " + QuotedValueName(name) + L" could not be " + what + L".\r\n\r\n" + RegistryErrorText(code),
         MB_ICONERROR);
}

void PropertiesEditor::Tell(const std::wstring& text, UINT icon) { (void)prompter_.Message(text, kAppTitle, MB_OK | icon); }

}  // namespace ardmoor
