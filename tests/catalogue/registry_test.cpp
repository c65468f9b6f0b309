// The registry layer against the real registry (the test prefix's), in test-owned keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>

#include "catalogue/registry.h"
#include "catalogue_test_util.h"
#include "test_support.h"
#include "write_protected_key.h"

using namespace ardmoor;
using test::ByteList;
using test::Z;
using test::ReadRaw;
using test::TestRegistryKey;
using test::Utf16Bytes;

TEST(Registry, OpenByPathWithEitherRootInAnyCase) {
    TestRegistryKey k;
    k.CreateSubkey(L"Child");
    auto key = RegKey::Open(k.fullPath() + L"\\Child");
    ASSERT_TRUE(key.ok()) << key.error();
    EXPECT_EQ(key->Name(), L"Child");
    EXPECT_EQ(key->FullPath(), k.fullPath() + L"\\Child");

    auto lower = RegKey::Open(L"\\hkey_current_user\\" + k.subPath() + L"\\Child\\");  // trailing backslash too
    ASSERT_TRUE(lower.ok()) << lower.error();
    EXPECT_EQ(lower->FullPath(), k.fullPath() + L"\\Child");  // root spelled canonically

    auto hklm = RegKey::Open(L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    ASSERT_TRUE(hklm.ok()) << hklm.error();
    EXPECT_EQ(hklm->Name(), L"CurrentVersion");

    auto root = RegKey::Open(L"\\HKEY_CURRENT_USER");
    ASSERT_TRUE(root.ok()) << root.error();
    EXPECT_EQ(root->Name(), L"HKEY_CURRENT_USER");
    EXPECT_EQ(root->FullPath(), L"\\HKEY_CURRENT_USER");
    auto software = root->Subkey(L"Software");
    ASSERT_TRUE(software.ok()) << software.error();
    EXPECT_EQ(software->FullPath(), L"\\HKEY_CURRENT_USER\\Software");

    // Parents up to the root, which has none.
    auto parent = key->Parent();
    ASSERT_TRUE(parent.ok()) << parent.error();
    EXPECT_EQ(parent->FullPath(), k.fullPath());
    auto up = software->Parent();
    ASSERT_TRUE(up.ok());
    EXPECT_EQ(up->FullPath(), L"\\HKEY_CURRENT_USER");
    EXPECT_EQ(up->Parent().error(), kRegKeyNotFound);
}

TEST(Registry, OpenFailures) {
    TestRegistryKey k;
    auto missing = RegKey::Open(k.fullPath() + L"\\NoSuchKey");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), kRegKeyNotFound);
    EXPECT_EQ(missing.error(), 35006);

    for (const std::wstring& bad : {L"\\HKEY_CURENT_USER\\" + k.subPath(), L"HKEY_CURRENT_USER\\" + k.subPath(),
                                    std::wstring(L"\\HKEY_CLASSES_ROOT\\txtfile"), std::wstring(L"\\HKCU\\Software"),
                                    std::wstring(L""), std::wstring(L"\\"), std::wstring(L"\\HKEY_CURRENT_USERX")}) {
        auto r = RegKey::Open(bad);
        EXPECT_FALSE(r.ok()) << testing::PrintToString(bad);
        EXPECT_EQ(r.error(), kRegBadPath) << testing::PrintToString(bad);
    }
}

TEST(Registry, SubkeysCountItemAddRemove) {
    TestRegistryKey k;
    auto key = RegKey::Open(k.fullPath());
    ASSERT_TRUE(key.ok());
    auto count = key->SubkeyCount();
    ASSERT_TRUE(count.ok());
    EXPECT_EQ(count.value(), 0u);

    for (const wchar_t* name : {L"Alpha", L"Beta", L"\u0413\u0430\u043c\u043c\u0430"}) {
        auto added = key->AddSubkey(name);
        ASSERT_TRUE(added.ok()) << added.error();
        EXPECT_EQ(added->Name(), name);
        EXPECT_EQ(added->FullPath(), k.fullPath() + L"\\" + name);
    }
    count = key->SubkeyCount();
    ASSERT_TRUE(count.ok());
    EXPECT_EQ(count.value(), 3u);

    std::vector<std::wstring> names;
    for (uint32_t i = 1; i <= 3; ++i) {
        auto sub = key->SubkeyAt(i);
        ASSERT_TRUE(sub.ok()) << i << ": " << sub.error();
        names.push_back(sub->Name());
        EXPECT_EQ(sub->FullPath(), k.fullPath() + L"\\" + sub->Name());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"Beta", L"\u0413\u0430\u043c\u043c\u0430"}));

    EXPECT_EQ(key->SubkeyAt(0).error(), kRegBadIndex);
    EXPECT_EQ(key->SubkeyAt(4).error(), kRegBadIndex);
    EXPECT_EQ(key->Subkey(L"Gamma").error(), kRegKeyNotFound);
    auto beta = key->Subkey(L"beta");  // the registry compares names case-insensitively
    ASSERT_TRUE(beta.ok());

    // Adding an existing subkey is harmless: what it holds stays.
    k.SetString(L"Alpha", L"Keep", L"me");
    k.CreateSubkey(L"Alpha\\Inner");
    auto again = key->AddSubkey(L"Alpha");
    ASSERT_TRUE(again.ok()) << again.error();
    EXPECT_EQ(again->Value(L"Keep")->Text(), L"me");
    EXPECT_EQ(again->SubkeyCount().value(), 1u);
}

