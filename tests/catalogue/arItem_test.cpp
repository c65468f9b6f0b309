// The entry record and its loader: fields, display name, conversions, and the ten-step icon choice
// across real files. Entries live under a test-owned key that stands in for the Uninstall key.
#include <gtest/gtest.h>

#include "catalogue/arItem.h"
#include "catalogue_test_util.h"
#include "platform/strings.h"
#include "test_support.h"

using namespace ardmoor;
using test::TempDir;
using test::TestRegistryKey;

namespace {

class EntryLoader : public ::testing::Test {
protected:
    void SetUp() override {
        // The icon steps search command texts for "exe" and "dll": the temp paths must not hold them.
        ASSERT_EQ(files.path().find(L"exe"), std::wstring::npos);
        ASSERT_EQ(files.path().find(L"dll"), std::wstring::npos);
    }
    std::wstring Entry(const std::wstring& name) const { return uninstall.fullPath() + L"\\" + name; }
    // Creates a file under the files folder and returns its path.
    std::wstring File(const std::wstring& rel) {
        const std::wstring path = files / rel;
        EXPECT_TRUE(test::WriteFileBytes(path, "MZ")) << testing::PrintToString(path);
        return path;
    }
    void WriteIconFiles() {
        ASSERT_TRUE(test::WriteFileBytes(icons / L"invalid.ico", "ico"));
        ASSERT_TRUE(test::WriteFileBytes(icons / L"noicon.ico", "ico"));
    }
    std::wstring Invalid() const { return icons / L"invalid.ico"; }
    std::wstring NoIcon() const { return icons / L"noicon.ico"; }
    // Loads entry `name` (values set beforehand) and returns the chosen icon.
    std::wstring IconOf(const std::wstring& name) {
        item.GetItemInformation(Entry(name));
        return item.ItemIcon;
    }

    TestRegistryKey uninstall;
    TempDir files;
    TempDir icons;
    arItem item{icons.path()};
};

}  // namespace

// Key name and data in scripts beyond Latin-1, one of them outside the BMP.
TEST_F(EntryLoader, ReadsTheNineteenValuesAndEachLoadStartsAfresh) {
    const wchar_t* e = L"\u30a2\u30d7\u30ea \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
    const struct {
        const wchar_t* value;
        std::wstring arItem::*field;
    } texts[] = {
        {L"Comments", &arItem::Comments},
        {L"Contact", &arItem::Contact},
        {L"DisplayName", &arItem::DisplayName},
        {L"DisplayIcon", &arItem::DisplayIcon},
        {L"HelpLink", &arItem::HelpLink},
        {L"HelpTelephone", &arItem::HelpTelephone},
        {L"InstallDate", &arItem::InstallDate},
        {L"InstallLocation", &arItem::InstallLocation},
        {L"InstallSource", &arItem::InstallSource},
        {L"Publisher", &arItem::Publisher},
        {L"Readme", &arItem::Readme},  // stored as "Readme": value names compare case-insensitively
        {L"UninstallString", &arItem::UninstallString},
        {L"QuietUninstallString", &arItem::QuietUninstallString},
        {L"URLInfoAbout", &arItem::URLInfoAbout},
        {L"urlupdateinfo", &arItem::URLUpdateInfo},
    };
    const std::wstring v = L"\u05d7\u0628\u4e2d \U0001F600:";
    for (const auto& t : texts) uninstall.SetString(e, t.value, v + t.value);
    uninstall.SetDword(e, L"DisplayVersion", 7);  // a number into a text field: its digits
    uninstall.SetDword(e, L"Version", 0x01020003);
    uninstall.SetString(e, L"VersionMajor", L"5");  // a string holding a number converts
    uninstall.SetDword(e, L"VersionMinor", 0xFFFFFFFF);
    uninstall.SetString(e, L"EstimatedSize", L"ignored");
    uninstall.SetDword(e, L"NoModify", 1);

    item.GetItemInformation(Entry(e));
    EXPECT_EQ(item.Fullname, Entry(e));
    for (const auto& t : texts) EXPECT_EQ(item.*(t.field), v + t.value);
    EXPECT_EQ(item.DisplayVersion, L"7");
    EXPECT_EQ(item.Version, 0x01020003);
    EXPECT_EQ(item.VersionMajor, 5);
    EXPECT_EQ(item.VersionMinor, -1);
    EXPECT_EQ(item.ItemName, v + L"DisplayName");
    EXPECT_EQ(item.KeyName(), e);

    // The next load starts afresh, names the entry by its key when it has no name, and keeps numbers
    // that do not convert at zero.
    WriteIconFiles();
    uninstall.SetString(L"Poor", L"DisplayName", L"");
    uninstall.SetString(L"Poor", L"Version", L"1.2.3");
    uninstall.SetString(L"Poor", L"VersionMajor", L"abc");
    const BYTE bin[4] = {1, 0, 0, 0};
    uninstall.SetRaw(L"Poor", L"VersionMinor", REG_BINARY, bin, sizeof(bin));
    item.GetItemInformation(Entry(L"Poor"));
    EXPECT_EQ(item.Publisher, L"");
    EXPECT_EQ(item.UninstallString, L"");
    EXPECT_TRUE(item.Version == 0 && item.VersionMajor == 0 && item.VersionMinor == 0);
    EXPECT_EQ(item.ItemName, L"Poor") << "an empty name: the key's";
    EXPECT_EQ(item.ItemIcon, Invalid());

    // A missing key or root: reset, Fullname set, no name; the icon falls through to the icon files.
    item.GetItemInformation(Entry(e));
    for (const std::wstring& missing : {Entry(L"Missing"), std::wstring(L"\\HKEY_NO_SUCH_ROOT\\X")}) {
        item.GetItemInformation(missing);
        EXPECT_EQ(item.Fullname, missing);
        EXPECT_EQ(item.ItemName + item.DisplayName + item.KeyName(), L"");
        EXPECT_EQ(item.VersionMajor, 0);
        EXPECT_EQ(item.ItemIcon, Invalid());
    }
}

