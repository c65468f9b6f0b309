#include <gtest/gtest.h>

#include "app/modOptions.h"
#include "test_support.h"

using namespace ardmoor;

namespace {
DWORD ReadDword(HKEY root, const std::wstring& sub, const wchar_t* name, bool* found = nullptr) {
    DWORD value = 0, size = sizeof(value), type = 0;
    const LSTATUS s = ::RegGetValueW(root, sub.c_str(), name, RRF_RT_ANY, &type, &value, &size);
    if (found) *found = s == ERROR_SUCCESS && type == REG_DWORD;
    return value;
}
}  // namespace

TEST(Options, FirstRunWritesTheDefaultsStoredValuesComeBackAndSaveWritesThemEvenAfterTheyWereRemoved) {
    test::TestRegistryKey key;
    const std::wstring root = key.fullPath() + L"\\Quillfen Software\\Ardmoor";
    const std::wstring settings = key.subPath() + L"\\Quillfen Software\\Ardmoor\\Settings";
    const std::wstring install = key.subPath() + L"\\Quillfen Software\\Ardmoor\\InstallSettings";
    modOptions::Current() = {};
    modOptions::LoadOptions(root);
    bool found = false;
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, settings, L"View", &found), 0u);
    EXPECT_TRUE(found);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, settings, L"Groups"), 1u);
    for (const wchar_t* name : {L"Fixed", L"CD", L"Floppy", L"IncludeZip"})
        EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, install, name), 1u) << name;

    // Stored values are read; Groups 5 is on, and written back as 1.
    key.SetDword(L"Quillfen Software\\Ardmoor\\Settings", L"View", 3);
    key.SetDword(L"Quillfen Software\\Ardmoor\\Settings", L"Groups", 5);
    key.SetDword(L"Quillfen Software\\Ardmoor\\InstallSettings", L"Floppy", 0);
    modOptions::LoadOptions(root);
    EXPECT_EQ(modOptions::Current().ViewMode, 3);
    EXPECT_TRUE(modOptions::Current().ShowGroups);
    EXPECT_EQ(modOptions::Current().SearchFloppy, 0);
    EXPECT_EQ(modOptions::Current().SearchFixed, 1);

    modOptions::Current().ViewMode = 1;
    modOptions::Current().SearchCD = 0;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (key.subPath() + L"\\Quillfen Software").c_str());  // removed meanwhile
    modOptions::SaveOptions(root);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, settings, L"View"), 1u);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, settings, L"Groups"), 1u);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, install, L"CD"), 0u);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, install, L"Floppy"), 0u);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, install, L"Fixed"), 1u);
}
