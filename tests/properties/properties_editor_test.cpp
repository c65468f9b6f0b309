// The properties editor over entries in test-owned registry keys, with the user's answers scripted.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "../catalogue/catalogue_test_util.h"
#include "platform/strings.h"
#include "properties/properties_editor.h"
#include "test_support.h"
#include "write_protected_key.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

// Answers the edit dialog and the message boxes from a script, and keeps what was asked.
class ScriptedPrompter : public PropertiesPrompter {
public:
    struct Box {
        std::wstring text;
        std::wstring title;
        UINT type;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;  // message box answers, in order; IDOK when none is left
    std::vector<ValueEdit> asked;
    std::deque<std::function<void(ValueEdit&)>> edits;

    int Message(const std::wstring& text, const std::wstring& title, UINT type) override {
        boxes.push_back({text, title, type});
        if (answers.empty()) return IDOK;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void EditValue(ValueEdit& edit) override {
        asked.push_back(edit);
        if (edits.empty()) {
            ADD_FAILURE() << "the edit dialog was not expected";
            return;
        }
        auto answer = std::move(edits.front());
        edits.pop_front();
        answer(edit);
    }
    // The user types (name and) data and presses OK.
    void Type(std::wstring data) {
        edits.push_back([data](ValueEdit& e) {
            e.ValueData = data;
            e.Cancelled = false;
        });
    }
    void Type(std::wstring name, std::wstring data) {
        edits.push_back([name, data](ValueEdit& e) {
            e.ValueName = name;
            e.ValueData = data;
            e.Cancelled = false;
        });
    }
    void Cancel() {
        edits.push_back([](ValueEdit& e) {
            e.ValueName = L"typed";
            e.ValueData = L"but cancelled";
            e.Cancelled = true;
        });
    }
};

std::string Narrow(const std::wstring& s) { return WideToUtf8(s); }

struct EditorFixture : ::testing::Test {
    TestRegistryKey key;
    ScriptedPrompter prompter;
    std::wstring entry = key.fullPath() + L"\\Entry";
    std::wstring entrySub = key.subPath() + L"\\Entry";

