// The status bar under real input: the Caps Lock panel following the key, clicks on panels,
// the size grip, and a screenshot of a full bar for people to look at.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/strings.h"
#include "status_bar_test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

class StatusBarInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(700, 200));
        status = bar.StatusWindow();
    }
    POINT CentreOf(const PanelRef& panel) const {
        const RECT rect = bar.GetPanelRect(panel);
        POINT pt{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(status, &pt);
        return pt;
    }
    // Whether a panel shows pixels in the button-text colour: a lit key panel.
    bool DrawnLit(const PanelRef& panel) const {
        RECT rect = bar.GetPanelRect(panel);
        ::InflateRect(&rect, -2, -2);
        const COLORREF c = ::GetSysColor(COLOR_BTNTEXT);
        const std::vector<COLORREF> pixels = CapturePixels(status, rect);
        return std::count(pixels.begin(), pixels.end(), RGB(GetBValue(c), GetGValue(c), GetRValue(c))) > 0;
    }

    StatusBarHost host;
    vbalStatusBar& bar = host.bar;
    HWND status = nullptr;
};

PanelOptions Panel(std::wstring text, long minWidth, long style = 0) {
    PanelOptions o;
    o.text = std::move(text);
    o.minWidth = minWidth;
    o.style = style;
    return o;
}

}  // namespace

TEST_F(StatusBarInputTest, CapsLockPanelFollowsTheKeyWithinASecond) {
    bar.AddPanel(Panel(L"Ready", 200));
    PanelOptions caps = Panel(L"", 0, kStyleCapsLock);
    caps.key = L"caps";
    bar.AddPanel(caps);
    PumpFor(50);
    const bool initially = (::GetKeyState(VK_CAPITAL) & 1) != 0;
    ASSERT_EQ(DrawnLit(L"caps"), initially);

    // Pressed twice, so that the key ends as it was.
    for (const bool expected : {!initially, initially}) {
        PressKey(VK_CAPITAL);
        ASSERT_TRUE(PumpUntil([&] { return ((::GetKeyState(VK_CAPITAL) & 1) != 0) == expected; }, 1000))
            << "the system did not toggle Caps Lock on injected input";
        EXPECT_TRUE(PumpUntil([&] { return DrawnLit(L"caps") == expected; }, 1000));
    }
    EXPECT_EQ(bar.PanelText(L"caps"), L"CAPS");
}

TEST_F(StatusBarInputTest, ClicksReportTheButtonThePositionAndThePanel) {
    for (const wchar_t* text : {L"First", L"Second", L"Third"}) bar.AddPanel(Panel(text, 150));
    struct Event {
        int button, x, y;
        long panel;
    };
    std::vector<Event> clicks;
    std::vector<Event> doubles;
    bar.Click = [&](int button, int x, int y, long panel) { clicks.push_back({button, x, y, panel}); };
    bar.DblClick = [&](int button, int x, int y, long panel) { doubles.push_back({button, x, y, panel}); };

    const RECT second = bar.GetPanelRect(2);
    ClickAt(CentreOf(2));
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 1; }, 2000));
    EXPECT_EQ(clicks[0].button, 1);
    EXPECT_EQ(clicks[0].panel, 2);
    EXPECT_EQ(clicks[0].x, (second.left + second.right) / 2);
    EXPECT_EQ(clicks[0].y, (second.top + second.bottom) / 2);

    ::Sleep(::GetDoubleClickTime() + 100);
    ClickAt(CentreOf(3), true);
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 2; }, 2000));
    EXPECT_EQ(clicks[1].button, 2);
    EXPECT_EQ(clicks[1].panel, 3);

    ::Sleep(::GetDoubleClickTime() + 100);
    ClickAt(CentreOf(1), false, true);
    ASSERT_TRUE(PumpUntil([&] { return !doubles.empty(); }, 2000));
    EXPECT_EQ(doubles[0].button, 1);
    EXPECT_EQ(doubles[0].panel, 1);
}

TEST_F(StatusBarInputTest, DraggingTheGripSizesTheTopLevelWindow) {
    bar.AddPanel(Panel(L"Only", 100));
    RECT before{};
    ::GetWindowRect(host.hwnd(), &before);
    RECT statusRect{};
    ::GetClientRect(status, &statusRect);
    POINT grip{statusRect.right - 3, statusRect.bottom - 3};
    ::ClientToScreen(status, &grip);

    // The size loop captures the mouse only once it runs, so the drag goes on from another
    // thread while this one is inside the loop.
    INPUT press = MouseInput(grip, MOUSEEVENTF_LEFTDOWN);
    ::SendInput(1, &press, sizeof(INPUT));
    std::atomic<bool> released{false};
    std::thread drag([grip, &released] {
        ::Sleep(300);
        for (int step = 1; step <= 4; ++step) {
            INPUT move = MouseInput({grip.x + 15 * step, grip.y + 10 * step}, 0);
            ::SendInput(1, &move, sizeof(INPUT));
            ::Sleep(50);
        }
        ::Sleep(200);
        INPUT release = MouseInput({grip.x + 60, grip.y + 40}, MOUSEEVENTF_LEFTUP);
        ::SendInput(1, &release, sizeof(INPUT));
        released = true;
    });
    RECT after{};
    PumpUntil([&] {  // the size loop runs inside this pump and ends with the release
        ::GetWindowRect(host.hwnd(), &after);
        return released && after.bottom - after.top > before.bottom - before.top + 20;
    }, 5000);
    drag.join();

    EXPECT_GT(after.right - after.left, before.right - before.left + 30);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top + 20);
    // The bar went along with the window rather than off on its own.
    RECT client{};
    ::GetClientRect(host.hwnd(), &client);
    RECT self{};
    ::GetWindowRect(bar.hwnd(), &self);
    ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&self), 2);
    EXPECT_EQ(self.right, client.right);
    EXPECT_EQ(self.bottom, client.bottom);
}

TEST_F(StatusBarInputTest, ScreenshotOfAFullBar) {
    UniqueImageList images(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    ::ImageList_AddIcon(images.get(), ::LoadIconW(nullptr, IDI_INFORMATION));
    bar.ImageList(images.get());
    PanelOptions name = Panel(L"Ardmoor", 160);
    name.imageIndex = 0;
    bar.AddPanel(name);
    PanelOptions count = Panel(L"42 entries", 120);
    count.spring = true;
    bar.AddPanel(count);
    for (const long style : {kStyleCapsLock, kStyleNumLock, kStyleDateTime}) bar.AddPanel(Panel(L"", 0, style));
    ::RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (long i = 1; i <= bar.PanelCount(); ++i) {
        RECT rect = bar.GetPanelRect(i);
        ::InflateRect(&rect, -2, -2);
        const std::vector<COLORREF> pixels = CapturePixels(status, rect);
        ASSERT_FALSE(pixels.empty());
        EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels.front()), static_cast<long>(pixels.size()))
            << "panel " << i << " is blank";
    }
    const std::wstring path = ScreenshotFolder() + L"status_bar.bmp";
    EXPECT_TRUE(SaveWindowScreenshot(host.hwnd(), path)) << WideToUtf8(path);
}
