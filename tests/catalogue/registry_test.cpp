// The registry layer against the real registry (the test prefix's), in test-owned keys. (Writing a
// value's text in its own type is checked where the properties editor does it.)
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>

#include "catalogue/registry.h"
#include "catalogue_test_util.h"
#include "test_support.h"
#include "write_protected_key.h"

using namespace ardmoor;
using test::Z;
using test::ReadRaw;
using test::TestRegistryKey;
using test::Utf16Bytes;

TEST(Registry, OpensPathsWithEitherRootInAnyCaseAndRefusesOtherPaths) {
    TestRegistryKey k;
    k.CreateSubkey(L"Child");
    auto key = RegKey::Open(L"\\hkey_current_user\\" + k.subPath() + L"\\Child\\");  // trailing backslash too
    ASSERT_TRUE(key.ok()) << key.error();
    EXPECT_EQ(key->Name(), L"Child");
    EXPECT_EQ(key->FullPath(), k.fullPath() + L"\\Child") << "the root spelled canonically";
    EXPECT_EQ(key->Parent()->FullPath(), k.fullPath());
    EXPECT_EQ(RegKey::Open(L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion")->Name(), L"CurrentVersion");
    auto root = RegKey::Open(L"\\HKEY_CURRENT_USER");
    ASSERT_TRUE(root.ok()) << root.error();
    EXPECT_EQ(root->Subkey(L"Software")->FullPath(), L"\\HKEY_CURRENT_USER\\Software");
    EXPECT_EQ(root->Subkey(L"Software")->Parent()->FullPath(), L"\\HKEY_CURRENT_USER");
    EXPECT_EQ(root->Parent().error(), kRegKeyNotFound) << "the root has no parent";

    EXPECT_EQ(RegKey::Open(k.fullPath() + L"\\NoSuchKey").error(), 35006) << "kRegKeyNotFound, as callers expect it";
    for (const std::wstring& bad : {L"\\HKEY_CURENT_USER\\" + k.subPath(), L"HKEY_CURRENT_USER\\" + k.subPath(),
                                    std::wstring(L"\\HKEY_CLASSES_ROOT\\txtfile"), std::wstring(L"\\HKCU\\Software"),
                                    std::wstring(L""), std::wstring(L"\\"), std::wstring(L"\\HKEY_CURRENT_USERX")})
        EXPECT_EQ(RegKey::Open(bad).error(), kRegBadPath) << testing::PrintToString(bad);
}

TEST(Registry, SubkeysAreCountedListedAddedAndRemovedWithTheirWholeTreeAndAKeyRemovedMeanwhileFailsCleanly) {
    TestRegistryKey k;
    auto key = RegKey::Open(k.fullPath());
    ASSERT_TRUE(key.ok());
    for (const wchar_t* name : {L"Alpha", L"Beta", L"\u0413\u0430\u043c\u043c\u0430"}) {
        auto added = key->AddSubkey(name);
        ASSERT_TRUE(added.ok()) << added.error();
        EXPECT_EQ(added->FullPath(), k.fullPath() + L"\\" + name);
    }
    ASSERT_EQ(key->SubkeyCount().value_or(0u), 3u);
    std::vector<std::wstring> names;
    for (uint32_t i = 1; i <= 3; ++i) names.push_back(key->SubkeyAt(i)->Name());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"Beta", L"\u0413\u0430\u043c\u043c\u0430"}));
    EXPECT_EQ(key->SubkeyAt(0).error(), kRegBadIndex);
    EXPECT_EQ(key->SubkeyAt(4).error(), kRegBadIndex);
    EXPECT_TRUE(key->Subkey(L"beta").ok()) << "names compare case-insensitively";

    // Adding an existing subkey is harmless: what it holds stays.
    k.SetString(L"Alpha", L"Keep", L"me");
    k.SetDword(L"Alpha\\Inner\\Deeper", L"N", 3);
    auto alpha = key->AddSubkey(L"Alpha");
    ASSERT_TRUE(alpha.ok());
    auto keep = alpha->Value(L"Keep");
    ASSERT_TRUE(keep.ok());
    EXPECT_EQ(keep->Text(), L"me");
    // Removing takes the whole tree, and only that; the removed key, still held, fails cleanly and
    // is not made again.
    ASSERT_TRUE(key->RemoveSubkey(L"Alpha").ok());
    EXPECT_FALSE(alpha->Value(L"Keep").ok());
    EXPECT_FALSE(alpha->ValueCount().ok());
    EXPECT_FALSE(alpha->AddValue(L"W", L"y", REG_SZ).ok());
    EXPECT_EQ(keep->SetText(L"z").error(), kRegKeyNotFound);
    EXPECT_FALSE(test::KeyExistsRaw(HKEY_CURRENT_USER, k.subPath() + L"\\Alpha"));
    EXPECT_EQ(key->SubkeyCount().value_or(0u), 2u);
    EXPECT_EQ(key->RemoveSubkey(L"Alpha").error(), kRegKeyNotFound);
    // An empty name must not empty the key itself.
    EXPECT_EQ(key->RemoveSubkey(L"").error(), kRegBadName);
    EXPECT_EQ(key->RemoveSubkey(L"\\").error(), kRegBadName);
    EXPECT_TRUE(test::KeyExistsRaw(HKEY_CURRENT_USER, k.subPath() + L"\\Beta"));
}