    RawValue Raw(const std::wstring& name) const { return ReadRaw(HKEY_CURRENT_USER, entrySub, name); }
    void SetRaw(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
        key.SetRaw(L"Entry", name, type, data.data(), static_cast<DWORD>(data.size()));
    }
    std::wstring LastBox() const { return prompter.boxes.empty() ? L"" : prompter.boxes.back().text; }
};

}  // namespace

TEST_F(EditorFixture, LoadsTheHeaderFromTheEntryAndEveryValueInRegistryOrderAsText) {
    const std::wstring icon = ExeFolder() + L"test_properties.exe";
    key.SetString(L"Entry", L"DisplayName", L"Grebe Studio");
    key.SetString(L"Entry", L"Publisher", L"Grebe & Co");
    key.SetString(L"Entry", L"DisplayVersion", L"5.0");
    key.SetString(L"Entry", L"HelpLink", L"\"https://grebe.example/help\"");
    key.SetString(L"Entry", L"URLInfoAbout", L"https://grebe.example/");
    key.SetString(L"Entry", L"DisplayIcon", icon + L",0");
    key.SetString(L"Entry", L"UninstallString", L"%SystemRoot%\\grebe.exe /u", REG_EXPAND_SZ);
    key.SetDword(L"Entry", L"VersionMajor", 5);
    SetRaw(L"Size64", REG_QWORD, ByteList({0, 0, 0, 0, 1, 0, 0, 0}));
    SetRaw(L"Blob", REG_BINARY, ByteList({0x41, 0, 0x42, 0}));
    SetRaw(L"Lines", REG_MULTI_SZ, Utf16Bytes(Z(L"one\0two\0\0")));

    PropertiesEditor editor(entry, prompter);
    const auto rows = editor.Load();
    const PropertiesHeader& h = editor.Header();
    EXPECT_EQ(h.name, L"Grebe Studio");
    EXPECT_EQ(h.caption, L"Grebe Studio properties...");
    EXPECT_EQ(h.areas[kAreaPublisher].text, L"Grebe & Co");
    EXPECT_EQ(h.areas[kAreaVersion].text, L"5.0");
    EXPECT_TRUE(h.areas[kAreaPublisher].tag.empty() && h.areas[kAreaVersion].tag.empty());
    // Links lose their quotes in text, tag and tool-tip alike; a missing link is empty.
    for (const std::wstring* s : {&h.areas[kAreaHelpLink].text, &h.areas[kAreaHelpLink].tag, &h.areas[kAreaHelpLink].tip})
        EXPECT_EQ(*s, L"https://grebe.example/help");
    EXPECT_EQ(h.areas[kAreaInfoUrl].tag, L"https://grebe.example/");
    EXPECT_TRUE(h.areas[kAreaUpdateUrl].text.empty() && h.areas[kAreaUpdateUrl].tag.empty());
    EXPECT_TRUE(EqualsNoCase(h.iconFile, icon)) << Narrow(h.iconFile);

    // One row per value, in the order the registry enumerates them, data in the layer's text form
    // (an expand-string as stored, not expanded).
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, entrySub.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
    std::vector<std::wstring> order;
    wchar_t name[256];
    for (DWORD i = 0, n = 256; ::RegEnumValueW(raw, i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, n = 256)
        order.push_back(name);
    ::RegCloseKey(raw);
    ASSERT_EQ(rows.size(), order.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].name, order[i]);
    const auto data = [&](const wchar_t* n) {
        for (const ValueRow& r : rows)
            if (r.name == n) return r.data;
        return std::wstring(L"<missing>");
    };
    EXPECT_EQ(data(L"UninstallString"), L"%SystemRoot%\\grebe.exe /u");
    EXPECT_EQ(data(L"VersionMajor"), L"5");
    EXPECT_EQ(data(L"Size64"), L"4294967296");
    EXPECT_EQ(data(L"Blob"), L"AB");
    EXPECT_EQ(data(L"Lines"), L"one\r\ntwo");

    // A key that is not there: no rows, and the caption of a nameless entry.
    PropertiesEditor missing(key.fullPath() + L"\\Gone", prompter);
    EXPECT_TRUE(missing.Load().empty());
    EXPECT_EQ(missing.Header().caption, L" properties...");
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(EditorFixture, AddWritesAStringUpdatesTheHeaderAndRefusesANameThatExists) {
    key.SetString(L"Entry", L"DisplayName", L"Old Name");
    key.SetString(L"Entry", L"HelpLink", L"\"https://old.example/\"");
    PropertiesEditor editor(entry, prompter);
    (void)editor.Load();

    prompter.Type(L"Publisher", L"ABC");
    auto row = editor.Add();
    ASSERT_TRUE(row);
    EXPECT_EQ(prompter.asked.back().EditMode, ValueEdit::kAdd);
    EXPECT_TRUE(prompter.asked.back().ValueName.empty() && prompter.asked.back().ValueData.empty());
    EXPECT_EQ(row->name, L"Publisher");
    EXPECT_EQ(row->data, L"ABC");
    EXPECT_EQ(Raw(L"Publisher").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Raw(L"Publisher").data, Utf16Bytes(Z(L"ABC\0")));
    EXPECT_EQ(editor.Header().areas[kAreaPublisher].text, L"ABC");

    // The same name in other letters is the same value to the registry: a message, nothing written.
    prompter.Type(L"PUBLISHER", L"XYZ");
    EXPECT_FALSE(editor.Add());
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].title, L"Ardmoor");
    EXPECT_NE(LastBox().find(L"\"PUBLISHER\" already exists"), std::wstring::npos) << Narrow(LastBox());
    EXPECT_EQ(Raw(L"Publisher").data, Utf16Bytes(Z(L"ABC\0")));
    EXPECT_EQ(editor.Header().areas[kAreaPublisher].text, L"ABC");