TEST_F(EntryLoader, ExpandableValuesAreExpandedInTheRecordOnly) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"ARDMOOR_TEST_FILES", files.path().c_str()));
    const std::wstring app = File(L"App\\app.exe");
    const std::wstring unins = File(L"App\\unins000.exe");
    uninstall.SetString(L"E", L"DisplayIcon", L"%ARDMOOR_TEST_FILES%\\App\\app.exe,0", REG_EXPAND_SZ);
    uninstall.SetString(L"E", L"UninstallString", L"\"%ARDMOOR_TEST_FILES%\\App\\unins000.exe\" /x",
                        REG_EXPAND_SZ);
    uninstall.SetString(L"E", L"InstallLocation", L"%ARDMOOR_TEST_FILES%\\App", REG_EXPAND_SZ);
    uninstall.SetString(L"E", L"Comments", L"%ARDMOOR_TEST_FILES%");  // REG_SZ: not expanded
    uninstall.SetString(L"E", L"HelpLink", L"%NO_SUCH_ARDMOOR_VARIABLE%\\x", REG_EXPAND_SZ);
    item.GetItemInformation(Entry(L"E"));
    EXPECT_EQ(item.DisplayIcon, app + L",0");
    EXPECT_EQ(item.UninstallString, L"\"" + unins + L"\" /x");
    EXPECT_EQ(item.InstallLocation, files / L"App");
    EXPECT_EQ(item.Comments, L"%ARDMOOR_TEST_FILES%");
    EXPECT_EQ(item.HelpLink, L"%NO_SUCH_ARDMOOR_VARIABLE%\\x");  // unknown variables stay
    EXPECT_EQ(item.ItemIcon, app);  // step 5 on the expanded path
    ::SetEnvironmentVariableW(L"ARDMOOR_TEST_FILES", nullptr);
}

// ---- The icon choice ------------------------------------------------------------------------

