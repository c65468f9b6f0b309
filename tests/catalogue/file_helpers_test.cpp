// FileExists, GetSpecialFolderPath, ProgramFolder.
#include <gtest/gtest.h>

#include <windows.h>

#include "catalogue/file_helpers.h"
#include "platform/strings.h"
#include "test_support.h"

using namespace ardmoor;
using test::TempDir;

TEST(FileHelpers, FileExistsFindsFilesFoldersAndPatterns) {
    TempDir dir;
    ASSERT_TRUE(test::WriteFileBytes(dir / L"app.exe", "MZ"));
    const std::wstring unicode = dir / L"\u30d7\u30ed\u30b0\u30e9\u30e0 \u0424\u0430\u0439\u043b.exe";
    ASSERT_TRUE(test::WriteFileBytes(unicode, "MZ"));
    EXPECT_TRUE(FileExists(dir / L"app.exe"));
    EXPECT_TRUE(FileExists(dir / L"APP.EXE"));
    EXPECT_TRUE(FileExists(unicode));
    EXPECT_TRUE(FileExists(dir.path()));        // a folder counts
    EXPECT_TRUE(FileExists(dir / L"*.exe"));    // so does a matching pattern
    EXPECT_FALSE(FileExists(dir / L"*.dll"));
    EXPECT_FALSE(FileExists(dir / L"missing.exe"));
    EXPECT_FALSE(FileExists(dir / L"app.exe /S"));
    EXPECT_FALSE(FileExists(L""));
}

TEST(FileHelpers, SpecialFoldersAndTheProgramFolder) {
    const std::wstring temp = GetSpecialFolderPath(kFolderTemp), system = GetSpecialFolderPath(kFolderSystem);
    EXPECT_TRUE(EndsWith(temp, L"\\") && FileExists(temp.substr(0, temp.size() - 1))) << temp;
    EXPECT_TRUE(EndsWith(ToLower(system), L"\\system32\\")) << system;
    EXPECT_TRUE(StartsWith(ToLower(system), ToLower(GetSpecialFolderPath(kFolderWindows))));
    EXPECT_EQ(ToLower(L"\u00c9COLE"), L"\u00e9cole") << "paths compare case-blind beyond ASCII too";
    EXPECT_EQ(GetSpecialFolderPath(0x7ff0), L"");  // no such folder: empty
    EXPECT_TRUE(FileExists(ProgramFolder() + L"test_catalogue.exe"));
}
