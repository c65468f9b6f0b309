// Start-up and the single-instance guard, seen from outside the real program.
#include <gtest/gtest.h>

#include "app/app_info.h"
#include "remote_ui.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

TEST(Startup, ASecondInstanceShowsAMessageAndEndsLeavingTheFirstAndAThirdStartsOnceItEnded) {
    AppProcess first;
    ASSERT_TRUE(first.Start(ArdmoorExe()));
    HWND main = first.WaitForWindow(L"ArdmoorMainWindow", L"Ardmoor", 30s);
    ASSERT_NE(main, nullptr) << "the main window did not appear";

    AppProcess second;
    ASSERT_TRUE(second.Start(ArdmoorExe()));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindDialog(second.pid(), L"Ardmoor")) != nullptr; }, 20s))
        << "no message box from the second instance";
    const auto texts = ChildTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::wstring(kAlreadyRunningText)), texts.end());
    EXPECT_TRUE(::GetDlgItem(box, IDOK) && !::GetDlgItem(box, IDCANCEL)) << "only an OK button";
    // The second instance has no main window of its own.
    for (HWND h : TopLevelWindows(second.pid())) EXPECT_NE(ClassName(h), L"ArdmoorMainWindow");

    PressDialogButton(box, IDOK);
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitExit(15s, &code));
    EXPECT_EQ(code, 0u);

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitExit(15s));

    // Once the first has ended, the program starts again.
    AppProcess again;
    ASSERT_TRUE(again.Start(ArdmoorExe()));
    main = again.WaitForWindow(L"ArdmoorMainWindow", L"Ardmoor", 30s);
    ASSERT_NE(main, nullptr);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.WaitExit(15s));
}