TEST(Registry, RemoveSubkeyTakesTheWholeTree) {
    TestRegistryKey k;
    k.SetString(L"Doomed", L"V", L"x");
    k.SetString(L"Doomed\\Child", L"V", L"y");
    k.SetDword(L"Doomed\\Child\\Grandchild", L"N", 3);
    k.CreateSubkey(L"Doomed\\Other");
    k.SetString(L"Kept", L"V", L"z");
    auto key = RegKey::Open(k.fullPath());
    ASSERT_TRUE(key.ok());
    Status removed = key->RemoveSubkey(L"Doomed");
    ASSERT_TRUE(removed.ok()) << removed.error();
    EXPECT_FALSE(test::KeyExistsRaw(HKEY_CURRENT_USER, k.subPath() + L"\\Doomed"));
    EXPECT_TRUE(test::KeyExistsRaw(HKEY_CURRENT_USER, k.subPath() + L"\\Kept"));
    EXPECT_EQ(key->SubkeyCount().value(), 1u);
    EXPECT_EQ(RegKey::Open(k.fullPath() + L"\\Doomed").error(), kRegKeyNotFound);

    // A missing subkey, and an empty name (which must not empty the key itself).
    EXPECT_EQ(key->RemoveSubkey(L"Doomed").error(), kRegKeyNotFound);
    EXPECT_EQ(key->RemoveSubkey(L"").error(), kRegBadName);
    EXPECT_EQ(key->RemoveSubkey(L"\\").error(), kRegBadName);
    EXPECT_TRUE(test::KeyExistsRaw(HKEY_CURRENT_USER, k.subPath() + L"\\Kept"));
}

TEST(Registry, ValuesCountItemByIndexAndName) {
    TestRegistryKey k;
    k.SetString(L"E", L"Name", L"Text");
    k.SetDword(L"E", L"Number", 12);
    k.SetString(L"E", L"", L"default");
    auto key = RegKey::Open(k.fullPath() + L"\\E");
    ASSERT_TRUE(key.ok());
    auto count = key->ValueCount();
    ASSERT_TRUE(count.ok());
    EXPECT_EQ(count.value(), 3u);

    std::map<std::wstring, std::wstring> seen;
    for (uint32_t i = 1; i <= 3; ++i) {
        auto v = key->ValueAt(i);
        ASSERT_TRUE(v.ok()) << v.error();
        seen[v->Name()] = v->Text();
    }
    EXPECT_EQ(seen, (std::map<std::wstring, std::wstring>{{L"", L"default"}, {L"Name", L"Text"}, {L"Number", L"12"}}));
    EXPECT_EQ(key->ValueAt(0).error(), kRegBadIndex);
    EXPECT_EQ(key->ValueAt(4).error(), kRegBadIndex);

    auto number = key->Value(L"number");
    ASSERT_TRUE(number.ok());
    EXPECT_EQ(number->Name(), L"number");
    EXPECT_EQ(number->Type(), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number->Int32().value(), 12);
    auto missing = key->Value(L"Absent");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), ERROR_FILE_NOT_FOUND);
}