TEST_F(EntryLoader, TheIconChoiceStepByStep) {
    WriteIconFiles();
    const std::wstring ico = File(L"My App\\app.ico");
    const std::wstring local = File(L"\u7a0b\u5e8f\\\u0444\u0430\u0439\u043b \u0645\u0644\u0641.exe");
    const std::wstring exe = File(L"Tools\\app.exe");
    const std::wstring bat = File(L"X\\uninstall.bat");
    const std::wstring unins = File(L"Program Files\\X\\unins000.exe");
    const std::wstring upper = File(L"SETUP\\UNINST.EXE");
    const std::wstring dll = File(L"Lib\\remover.dll");
    const std::wstring missing = files / L"missing.ico";
    const std::wstring msiexec = GetSpecialFolderPath(kFolderSystem) + L"msiexec.exe";
    ASSERT_TRUE(FileExists(msiexec)) << testing::PrintToString(msiexec);
    struct Case {
        const char* step;
        std::wstring displayIcon, uninstall, quiet, expected;
    };
    const Case cases[] = {
        {"1 no uninstall information, even with an icon", ico, L"", L"", Invalid()},
        {"1 a quiet command is uninstall information", ico, L"", L"x /quiet", ico},
        {"2 DisplayIcon", ico, L"x", L"", ico},
        {"2 DisplayIcon in quotes, any script", L"\"" + local + L"\"", L"x", L"", local},
        {"4 the command as a whole", missing, L"\"" + bat + L"\"", L"", bat},
        {"5 DisplayIcon before its index", exe + L",0", L"x", L"", exe},
        {"5 quoted, negative index", L"\"" + exe + L"\",-101", L"x", L"", exe},
        {"6 up to exe, quoted with a switch", L"", L"\"" + unins + L"\" /SILENT", L"", unins},
        {"6 up to exe, unquoted", L"", unins + L" /S /norestart", L"", unins},
        {"6 is case-sensitive", L"", upper + L" -f", L"", NoIcon()},
        {"6 in lower case", L"", files / L"setup\\uninst.exe -f", L"", files / L"setup\\uninst.exe"},
        {"7 up to dll", L"", dll + L",Uninstall", L"", dll},
        {"8 MsiExec", L"", L"MsiExec.exe /X{11111111-2222-3333-4444-555555555555}", L"", msiexec},
        {"8 MSIEXEC", L"", L"MSIEXEC /I {11111111-2222-3333-4444-555555555555}", L"", msiexec},
        {"8 msiexec in quotes", L"", L"\"msiexec\" /x product", L"", msiexec},
        {"9 nothing else exists", missing + L",0", L"\"" + (files / L"gone\\unins000.exe") + L"\" /x", L"", NoIcon()},
    };
    int n = 0;
    const auto iconFor = [&](const Case& c) {
        const std::wstring key = L"Case" + std::to_wstring(++n);
        uninstall.SetString(key, L"Comments", L"-");
        if (!c.displayIcon.empty()) uninstall.SetString(key, L"DisplayIcon", c.displayIcon);
        if (!c.uninstall.empty()) uninstall.SetString(key, L"UninstallString", c.uninstall);
        if (!c.quiet.empty()) uninstall.SetString(key, L"QuietUninstallString", c.quiet);
        return IconOf(key);
    };
    for (const Case& c : cases) EXPECT_EQ(iconFor(c), c.expected) << "step " << c.step;

    // Without the icon files, step 1 goes on and step 10 leaves no icon.
    ASSERT_TRUE(::DeleteFileW(Invalid().c_str()));
    ASSERT_TRUE(::DeleteFileW(NoIcon().c_str()));
    EXPECT_EQ(iconFor({"1 without invalid.ico", ico, L"", L"", ico}), ico);
    EXPECT_EQ(iconFor({"10", missing, files / L"gone.exe", L"", L""}), L"");
    EXPECT_EQ(iconFor({"10 bare", L"", L"", L"", L""}), L"");
}

TEST_F(EntryLoader, NoCandidateIsProbedTwice) {
    WriteIconFiles();
    // Step 2 and step 5 name the same path (no ","); step 4 is empty; no application cache entry.
    uninstall.SetString(L"E", L"DisplayIcon", files / L"missing.ico");
    uninstall.SetString(L"E", L"QuietUninstallString", L"q");
    EXPECT_EQ(IconOf(L"E"), NoIcon());
    // missing.ico, "exe", "dll", noicon.ico
    EXPECT_EQ(item.LastIconProbes(), 4);

    // Step 6's and step 4's candidates coincide for a missing path ending in ".exe".
    uninstall.SetString(L"F", L"UninstallString", files / L"gone.exe");
    uninstall.SetString(L"F", L"DisplayIcon", files / L"gone.exe");
    EXPECT_EQ(IconOf(L"F"), NoIcon());
    // gone.exe (steps 2, 4, 5, 6), gone.exedll (step 7), noicon.ico
    EXPECT_EQ(item.LastIconProbes(), 3);
}
