#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/icon_files.h"
#include "catalogue/listing.h"
#include "resource_ids.h"
#include "test_support.h"

using namespace ardmoor;

namespace {
std::vector<std::wstring> Names(const std::vector<arItem>& entries) {
    std::vector<std::wstring> names;
    for (const auto& e : entries) names.push_back(e.ItemName);
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST(Listing, ReadsEntriesOfEveryRootSkippingContainersAndMissingRoots) {
    test::TestRegistryKey key;
    key.SetString(L"A\\Zebra", L"DisplayName", L"Zebra Paint");
    key.SetString(L"A\\{12345678-ABCD}", L"UninstallString", L"MsiExec.exe /X{12345678-ABCD}");
    key.SetString(L"A\\Container", L"DisplayName", L"Should not be listed");
    key.CreateSubkey(L"A\\Container\\Child");
    key.SetString(L"B\\Other", L"DisplayName", L"apple tools");
    key.SetString(L"B\\Other", L"Publisher", L"Orchard");
    ListingReader reader({key.fullPath() + L"\\A", key.fullPath() + L"\\Missing", key.fullPath() + L"\\B"}, L"");
    const auto entries = reader.ReadAll();
    EXPECT_EQ(Names(entries), (std::vector<std::wstring>{L"Zebra Paint", L"apple tools", L"{12345678-ABCD}"}));
    for (const auto& e : entries) {
        EXPECT_EQ(e.Fullname.rfind(key.fullPath() + L"\\", 0), 0u) << e.Fullname;
        EXPECT_EQ(e.Fullname.substr(e.Fullname.find_last_of(L'\\') + 1), e.KeyName()) << "read through the open key";
        EXPECT_TRUE(e.ItemIcon.empty()) << "icons are chosen later";
    }
    EXPECT_EQ(entries.back().Publisher, L"Orchard") << "every value is read";

    // The reader stops when asked to, after the entry it was on.
    std::vector<ListingEntry> rows;
    EXPECT_FALSE(reader.ReadRows(rows, [&] { return rows.size() < 2; }));
    EXPECT_EQ(rows.size(), 2u);

    // The listing's own reads give the same tip and icon source as reading every value.
    key.SetString(L"B\\Other", L"DisplayIcon", L"C:\\o.exe,1");
    key.SetString(L"B\\Other", L"HelpLink", L"https://o.example");
    std::vector<ListingEntry> listed;
    ASSERT_TRUE(ListingReader({key.fullPath() + L"\\B"}, L"").ReadRows(listed));
    ASSERT_EQ(listed.size(), 1u);
    ListingReader::CompleteForListing(listed[0]);
    arItem full;
    full.LoadValues(listed[0].item.Fullname);
    EXPECT_EQ(DetailsText(listed[0].item), DetailsText(full));
    EXPECT_EQ(listed[0].item.DisplayIcon, L"C:\\o.exe,1");

    // The machine's entries, the 32-bit view's and the user's own.
    EXPECT_EQ(DefaultUninstallRoots().size(), 3u);
    EXPECT_NE(DefaultUninstallRoots()[1].find(L"\\WOW6432Node\\"), std::wstring::npos);
}

// (The row's tip text is checked on the main window's rows in tests/app.)
TEST(Listing, TheUninstallColumnFallsBackToTheQuietCommandAndOnlyPlainLettersHaveGroups) {
    arItem item;
    item.QuietUninstallString = L"C:\\q\\unins.exe /S";
    EXPECT_EQ(UninstallColumnText(item), L"C:\\q\\unins.exe /S");
    item.UninstallString = L"C:\\q\\unins.exe";
    EXPECT_EQ(UninstallColumnText(item), L"C:\\q\\unins.exe");
    EXPECT_EQ(LetterGroupIndex(L"apple"), 0);
    EXPECT_EQ(LetterGroupIndex(L"Zebra"), 25);
    for (const wchar_t* other : {L"{1234}", L"7-Zip", L"\u00c9diteur", L"\u00f8rsted", L""})
        EXPECT_EQ(LetterGroupIndex(other), kOtherGroup) << testing::PrintToString(std::wstring(other));
}

TEST(Listing, IconCacheLooksEachDistinctFileUpOnce) {
    int calls = 0;
    IconIndexCache cache([&](const std::wstring& file) {
        ++calls;
        return static_cast<int>(file.size());
    });
    EXPECT_EQ(cache.IndexOf(L"C:\\Tools\\App.exe"), 16);
    EXPECT_EQ(cache.IndexOf(L"c:\\tools\\app.EXE"), 16);
    EXPECT_EQ(cache.IndexOf(L"C:\\Other.exe"), 12);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(cache.Lookups(), 2u);
}

TEST(IconFiles, WrittenWholeToTheFirstWritableFolder) {
    test::TempDir dir;
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC res = ::FindResourceW(self, MAKEINTRESOURCEW(IDR_INVALID_ICO), L"CUSTOM");
    ASSERT_NE(res, nullptr);
    const std::string invalid(static_cast<const char*>(::LockResource(::LoadResource(self, res))),
                              ::SizeofResource(self, res));

    // A stale, longer file is replaced byte for byte.
    const std::wstring preferred = dir / L"program";
    ASSERT_TRUE(test::WriteFileBytes(preferred + L"\\invalid.ico", std::string(100000, 'x')));
    EXPECT_EQ(WriteEntryIconFiles(preferred, dir / L"fallback"), preferred + L"\\");
    EXPECT_EQ(test::ReadFileBytes(preferred + L"\\invalid.ico"), invalid);
    EXPECT_FALSE(test::ReadFileBytes(preferred + L"\\noicon.ico").empty());
    EXPECT_EQ(::GetFileAttributesW((preferred + L"\\invalid.ico.new").c_str()), INVALID_FILE_ATTRIBUTES);

    // A program folder that cannot take files (here a file stands where the folder would be).
    const std::wstring blocked = dir / L"blocked";
    ASSERT_TRUE(test::WriteFileBytes(blocked, std::string("not a folder")));
    EXPECT_EQ(WriteEntryIconFiles(blocked, dir / L"fallback"), dir / L"fallback\\");
    EXPECT_EQ(test::ReadFileBytes(dir / L"fallback\\invalid.ico"), invalid);
    EXPECT_EQ(test::ReadFileBytes(blocked), "not a folder");

    EXPECT_EQ(WriteEntryIconFiles(blocked, L""), L"");
    EXPECT_TRUE(LocalAppDataFolder().ends_with(L"\\Ardmoor\\"));
}
