// The task pane as it is drawn on the screen: pictures for people to look at, and checks of the
// pixels that must be there (link colours, the underline under the pointer, the focus mark).
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/task_pane/task_pane.h"
#include "controls/task_pane/task_pane_palette.h"
#include "task_pane_test_host.h"

using namespace ardmoor;
using namespace ardmoor::taskpane_test;

namespace {
int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// A pane rectangle (client coordinates) in the coordinates of a capture of the host window.
RECT InCapture(HWND host, HWND pane, RECT r) {
    ::MapWindowPoints(pane, nullptr, reinterpret_cast<POINT*>(&r), 2);
    RECT window{};
    ::GetWindowRect(host, &window);
    ::OffsetRect(&r, -window.left, -window.top);
    return r;
}

int CountNear(const Capture& cap, const RECT& r, COLORREF color, int tolerance) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (Distance(cap.At(x, y), color) <= tolerance) ++n;
    return n;
}

// The longest horizontal run of pixels near `color` in any row of r.
int LongestRun(const Capture& cap, const RECT& r, COLORREF color, int tolerance) {
    int best = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        int run = 0;
        for (int x = r.left; x < r.right; ++x) {
            run = Distance(cap.At(x, y), color) <= tolerance ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

RECT ItemRect(TaskPane& pane, const wchar_t* key) {
    RECT r{};
    EXPECT_TRUE(pane.ItemRect(*pane.Model().FindItem(key), r)) << key;
    return r;
}
}  // namespace

TEST(TaskPaneScreenshot, LooksLikeTheWindowsTaskPane) {
    ParkMouse();
    HostWindow host(760, 560, TaskPane::kPreferredWidthAt96);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane);
    ASSERT_TRUE(BringToFront(host.hwnd()));
    PumpFor(200);
    ::RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    const std::wstring startPath = SaveScreenshot(host.hwnd(), L"task_pane_start.bmp");
    EXPECT_FALSE(startPath.empty());
    printf("screenshot: %ls\n", startPath.c_str());

    // As it looks after an entry's details were shown, with the pointer on one link and the
    // keyboard focus on another.
    pane.Model().Clear();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    ::SetFocus(pane.hwnd());
    pane.SetFocusedItem(pane.Model().FindItem(L"REFRESH"));
    MoveMouse(FirstLineCenter(pane, *pane.Model().FindItem(L"PROPERTIES")));
    ASSERT_TRUE(PumpUntil([&] { return pane.HotItem() == pane.Model().FindItem(L"PROPERTIES"); }));
    PumpFor(200);
    if (::IsWindowVisible(pane.ToolTipWindow())) ::ShowWindow(pane.ToolTipWindow(), SW_HIDE);
    ::RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    Capture details = CaptureWindow(host.hwnd());
    const std::wstring detailsPath = SaveScreenshot(host.hwnd(), L"task_pane_details.bmp");
    EXPECT_FALSE(detailsPath.empty());
    printf("screenshot: %ls\n", detailsPath.c_str());
    ASSERT_GT(details.width, 0);

    const TaskPanePalette palette = TaskPanePalette::FromSystem();
    const HWND h = host.hwnd(), p = pane.hwnd();
    RECT special{}, normal{};
    ASSERT_TRUE(pane.HeaderRect(*pane.FindBar(L"Advanced"), special));
    ASSERT_TRUE(pane.HeaderRect(*pane.FindBar(L"Tasks"), normal));
    special = InCapture(h, p, special);
    normal = InCapture(h, p, normal);
    // Headers: the special one in the caption colours, the others light; left edges, clear of text.
    EXPECT_LE(Distance(details.At(special.left + 8, special.top + 8), palette.specialLeft), 24);
    EXPECT_LE(Distance(details.At(normal.left + 8, normal.top + 8), palette.headerLeft), 24);
    EXPECT_GT(Distance(palette.specialLeft, palette.headerLeft), 60);

    // Links in the link colour; plain text in the text colour and never in the link colour.
    const RECT exit = InCapture(h, p, ItemRect(pane, L"EXIT"));
    const RECT phone = InCapture(h, p, ItemRect(pane, L"PHONE"));
    EXPECT_GT(CountNear(details, exit, palette.link, 60), 5);
    EXPECT_GT(CountNear(details, phone, palette.text, 60), 5);
    EXPECT_EQ(CountNear(details, phone, palette.link, 30), 0);

    // The link under the pointer is underlined across its text; others are not.
    const RECT hot = InCapture(h, p, ItemRect(pane, L"PROPERTIES"));
    EXPECT_GE(LongestRun(details, hot, palette.linkHot, 60), (hot.right - hot.left) * 8 / 10);
    const RECT help = InCapture(h, p, ItemRect(pane, L"HELP"));
    EXPECT_LT(LongestRun(details, help, palette.link, 60), (help.right - help.left) * 8 / 10);

    // The focused link has a dotted frame around it; the same place around another link is plain.
    auto frameRow = [&](const wchar_t* key) {
        RECT r = ItemRect(pane, key);
        ::InflateRect(&r, pane.Metrics().focusPadding, pane.Metrics().focusPadding);
        r = InCapture(h, p, r);
        return RECT{r.left, r.top, r.right, r.top + 1};
    };
    const RECT focusRow = frameRow(L"REFRESH");
    const RECT plainRow = frameRow(L"REMOVE");
    const int bodyLike = CountNear(details, focusRow, palette.body, 12);
    EXPECT_LT(bodyLike, (focusRow.right - focusRow.left) * 3 / 4) << "no focus frame drawn";
    EXPECT_GE(CountNear(details, plainRow, palette.body, 12), (plainRow.right - plainRow.left) * 9 / 10);
    ParkMouse();
}
