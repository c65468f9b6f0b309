// The properties editor over entries in test-owned registry keys, with the user's answers scripted.
#include <gtest/gtest.h>

#include <deque>
#include <optional>

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
        std::wstring text, title;
        UINT type;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;  // message box answers, in order; IDOK when none is left
    std::vector<ValueEdit> asked;
    std::deque<std::pair<std::optional<std::wstring>, std::wstring>> edits;  // name (when typed) and data

    int Message(const std::wstring& text, const std::wstring& title, UINT type) override {
        boxes.push_back({text, title, type});
        const int answer = answers.empty() ? IDOK : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void EditValue(ValueEdit& edit) override {
        asked.push_back(edit);
        ASSERT_FALSE(edits.empty()) << "the edit dialog was not expected";
        if (edits.front().first) edit.ValueName = *edits.front().first;
        edit.ValueData = edits.front().second;
        edit.Cancelled = false;
        edits.pop_front();
    }
    // The user types (a name and) data and presses OK.
    void Type(std::wstring data) { edits.emplace_back(std::nullopt, std::move(data)); }
    void Type(std::wstring name, std::wstring data) { edits.emplace_back(std::move(name), std::move(data)); }
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

// (The window's end-to-end test adds, refuses a duplicate and follows the header table; here
// the finer points.)
TEST_F(EditorFixture, AddKeepsTheUnnamedValueUniqueAndTheHeaderTakesTheDataAsTyped) {
    key.SetString(L"Entry", L"DisplayName", L"Old Name");
    key.SetString(L"Entry", L"HelpLink", L"\"https://old.example/\"");
    PropertiesEditor editor(entry, prompter);
    (void)editor.Load();
    EXPECT_EQ(editor.Header().areas[kAreaHelpLink].tag, L"https://old.example/");

    // An empty name is the key's unnamed value, which exists only once.
    prompter.Type(L"", L"");
    ASSERT_TRUE(editor.Add());
    EXPECT_EQ(Raw(L"").type, static_cast<DWORD>(REG_SZ));
    prompter.Type(L"", L"again");
    EXPECT_FALSE(editor.Add());
    EXPECT_EQ(prompter.boxes.back().title, L"Ardmoor");
    EXPECT_NE(LastBox().find(L"(Default) already exists"), std::wstring::npos) << Narrow(LastBox());
    EXPECT_EQ(Raw(L"").data, Utf16Bytes(Z(L"\0")));

    // Quotes stay in text and link; the tool-tip keeps its text, the caption its name; the header
    // follows each of its names, compared exactly.
    prompter.Type(L"\"https://new.example/\"");
    ASSERT_TRUE(editor.Edit(L"HelpLink"));
    const HeaderArea& link = editor.Header().areas[kAreaHelpLink];
    EXPECT_EQ(link.text, L"\"https://new.example/\"");
    EXPECT_EQ(link.tag, L"\"https://new.example/\"");
    EXPECT_EQ(link.tip, L"https://old.example/");
    prompter.Type(L"New Name");
    ASSERT_TRUE(editor.Edit(L"DisplayName"));
    EXPECT_EQ(editor.Header().name, L"New Name");
    EXPECT_EQ(editor.Header().caption, L"Old Name properties...");
    prompter.Type(L"displayversion", L"9.9");
    ASSERT_TRUE(editor.Add());
    EXPECT_TRUE(editor.Header().areas[kAreaVersion].text.empty());
    const std::pair<const wchar_t*, HeaderAreaIndex> names[] = {
        {L"Publisher", kAreaPublisher}, {L"URLInfoAbout", kAreaInfoUrl}, {L"URLUpdateInfo", kAreaUpdateUrl}};
    for (const auto& [name, area] : names) {
        prompter.Type(name, std::wstring(L"new ") + name);
        ASSERT_TRUE(editor.Add()) << Narrow(name);
        EXPECT_EQ(editor.Header().areas[area].text, std::wstring(L"new ") + name);
    }
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
    EXPECT_EQ(prompter.asked.back().ValueData, L"4294967295") << "the dialog shows the stored data";
    EXPECT_TRUE(prompter.boxes.empty());

    for (const wchar_t* typed : {L"12abc", L"0x", L"0x100000000", L"4294967296", L"", L"1.5", L"0x-1"}) {
        prompter.Type(typed);
        EXPECT_FALSE(editor.Edit(L"VersionMajor")) << Narrow(typed);
        EXPECT_EQ(dword(), 255u) << Narrow(typed);
        EXPECT_NE(LastBox().find(L"\"VersionMajor\" holds a 32-bit number"), std::wstring::npos) << Narrow(LastBox());
    }

    prompter.Type(L"0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(editor.Edit(L"Size64").value_or(L""), L"18446744073709551615");
    prompter.Type(L"0x10000000000000000");
    EXPECT_FALSE(editor.Edit(L"Size64"));
    EXPECT_NE(LastBox().find(L"64-bit number"), std::wstring::npos);
    EXPECT_EQ(Raw(L"Size64").data, ByteList({255, 255, 255, 255, 255, 255, 255, 255}));
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

TEST_F(EditorFixture, RemoveTakesAClosedBoxAsNoAndAKeyThatWentAwayIsReported) {
    key.SetString(L"Entry", L"Comments", L"keep me?");
    PropertiesEditor editor(entry, prompter);
    prompter.answers = {IDCANCEL};
    EXPECT_FALSE(editor.Remove(L"Comments"));
    EXPECT_EQ(Raw(L"Comments").status, ERROR_SUCCESS);
    EXPECT_EQ(prompter.boxes.back().type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));

    PropertiesEditor gone(key.fullPath() + L"\\Gone", prompter);
    EXPECT_TRUE(gone.Load().empty());
    EXPECT_FALSE(gone.Edit(L"Publisher"));
    EXPECT_EQ(LastBox(), L"The value \"Publisher\" could not be read.\r\n\r\nThe entry's key is not in the registry.");
    EXPECT_EQ(prompter.boxes.back().type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
}

// A key the test prefix refuses to change: each failure is reported with the system's reason and
// nothing changes.
TEST_F(EditorFixture, AnEntryThatRefusesChangesReportsEachFailure) {
    key.SetString(L"Entry", L"Publisher", L"Heath Ltd");
    WriteProtectedKey locked(HKEY_CURRENT_USER, entrySub);
    ASSERT_TRUE(locked.ok());
    PropertiesEditor editor(entry, prompter);
    (void)editor.Load();
    prompter.Type(L"Someone Else");
    EXPECT_FALSE(editor.Edit(L"Publisher"));
    EXPECT_NE(LastBox().find(L"The value \"Publisher\" could not be changed.\r\n\r\n" + SystemErrorText(ERROR_ACCESS_DENIED)),
              std::wstring::npos) << Narrow(LastBox());
    EXPECT_EQ(editor.Header().areas[kAreaPublisher].text, L"Heath Ltd");
    prompter.answers = {IDYES};
    EXPECT_FALSE(editor.Remove(L"Publisher"));
    EXPECT_NE(LastBox().find(L"The value \"Publisher\" could not be removed."), std::wstring::npos) << Narrow(LastBox());
    prompter.Type(L"Comments", L"none");
    EXPECT_FALSE(editor.Add());
    EXPECT_NE(LastBox().find(L"The value \"Comments\" could not be added."), std::wstring::npos) << Narrow(LastBox());
    EXPECT_EQ(Raw(L"Publisher").data, Utf16Bytes(Z(L"Heath Ltd\0")));
    EXPECT_EQ(Raw(L"Comments").status, ERROR_FILE_NOT_FOUND);
}