TEST(Registry, AddValueKeepsExistingDataAndRemoveValue) {
    TestRegistryKey k;
    k.SetString(L"E", L"Publisher", L"Original");
    auto key = RegKey::Open(k.fullPath() + L"\\E");
    ASSERT_TRUE(key.ok());
    Status st = key->AddValue(L"Publisher", L"Replacement", REG_SZ);
    EXPECT_TRUE(st.ok()) << st.error();
    EXPECT_EQ(key->Value(L"Publisher")->Text(), L"Original");
    st = key->AddValue(L"PUBLISHER", L"7", REG_DWORD);  // same name in other case: still existing
    EXPECT_TRUE(st.ok());
    EXPECT_EQ(key->Value(L"Publisher")->Type(), static_cast<DWORD>(REG_SZ));

    ASSERT_TRUE(key->AddValue(L"Count", L"7", REG_DWORD).ok());
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, k.subPath() + L"\\E", L"Count").data, ByteList({7, 0, 0, 0}));
    ASSERT_TRUE(key->AddValue(L"List", L"a\r\nb", REG_MULTI_SZ).ok());
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, k.subPath() + L"\\E", L"List").data, Utf16Bytes(Z(L"a\0b\0\0")));

    // Not a number for a number type: fails, writes nothing.
    st = key->AddValue(L"Bad", L"twelve", REG_DWORD);
    EXPECT_EQ(st.error(), kRegNotANumber);
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, k.subPath() + L"\\E", L"Bad").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key->ValueCount().value(), 3u);

    ASSERT_TRUE(key->RemoveValue(L"Count").ok());
    EXPECT_EQ(key->Value(L"Count").error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key->RemoveValue(L"Count").error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key->ValueCount().value(), 2u);
}

TEST(Registry, WritingTextKeepsTheValueType) {
    TestRegistryKey k;
    const std::wstring sub = k.subPath() + L"\\E";
    k.SetString(L"E", L"Str", L"old");
    k.SetString(L"E", L"Exp", L"%TEMP%", REG_EXPAND_SZ);
    k.SetDword(L"E", L"Num", 1);
    const auto bin = ByteList({0x10, 0x20, 0x30, 0x40});
    k.SetRaw(L"E", L"Bin", REG_BINARY, bin.data(), static_cast<DWORD>(bin.size()));
    auto key = RegKey::Open(k.fullPath() + L"\\E");
    ASSERT_TRUE(key.ok());

    auto str = key->Value(L"Str");
    ASSERT_TRUE(str.ok());
    ASSERT_TRUE(str->SetText(L"new \u00e9\u00e8").ok());
    EXPECT_EQ(str->Text(), L"new \u00e9\u00e8");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, sub, L"Str").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(key->Value(L"Str")->Text(), L"new \u00e9\u00e8");

    auto exp = key->Value(L"Exp");
    ASSERT_TRUE(exp.ok());
    EXPECT_EQ(exp->Text(), L"%TEMP%");  // raw: the layer does not expand
    ASSERT_TRUE(exp->SetText(L"%WINDIR%\\x").ok());
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, sub, L"Exp").type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(key->Value(L"Exp")->Text(), L"%WINDIR%\\x");

    auto num = key->Value(L"Num");
    ASSERT_TRUE(num.ok());
    ASSERT_TRUE(num->SetText(L"305419896").ok());
    auto raw = ReadRaw(HKEY_CURRENT_USER, sub, L"Num");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.data, ByteList({0x78, 0x56, 0x34, 0x12}));
    // Text that is not a number: a clear failure, and nothing written.
    Status bad = num->SetText(L"not a number");
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.error(), kRegNotANumber);
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, sub, L"Num").data, ByteList({0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(num->Text(), L"305419896");

    // Binary: the text read writes back the same bytes.
    auto b = key->Value(L"Bin");
    ASSERT_TRUE(b.ok());
    ASSERT_TRUE(b->SetText(b->Text()).ok());
    raw = ReadRaw(HKEY_CURRENT_USER, sub, L"Bin");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(raw.data, bin);
}

TEST(Registry, MissingKeyAfterDeletionFailsCleanly) {
    TestRegistryKey k;
    k.SetString(L"Temp", L"V", L"x");
    auto key = RegKey::Open(k.fullPath() + L"\\Temp");
    ASSERT_TRUE(key.ok());
    auto v = key->Value(L"V");
    ASSERT_TRUE(v.ok());
    ASSERT_TRUE(RegKey::Open(k.fullPath())->RemoveSubkey(L"Temp").ok());
    EXPECT_FALSE(key->Value(L"V").ok());
    EXPECT_FALSE(key->ValueCount().ok());
    EXPECT_FALSE(key->AddValue(L"W", L"y", REG_SZ).ok());
    Status st = v->SetText(L"z");  // the key is gone: the write fails, and nothing is recreated
    EXPECT_EQ(st.error(), kRegKeyNotFound);
    EXPECT_FALSE(test::KeyExistsRaw(HKEY_CURRENT_USER, k.subPath() + L"\\Temp"));
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
    EXPECT_EQ(v->Text(), L"value");
    EXPECT_EQ(key->SubkeyCount().value(), 1u);

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
