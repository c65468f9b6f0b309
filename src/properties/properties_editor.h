#pragma once
// What the properties window shows and changes, without the window: every value of one uninstall
// entry, the header of its main facts, and the add, change and remove commands with their
// questions and messages. Each change is written to the registry at once.
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "properties/properties_prompter.h"

namespace ardmoor {

class Shell;

// The header's value areas, by index.
enum HeaderAreaIndex : int {
    kAreaPublisher = 0,
    kAreaVersion = 1,
    kAreaHelpLink = 2,
    kAreaInfoUrl = 3,
    kAreaUpdateUrl = 4,
    kHeaderAreaCount = 5,
};

struct HeaderArea {
    std::wstring text;  // what the area shows
    std::wstring tag;   // the link a click opens; the first two areas never have one
    std::wstring tip;   // its tool-tip
};

struct PropertiesHeader {
    std::wstring name;      // the entry's name strip
    std::wstring caption;   // the window's caption
    std::array<HeaderArea, kHeaderAreaCount> areas;
    std::wstring iconFile;  // the file whose icon stands for the entry (arItem::ItemIcon)
};

// One row of the value list: the value's name and its data in the registry layer's text form.
struct ValueRow {
    std::wstring name;
    std::wstring data;
};

class PropertiesEditor {
public:
    // entryKey: the entry's full path (under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER), as the main
    // list's row key holds it. iconFolder: where the entry icon files are (empty: the program's folder).
    PropertiesEditor(std::wstring entryKey, PropertiesPrompter& prompter, std::wstring iconFolder = {});

    [[nodiscard]] const std::wstring& EntryKey() const noexcept { return entryKey_; }
    [[nodiscard]] const PropertiesHeader& Header() const noexcept { return header_; }

    // Reads the header from the entry record and returns every value, in the registry's order.
    // A key that cannot be opened gives no rows; a value that cannot be read is left out.
    std::vector<ValueRow> Load();

    // Asks for a new value's name and data and adds it as a string. Returns the new row, or nothing
    // when the user cancelled or the value was not added (the user has been told why).
    std::optional<ValueRow> Add();
    // Asks for new data for the value `name`, keeping its type. Returns the data as now stored, or
    // nothing when nothing was written (cancelled, refused or failed; the user has been told why).
    std::optional<std::wstring> Edit(const std::wstring& name);
    // Asks whether to remove the value `name` and removes it. True when it is gone.
    bool Remove(const std::wstring& name);

    // A click on a value area: opens the area's link through the shell, when it has one.
    void OpenLink(int area, Shell& shell) const;

private:
    void UpdateHeader(const std::wstring& name, const std::wstring& data);
    void ReloadIcon();
    void ReportFailure(const wchar_t* what, const std::wstring& name, long code);
    void Tell(const std::wstring& text, UINT icon);

    std::wstring entryKey_;
    PropertiesPrompter& prompter_;
    std::wstring iconFolder_;
    PropertiesHeader header_;
};

// How a value's name reads in a message: in quotes, "(Default)" for the unnamed value.
std::wstring QuotedValueName(const std::wstring& name);
// Text for a failure code of the registry layer (a Win32 error or one of the layer's own codes).
std::wstring RegistryErrorText(long code);

// Number text as the edit accepts it for a REG_DWORD or REG_QWORD value: decimal in the registry
// layer's range, or "0x" followed by hexadecimal digits within the value's width. Returns the
// decimal text to store, or nothing.
std::optional<std::wstring> NumberTextToStore(DWORD type, const std::wstring& text);
// True when the value's text form gives back exactly its data, so that editing the text cannot
// change data the user did not touch. Strings and numbers are always editable.
bool TextFormIsExact(DWORD type, const std::vector<BYTE>& data);

}  // namespace ardmoor
