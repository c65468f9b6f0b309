// The system image list through the shell of the test prefix: list sizes, icon indexes by type
// and from disk (the built program embeds its own icon).
#include <gtest/gtest.h>

#include "controls/cVBALSysImageList.h"
#include "test_support.h"

using namespace ardmoor;

TEST(SysImageList, SmallAndLargeListsAreTheSystemsOwn) {
    cVBALSysImageList small, large;
    large.SetIconSizeX(32);
    large.SetIconSizeY(32);
    ASSERT_TRUE(small.Create());
    ASSERT_TRUE(large.Create());
    EXPECT_NE(small.hIml(), large.hIml());
    int cx = 0, cy = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(small.hIml(), &cx, &cy));
    EXPECT_EQ(cx, ::GetSystemMetrics(SM_CXSMICON));
    ASSERT_TRUE(::ImageList_GetIconSize(large.hIml(), &cx, &cy));
    EXPECT_EQ(cx, ::GetSystemMetrics(SM_CXICON));
    EXPECT_GT(small.ImageCount(), 0);

    // Forgetting the handle releases nothing: the list is shared, and comes back the same.
    HIMAGELIST before = small.hIml();
    small.Destroy();
    EXPECT_EQ(small.hIml(), nullptr);
    EXPECT_EQ(small.ImageCount(), 0);
    EXPECT_GT(::ImageList_GetImageCount(before), 0);
    ASSERT_TRUE(small.Clear());
    EXPECT_EQ(small.hIml(), before);
}

// Windows maps the ".exe" extension to the "exefile" class, whose icon is the file's own; Wine 8's
// fresh registry has the class but not the mapping. Supplies the mapping while a test runs.
class ExeClassMapping {
public:
    ExeClassMapping() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
            return;
        }
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        static const wchar_t kClass[] = L"exefile";
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kClass), sizeof(kClass));
        ::RegCloseKey(key);
        created_ = true;
    }
    ~ExeClassMapping() {
        if (created_) ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPath);
    }

private:
    static constexpr const wchar_t* kPath = L"Software\\Classes\\.exe";
    bool created_ = false;
};

TEST(SysImageList, IconIndexesByTypeAndFromDisk) {
    ExeClassMapping mapping;
    cVBALSysImageList list;
    list.SetIconSizeX(32);
    ASSERT_TRUE(list.Create());
    const std::wstring exe = test::ArdmoorExe();
    ASSERT_NE(::GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << exe;

    // A name alone is described by its type, without touching the disk: the generic program icon.
    test::TempDir dir;
    const int byType = list.ItemIndex(dir / L"setup.exe");
    const std::wstring typeName = list.ItemTypeName();
    EXPECT_FALSE(typeName.empty());
    EXPECT_LE(typeName.size(), 80u);
    // Read from disk (by a path that climbs with ".."), the program brings its own icon. (Windows answers a by-type lookup of an
    // existing program with the generic icon; Wine reads the file even then.)
    const int fromDisk = list.ItemIndex(exe, true);
    EXPECT_NE(fromDisk, byType);
    EXPECT_GE(byType, 0);
    EXPECT_LT(fromDisk, list.ImageCount());
    EXPECT_EQ(list.ItemTypeName(), typeName);

    // What the shell cannot describe gives 0 and no type.
    EXPECT_EQ(list.ItemIndex(dir / L"missing\\nowhere.exe", true), 0);
    EXPECT_EQ(list.ItemTypeName(), L"");
    EXPECT_EQ(list.ItemIndex(std::wstring(L"C:\\a\0b.exe", 10), true), 0);
}

