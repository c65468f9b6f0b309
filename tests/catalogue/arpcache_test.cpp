// The application-cache reader: a real "SlowInfoCache" binary under
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Management\ARPCache\<unique name> of the test
// prefix, removed afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "catalogue/arItem.h"
#include "catalogue_test_util.h"
#include "test_support.h"

using namespace ardmoor;
using test::TempDir;
using test::TestRegistryKey;
using test::Utf16Bytes;

namespace {

// The cache record as Windows writes it: cbSize, HasName, InstallSize, LastUsed, Frequency (28
// bytes), then the program path in a 262-character (524-byte) UTF-16 field, NUL-padded.
std::vector<BYTE> SlowInfoCache(const std::wstring& path) {
    std::vector<BYTE> data(552, 0);
    const DWORD size = 552, hasName = 1, frequency = 3;
    const unsigned long long installSize = 123456789ULL, lastUsed = 0x01D9000000000000ULL;
    std::memcpy(&data[0], &size, 4);
    std::memcpy(&data[4], &hasName, 4);
    std::memcpy(&data[8], &installSize, 8);
    std::memcpy(&data[16], &lastUsed, 8);
    std::memcpy(&data[24], &frequency, 4);
    std::memcpy(&data[28], path.data(), std::min<size_t>(path.size(), 261) * sizeof(wchar_t));
    return data;
}

class AppCache : public ::testing::Test {
protected:
    // Sets this test's cache record; the entry key name is the cache key's name.
    void SetCache(const std::vector<BYTE>& data, DWORD type = REG_BINARY) {
        ASSERT_EQ(::RegSetValueExW(cache.handle(), L"SlowInfoCache", 0, type, data.data(),
                                   static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    std::wstring Name() const { return test::LastComponent(cache.subPath()); }
    std::wstring File(const std::wstring& rel) {
        const std::wstring path = files / rel;
        EXPECT_TRUE(test::WriteFileBytes(path, "MZ"));
        return path;
    }

    TestRegistryKey cache{HKEY_LOCAL_MACHINE,
                          L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache"};
    TestRegistryKey uninstall;
    TempDir files;
    TempDir icons;
    arItem item{icons.path()};
};

}  // namespace

TEST_F(AppCache, ReadsTheProgramPathFromEveryFormOfRecord) {
    const std::wstring exe = File(L"Program Files\\Tool\\tool.exe");
    const std::wstring local = File(L"\u30c4\u30fc\u30eb\\\u5de5\u5177.exe");
    const std::wstring nul(1, L'\0');
    // 300 characters of something else, then the path filling the last 262 characters exactly.
    const std::wstring tail = std::wstring(300, L'J') + exe + std::wstring(262 - exe.size(), L'\0');
    const struct {
        const char* what;
        std::vector<BYTE> data;
        std::wstring path;
    } cases[] = {
        {"a full record", SlowInfoCache(exe), exe},
        {"quotes and text after the NUL", SlowInfoCache(L"\"" + exe + nul + L"\" leftover"), exe},
        {"shorter data, taken whole", Utf16Bytes(exe + nul), exe},
        {"shorter data without a NUL", Utf16Bytes(exe), exe},
        {"only the last 262 characters count", Utf16Bytes(tail), exe},
        {"a non-Latin path", SlowInfoCache(local), local},
        {"a file that is not there", SlowInfoCache(files / L"not-there.exe"), L""},
        {"an empty value", {}, L""},
    };
    for (const auto& c : cases) {
        SetCache(c.data);
        EXPECT_EQ(item.GetCachedProgramPath(Name()), c.path) << c.what;
    }
    EXPECT_EQ(item.GetCachedProgramPath(Name() + L"_absent"), L"");
    ASSERT_EQ(::RegDeleteValueW(cache.handle(), L"SlowInfoCache"), ERROR_SUCCESS);
    EXPECT_EQ(item.GetCachedProgramPath(Name()), L"");
}

TEST_F(AppCache, IconStep3UsesTheCacheOfTheEntryKeyName) {
    ASSERT_TRUE(test::WriteFileBytes(icons / L"noicon.ico", "ico"));
    const std::wstring exe = File(L"Cached\\main.exe");
    SetCache(SlowInfoCache(exe));
    // The entry lives under a test key, not the real Uninstall key: only its name matters.
    uninstall.SetString(Name(), L"DisplayIcon", files / L"missing.ico");
    uninstall.SetString(Name(), L"UninstallString", L"\"" + (files / L"gone\\unins.exe") + L"\"");
    item.GetItemInformation(uninstall.fullPath() + L"\\" + Name());
    EXPECT_EQ(item.ItemIcon, exe);
    // The same through a listing's shared memory, which lists the cache's names once.
    FileProbeCache shared;
    item.LoadValues(uninstall.fullPath() + L"\\" + Name());
    item.ChooseIcon(&shared);
    EXPECT_EQ(item.ItemIcon, exe);
    // The memory answers for files in folders that are gone, and still finds those that exist.
    EXPECT_FALSE(shared.Exists(files / L"gone\\deeper\\unins.exe"));
    EXPECT_TRUE(shared.Exists(exe));
    EXPECT_TRUE(shared.Exists(files / L"Cached"));
    EXPECT_TRUE(shared.Exists(files / L"Cached\\\\main.exe"));  // a doubled separator, as some entries write

    // An existing DisplayIcon comes first (step 2).
    const std::wstring ico = File(L"own.ico");
    uninstall.SetString(Name(), L"DisplayIcon", ico);
    item.GetItemInformation(uninstall.fullPath() + L"\\" + Name());
    EXPECT_EQ(item.ItemIcon, ico);
}
