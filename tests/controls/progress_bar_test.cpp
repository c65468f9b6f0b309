// The progress bar control over the system's progress window: what reaches the window, making it
// again on Smooth and Orientation, borders and stepping.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/progress_bar/progress_bar.h"

using namespace ardmoor;

TEST(ProgressBar, TheWindowFollowsValueRangeStyleAndBorderEvenWhenMadeAgain) {
    struct Host {
        HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200,
                                      nullptr, nullptr, nullptr, nullptr);
        ~Host() { ::DestroyWindow(hwnd); }
    } host;
    ProgressBar bar;
    bar.ReadProperties({});  // an empty form file
    ASSERT_TRUE(bar.Create(host.hwnd, 1, 10, 10, 300, 20));
    auto pos = [&] { return ::SendMessageW(bar.hWnd(), PBM_GETPOS, 0, 0); };
    auto style = [&] { return ::GetWindowLongPtrW(bar.hWnd(), GWL_STYLE); };
    auto edges = [&] { return ::GetWindowLongPtrW(bar.hwnd(), GWL_EXSTYLE) | ::GetWindowLongPtrW(bar.hWnd(), GWL_EXSTYLE); };
    EXPECT_EQ(bar.Value(), -1);
    EXPECT_EQ(pos(), 0) << "-1 shows as an empty bar";
    RECT inner{}, window{};
    ::GetClientRect(bar.hwnd(), &inner);
    ::GetWindowRect(bar.hWnd(), &window);
    EXPECT_EQ(window.right - window.left, inner.right) << "the progress window fills the control";

    bar.SetValue(40);
    bar.SetForeColor(RGB(200, 30, 30));
    bar.SetBackColor(RGB(250, 250, 200));
    const HWND before = bar.hWnd();
    bar.SetSmooth(true);
    bar.SetOrientation(1);
    EXPECT_FALSE(::IsWindow(before));
    EXPECT_EQ(style() & (PBS_SMOOTH | PBS_VERTICAL), PBS_SMOOTH | PBS_VERTICAL);
    EXPECT_EQ(pos(), 40);
    EXPECT_EQ(::SendMessageW(bar.hWnd(), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_TRUE(edges() & WS_EX_STATICEDGE) << "border style 1: a thin edge on the bar";
    EXPECT_EQ(::SendMessageW(bar.hWnd(), PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(RGB(200, 30, 30)));
    EXPECT_EQ(::SendMessageW(bar.hWnd(), PBM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(250, 250, 200)));

    bar.SetMin(-5);
    bar.SetMax(100000);
    PBRANGE range{};
    ::SendMessageW(bar.hWnd(), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, -5);
    EXPECT_EQ(range.iHigh, 100000) << "32-bit limits";
    bar.SetValue(10);
    bar.SetStep(7);
    bar.StepIt();
    EXPECT_EQ(pos(), 17);
    EXPECT_EQ(bar.Value(), 17) << "Value follows the window after a step";
}
