// The progress bar control over the system's progress window: what reaches the window, making it
// again on Smooth and Orientation, borders and stepping.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/progress_bar/progress_bar.h"

using namespace ardmoor;

namespace {

struct Host {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    ~Host() { ::DestroyWindow(hwnd); }
};

int Pos(const ProgressBar& bar) { return static_cast<int>(::SendMessageW(bar.hWnd(), PBM_GETPOS, 0, 0)); }
LONG_PTR Style(HWND h) { return ::GetWindowLongPtrW(h, GWL_STYLE); }
LONG_PTR ExStyle(HWND h) { return ::GetWindowLongPtrW(h, GWL_EXSTYLE); }

}  // namespace

TEST(ProgressBar, FromAnEmptyFormFileItStartsEmptyAndFillsTheControl) {
    Host host;
    ProgressBar bar;
    bar.ReadProperties({});
    ASSERT_TRUE(bar.Create(host.hwnd, 1, 10, 10, 300, 20));
    EXPECT_EQ(bar.Value(), -1);
    EXPECT_EQ(Pos(bar), 0) << "-1 shows as an empty bar";
    RECT inner{}, barRect{};
    ::GetClientRect(bar.hwnd(), &inner);
    ::GetWindowRect(bar.hWnd(), &barRect);
    EXPECT_EQ(barRect.right - barRect.left, inner.right) << "the progress window fills the control";
}

TEST(ProgressBar, SmoothAndOrientationMakeANewWindowThatKeepsValueColoursAndBorder) {
    Host host;
    ProgressBar bar;
    ASSERT_TRUE(bar.Create(host.hwnd, 1, 10, 10, 300, 20));
    bar.SetValue(40);
    bar.SetForeColor(RGB(200, 30, 30));
    bar.SetBackColor(RGB(250, 250, 200));
    const HWND before = bar.hWnd();
    EXPECT_TRUE(ExStyle(before) & WS_EX_STATICEDGE) << "border style 1: a thin edge on the bar";

    bar.SetSmooth(true);
    ASSERT_NE(bar.hWnd(), nullptr);
    EXPECT_FALSE(::IsWindow(before));
    EXPECT_TRUE(Style(bar.hWnd()) & PBS_SMOOTH);
    EXPECT_EQ(Pos(bar), 40);
    EXPECT_EQ(::SendMessageW(bar.hWnd(), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_TRUE(ExStyle(bar.hWnd()) & WS_EX_STATICEDGE);
    EXPECT_EQ(::SendMessageW(bar.hWnd(), PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(RGB(200, 30, 30)));
    EXPECT_EQ(::SendMessageW(bar.hWnd(), PBM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(250, 250, 200)));

    bar.SetOrientation(1);
    EXPECT_TRUE(Style(bar.hWnd()) & PBS_VERTICAL);
    EXPECT_TRUE(Style(bar.hWnd()) & PBS_SMOOTH);
    EXPECT_EQ(Pos(bar), 40);
}

TEST(ProgressBar, BorderStylesRangesAndStepping) {
    Host host;
    ProgressBar bar;
    ASSERT_TRUE(bar.Create(host.hwnd, 1, 10, 10, 300, 20));
    bar.SetBorderStyle(2);
    EXPECT_TRUE(ExStyle(bar.hwnd()) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(ExStyle(bar.hWnd()) & WS_EX_STATICEDGE);
    bar.SetBorderStyle(0);
    EXPECT_FALSE(ExStyle(bar.hwnd()) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(ExStyle(bar.hWnd()) & WS_EX_STATICEDGE);

    bar.SetMin(-5);
    bar.SetMax(100000);
    PBRANGE range{};
    ::SendMessageW(bar.hWnd(), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, -5);
    EXPECT_EQ(range.iHigh, 100000) << "32-bit limits";

    bar.SetValue(10);
    bar.SetStep(7);
    bar.StepIt();
    EXPECT_EQ(Pos(bar), 17);
    EXPECT_EQ(bar.Value(), 17) << "Value follows the window after a step";

    ProgressBar loose;  // no window: the stored value steps
    loose.SetValue(3);
    loose.SetStep(4);
    loose.StepIt();
    EXPECT_EQ(loose.Value(), 7);
}
