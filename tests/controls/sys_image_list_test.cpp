// The system image list through the shell of the test prefix: list sizes, icon indexes by type
// and from disk (the built program embeds its own icon).
#include <gtest/gtest.h>

#include "controls/cVBALSysImageList.h"
#include "test_support.h"

using namespace ardmoor;

TEST(SysImageList, TheSystemsOwnListsGiveIndexesByTypeAndFromDisk) {
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
    // Forgetting the handle releases nothing: the list is shared, and comes back the same.
    HIMAGELIST before = small.hIml();
    small.Destroy();
    EXPECT_EQ(small.ImageCount(), 0);
    EXPECT_GT(::ImageList_GetImageCount(before), 0);
    ASSERT_TRUE(small.Clear());
    EXPECT_EQ(small.hIml(), before);

    // (The tests' prefix maps ".exe" to the "exefile" class, whose icon is the file's own, as Windows does.)
    // A name alone is described by its type, without touching the disk: the generic program icon.
    test::TempDir dir;
    const int byType = large.ItemIndex(dir / L"setup.exe");
    const std::wstring typeName = large.ItemTypeName();
    EXPECT_FALSE(typeName.empty());
    // Read from disk, the program brings its own icon. (Windows answers a by-type lookup of an
    // existing program with the generic icon; Wine reads the file even then.)
    const int fromDisk = large.ItemIndex(test::ArdmoorExe(), true);
    EXPECT_GE(byType, 0);
    EXPECT_NE(fromDisk, byType);
    EXPECT_LT(fromDisk, large.ImageCount());
    EXPECT_EQ(large.ItemTypeName(), typeName);
    // What the shell cannot describe gives 0 and no type.
    EXPECT_EQ(large.ItemIndex(dir / L"missing\\nowhere.exe", true), 0);
    EXPECT_EQ(large.ItemTypeName(), L"");
    EXPECT_EQ(large.ItemIndex(std::wstring(L"C:\\a\0b.exe", 10), true), 0);
}