TEST(Registry, ValuesAreReadByIndexAndNameAddedWithoutOverwritingAndRemoved) {
    TestRegistryKey k;
    k.SetString(L"E", L"Publisher", L"Original");
    k.SetDword(L"E", L"Number", 12);
    k.SetString(L"E", L"", L"default");
    const std::wstring sub = k.subPath() + L"\\E";
    auto key = RegKey::Open(k.fullPath() + L"\\E");
    ASSERT_TRUE(key.ok());
    std::map<std::wstring, std::wstring> seen;
    for (uint32_t i = 1; i <= key->ValueCount().value_or(0u); ++i) seen[key->ValueAt(i)->Name()] = key->ValueAt(i)->Text();
    EXPECT_EQ(seen, (std::map<std::wstring, std::wstring>{{L"", L"default"}, {L"Publisher", L"Original"}, {L"Number", L"12"}}));
    EXPECT_EQ(key->ValueAt(0).error(), kRegBadIndex);
    EXPECT_EQ(key->ValueAt(4).error(), kRegBadIndex);
    EXPECT_EQ(key->Value(L"number")->Int32().value_or(0), 12);
    EXPECT_EQ(key->Value(L"Absent").error(), ERROR_FILE_NOT_FOUND);

    // Adding a value that exists (in any case) keeps its data and type.
    EXPECT_TRUE(key->AddValue(L"PUBLISHER", L"7", REG_DWORD).ok());
    EXPECT_EQ(key->Value(L"Publisher")->Text(), L"Original");
    EXPECT_EQ(key->Value(L"Publisher")->Type(), static_cast<DWORD>(REG_SZ));
    ASSERT_TRUE(key->AddValue(L"List", L"a\r\nb", REG_MULTI_SZ).ok());
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, sub, L"List").data, Utf16Bytes(Z(L"a\0b\0\0")));
    // Not a number for a number type: fails, writes nothing.
    EXPECT_EQ(key->AddValue(L"Bad", L"twelve", REG_DWORD).error(), kRegNotANumber);
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, sub, L"Bad").status, ERROR_FILE_NOT_FOUND);

    ASSERT_TRUE(key->RemoveValue(L"List").ok());
    EXPECT_EQ(key->RemoveValue(L"List").error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key->ValueCount().value_or(0u), 3u);
}

// A key whose security allows everyone to read but not to write: every changing operation must
// come back as access denied, while reading keeps working.
TEST(Registry, WriteWithoutRightsIsAccessDenied) {
    TestRegistryKey k;
    k.SetString(L"Locked", L"V", L"value");
    k.CreateSubkey(L"Locked\\Child");
    test::WriteProtectedKey locked(HKEY_CURRENT_USER, k.subPath() + L"\\Locked");
    ASSERT_TRUE(locked.ok());

    auto key = RegKey::Open(k.fullPath() + L"\\Locked");
    ASSERT_TRUE(key.ok()) << key.error();
    auto v = key->Value(L"V");
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(key->SubkeyCount().value_or(0u), 1u);
    EXPECT_EQ(v->SetText(L"changed").error(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->AddValue(L"New", L"x", REG_SZ).error(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->RemoveValue(L"V").error(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->AddSubkey(L"New").error(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->RemoveSubkey(L"Child").error(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key->Value(L"V")->Text(), L"value");
    EXPECT_TRUE(test::KeyExistsRaw(HKEY_CURRENT_USER, k.subPath() + L"\\Locked\\Child"));
    // Adding a value that exists needs no write: it succeeds without writing.
    EXPECT_TRUE(key->AddValue(L"V", L"other", REG_SZ).ok());
}