    // Cancelling asks nothing more and writes nothing.
    prompter.Cancel();
    EXPECT_FALSE(editor.Add());
    EXPECT_EQ(Raw(L"typed").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(prompter.boxes.size(), 1u);

    // An empty name is the key's unnamed value; empty data is a value too.
    prompter.Type(L"", L"");
    ASSERT_TRUE(editor.Add());
    EXPECT_EQ(Raw(L"").status, ERROR_SUCCESS);
    prompter.Type(L"", L"again");
    EXPECT_FALSE(editor.Add());
    EXPECT_NE(LastBox().find(L"(Default) already exists"), std::wstring::npos) << Narrow(LastBox());
}

TEST_F(EditorFixture, HeaderFollowsTheTableWithTheDataAsTypedAndExactNames) {
    key.SetString(L"Entry", L"DisplayName", L"Old Name");
    key.SetString(L"Entry", L"HelpLink", L"\"https://old.example/\"");
    key.SetString(L"Entry", L"DisplayVersion", L"1.0");
    PropertiesEditor editor(entry, prompter);
    (void)editor.Load();

    prompter.Type(L"\"https://new.example/\"");
    ASSERT_TRUE(editor.Edit(L"HelpLink"));
    const HeaderArea& link = editor.Header().areas[kAreaHelpLink];
    EXPECT_EQ(link.text, L"\"https://new.example/\"") << "quotes are kept when the data is typed";
    EXPECT_EQ(link.tag, L"\"https://new.example/\"");
    EXPECT_EQ(link.tip, L"https://old.example/") << "the tool-tip keeps its text";

    prompter.Type(L"New Name");
    ASSERT_TRUE(editor.Edit(L"DisplayName"));
    EXPECT_EQ(editor.Header().name, L"New Name");
    EXPECT_EQ(editor.Header().caption, L"Old Name properties...");

    // Names compare exactly: "publisher" is not in the table.
    prompter.Type(L"publisher", L"Lower Case Ltd");
    ASSERT_TRUE(editor.Add());
    EXPECT_TRUE(editor.Header().areas[kAreaPublisher].text.empty());
    prompter.Type(L"URLUpdateInfo", L"https://update.example/");
    ASSERT_TRUE(editor.Add());
    EXPECT_EQ(editor.Header().areas[kAreaUpdateUrl].tag, L"https://update.example/");
    EXPECT_EQ(editor.Header().areas[kAreaVersion].text, L"1.0");
}

TEST_F(EditorFixture, NumbersTakeDecimalOrHexInTheirRangeAndNothingElse) {
    key.SetDword(L"Entry", L"VersionMajor", 2);
    SetRaw(L"Size64", REG_QWORD, ByteList({1, 0, 0, 0, 0, 0, 0, 0}));
    PropertiesEditor editor(entry, prompter);

    const auto dword = [&] {
        const RawValue v = Raw(L"VersionMajor");
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
        return v.data.size() == 4 ? *reinterpret_cast<const DWORD*>(v.data.data()) : 0xDEADu;
    };
    struct Case {
        const wchar_t* typed;
        const wchar_t* shown;  // what is stored, as text
    } valid[] = {{L"0x1F", L"31"}, {L" 4294967295 ", L"4294967295"}, {L"-1", L"4294967295"}, {L"0X00000000ff", L"255"}};
    for (const Case& c : valid) {
        prompter.Type(c.typed);
        auto stored = editor.Edit(L"VersionMajor");
        ASSERT_TRUE(stored) << Narrow(c.typed);
        EXPECT_EQ(*stored, c.shown);
        EXPECT_EQ(std::to_wstring(dword()), c.shown);
    }
    EXPECT_EQ(prompter.asked.back().EditMode, ValueEdit::kEdit);
    EXPECT_EQ(prompter.asked.back().ValueName, L"VersionMajor");
    EXPECT_EQ(prompter.asked.back().ValueData, L"4294967295") << "the dialog shows the stored data";
    EXPECT_TRUE(prompter.boxes.empty());

    for (const wchar_t* typed : {L"12abc", L"0x", L"0x100000000", L"4294967296", L"", L"1.5", L"0x-1"}) {
        prompter.Type(typed);
        EXPECT_FALSE(editor.Edit(L"VersionMajor")) << Narrow(typed);
        EXPECT_EQ(dword(), 255u) << Narrow(typed);
        EXPECT_NE(LastBox().find(L"\"VersionMajor\" holds a 32-bit number"), std::wstring::npos) << Narrow(LastBox());
    }
    EXPECT_EQ(prompter.boxes.back().title, L"Ardmoor");

    prompter.Type(L"0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(editor.Edit(L"Size64").value_or(L""), L"18446744073709551615");
    prompter.Type(L"0x10000000000000000");
    EXPECT_FALSE(editor.Edit(L"Size64"));
    EXPECT_NE(LastBox().find(L"64-bit number"), std::wstring::npos);
    EXPECT_EQ(Raw(L"Size64").data, ByteList({255, 255, 255, 255, 255, 255, 255, 255}));

    // Cancelling leaves the number as it was.
    prompter.Cancel();
    EXPECT_FALSE(editor.Edit(L"VersionMajor"));
    EXPECT_EQ(dword(), 255u);
}

TEST_F(EditorFixture, OtherTypesAreWrittenOnlyWhenTheirTextFormIsExact) {
    SetRaw(L"Even", REG_BINARY, Utf16Bytes(L"ab"));
    SetRaw(L"Nuls", REG_BINARY, ByteList({1, 0, 0, 0}));
    SetRaw(L"Odd", REG_BINARY, ByteList({0x41, 0, 0x42}));
    SetRaw(L"Hex", REG_NONE, ByteList({0x00, 0x1f}));
    SetRaw(L"Lines", REG_MULTI_SZ, Utf16Bytes(Z(L"one\0two\0\0")));
    key.SetString(L"Entry", L"Path", L"%ProgramFiles%\\X", REG_EXPAND_SZ);
    PropertiesEditor editor(entry, prompter);

    prompter.Type(L"xyz");
    EXPECT_EQ(editor.Edit(L"Even").value_or(L""), L"xyz");
    EXPECT_EQ(Raw(L"Even").data, Utf16Bytes(L"xyz"));
    EXPECT_EQ(Raw(L"Even").type, static_cast<DWORD>(REG_BINARY));

    // Data whose text form would lose bytes is refused before anything is asked.
    const size_t asked = prompter.asked.size();
    for (const wchar_t* name : {L"Nuls", L"Odd"}) {
        const RawValue before = Raw(name);
        EXPECT_FALSE(editor.Edit(name));
        EXPECT_NE(LastBox().find(L"cannot be changed here"), std::wstring::npos) << Narrow(name);
        EXPECT_EQ(Raw(name).data, before.data);
    }
    EXPECT_EQ(prompter.asked.size(), asked);

    prompter.Type(L"zz");
    EXPECT_FALSE(editor.Edit(L"Hex"));
    EXPECT_NE(LastBox().find(L"pairs of hexadecimal digits"), std::wstring::npos);
    EXPECT_EQ(Raw(L"Hex").data, ByteList({0x00, 0x1f}));
    EXPECT_EQ(prompter.asked.back().ValueData, L"00 1f");
    prompter.Type(L"0A 0b FF");
    EXPECT_EQ(editor.Edit(L"Hex").value_or(L""), L"0a 0b ff");
    EXPECT_EQ(Raw(L"Hex").type, static_cast<DWORD>(REG_NONE));

    prompter.Type(L"one\r\ntwo\r\nthree");
    EXPECT_TRUE(editor.Edit(L"Lines"));
    EXPECT_EQ(Raw(L"Lines").data, Utf16Bytes(Z(L"one\0two\0three\0\0")));

    // Strings take any text and keep their type.
    prompter.Type(L"%SystemRoot%\\Y \"quoted\"");
    EXPECT_TRUE(editor.Edit(L"Path"));
    EXPECT_EQ(Raw(L"Path").type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(Raw(L"Path").data, Utf16Bytes(Z(L"%SystemRoot%\\Y \"quoted\"\0")));
}

TEST_F(EditorFixture, RemoveAsksAndOnlyYesRemoves) {
    key.SetString(L"Entry", L"Comments", L"keep me?");
    PropertiesEditor editor(entry, prompter);
    prompter.answers = {IDNO, IDCANCEL, IDYES};
    EXPECT_FALSE(editor.Remove(L"Comments"));
    EXPECT_FALSE(editor.Remove(L"Comments")) << "closing the box counts as No";
    EXPECT_EQ(Raw(L"Comments").status, ERROR_SUCCESS);
    EXPECT_TRUE(editor.Remove(L"Comments"));
    EXPECT_EQ(Raw(L"Comments").status, ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(prompter.boxes.size(), 3u);
    EXPECT_EQ(prompter.boxes[0].text, L"Are you sure you want to remove the selected entry?");
    EXPECT_EQ(prompter.boxes[0].title, L"Remove Entry...");
    EXPECT_EQ(prompter.boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
}

TEST_F(EditorFixture, FailuresStopTheCommandAndNameTheValueAndTheSystemsError) {
    key.SetString(L"Entry", L"DisplayName", L"Locked Entry");
    key.SetString(L"Entry", L"Publisher", L"Nobody");
    WriteProtectedKey locked(HKEY_CURRENT_USER, entrySub);
    ASSERT_TRUE(locked.ok());
    PropertiesEditor editor(entry, prompter);
    ASSERT_EQ(editor.Load().size(), 2u) << "a write-protected key still reads";
    const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(denied.empty());

    prompter.Type(L"Comments", L"new");
    EXPECT_FALSE(editor.Add());
    EXPECT_EQ(LastBox(), L"The value \"Comments\" could not be added.\r\n\r\n" + denied);
    EXPECT_EQ(Raw(L"Comments").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(editor.Header().areas[kAreaPublisher].text, L"Nobody");

    prompter.Type(L"Somebody");
    EXPECT_FALSE(editor.Edit(L"Publisher"));
    EXPECT_EQ(LastBox(), L"The value \"Publisher\" could not be changed.\r\n\r\n" + denied);
    EXPECT_EQ(Raw(L"Publisher").data, Utf16Bytes(Z(L"Nobody\0")));
    EXPECT_EQ(editor.Header().areas[kAreaPublisher].text, L"Nobody");

    prompter.answers = {IDYES};
    EXPECT_FALSE(editor.Remove(L"Publisher"));
    EXPECT_EQ(LastBox(), L"The value \"Publisher\" could not be removed.\r\n\r\n" + denied);
    EXPECT_EQ(Raw(L"Publisher").status, ERROR_SUCCESS);
    for (const auto& box : prompter.boxes)
        if (box.title == L"Ardmoor") {
            EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
        }

    // An entry whose key went away meanwhile.
    PropertiesEditor gone(key.fullPath() + L"\\Gone", prompter);
    EXPECT_FALSE(gone.Edit(L"Publisher"));
    EXPECT_EQ(LastBox(), L"The value \"Publisher\" could not be read.\r\n\r\nThe entry's key is not in the registry.");
}
