// The status bar: its plain width and special-panel rules, then the control in a real window
// (panels, errors, what the status window shows, icons, owner drawing, the font) and
// under real input (the Caps Lock key, clicks on panels, the size grip).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "controls/component_error.h"
#include "controls/status_bar/status_bar_layout.h"
#include "controls/status_bar/vbalStatusBar.h"
#include "platform/message_pump.h"
#include "remote_ui.h"

using namespace ardmoor;
using namespace ardmoor::test;
using Edges = std::vector<int>;

TEST(StatusBarRules, TheGripScalesWithDpiAndSpecialPanelsFollowKeysAndLocale) {
    // Three quarters of the height, worked out in twips at the window's DPI and rounded down.
    EXPECT_EQ(SizeGripAllowance(22, 96), 16);
    EXPECT_EQ(SizeGripAllowance(33, 144), 24);
    EXPECT_EQ(SizeGripAllowance(-5, 96), 0);
    // Key panels are on only while their key is toggled, and off while it is held to switch off.
    const SYSTEMTIME afternoon{2024, 3, 4, 7, 14, 5, 9, 0};
    for (auto [style, vk, text] : {std::tuple{kStyleCapsLock, VK_CAPITAL, L"CAPS"}, {kStyleNumLock, VK_NUMLOCK, L"NUM"},
                                   {kStyleInsert, VK_INSERT, L"OVR"}, {kStyleScrollLock, VK_SCROLL, L"SCRL"}}) {
        KeyStates keys{};
        keys.fill(0x01);  // every other key toggled
        for (auto [state, on] : {std::pair{BYTE{0}, false}, {BYTE{0x01}, true}, {BYTE{0x80}, false}}) {
            keys[static_cast<size_t>(vk)] = state;
            EXPECT_EQ(ComputeSpecialPanel(style, afternoon, keys).text, text);
            EXPECT_EQ(ComputeSpecialPanel(style, afternoon, keys).on, on) << style << " " << int{state};
        }
    }
    const KeyStates keys{};
    EXPECT_EQ(ComputeSpecialPanel(kStyleTime, afternoon, keys, L"en-US").text, L"2:05 PM");
    EXPECT_EQ(ComputeSpecialPanel(kStyleDateTime, afternoon, keys, L"en-US").text, L"07-Mar-24 2:05 PM");
    EXPECT_NE(MediumDateText(afternoon, L"fr-FR"), L"07-Mar-24");
    // A date the system rejects gives no text; an unknown special style shows none.
    const SYSTEMTIME invalid{2024, 13, 0, 40, 25, 61, 61, 0};
    EXPECT_EQ(ComputeSpecialPanel(kStyleDateTime, invalid, keys, L"en-US").text, L"");
    EXPECT_EQ(ComputeSpecialPanel(5000, afternoon, keys).text, L"");
}

namespace {

// A visible top-level window with a status bar along its bottom.
class StatusBarTest : public ::testing::Test {
protected:
    class Host : public Window {
    public:
        ~Host() override { Destroy(); }
        vbalStatusBar bar;

    protected:
        bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
            if (msg != WM_SIZE) return false;
            bar.AlignToParent();
            result = 0;
            return true;
        }
    };

    void SetUp() override {
        ASSERT_TRUE(host.Create(L"ArdmoorStatusBarTestHost", L"Status bar", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                                40, 40, 700, 240, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW, nullptr,
                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
        ASSERT_TRUE(bar.Create(host.hwnd()));
        ::ShowWindow(host.hwnd(), SW_SHOW);
        ::SetForegroundWindow(host.hwnd());
        PumpPendingMessages();
        status = bar.StatusWindow();
        ASSERT_NE(status, nullptr);
    }
    static PanelOptions Panel(std::wstring text, std::wstring key = {}, long minWidth = 100, long style = 0) {
        PanelOptions o;
        o.text = std::move(text);
        o.key = std::move(key);
        o.minWidth = minWidth;
        o.style = style;
        return o;
    }
    int StatusWidth() const {
        RECT rc{};
        ::GetClientRect(status, &rc);
        return rc.right;
    }
    std::vector<int> Edges() const {
        std::vector<int> edges(256);
        edges.resize(static_cast<size_t>(::SendMessageW(status, SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()))));
        return edges;
    }
    // What the status window shows, part by part.
    std::vector<std::wstring> Shown() const {
        std::vector<std::wstring> texts;
        for (size_t part = 0; part < Edges().size(); ++part) {
            std::wstring text(LOWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, part, 0)) + 1, L'\0');
            text.resize(LOWORD(::SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()))));
            texts.push_back(text);
        }
        return texts;
    }
    HICON PartIcon(int part) const {
        return reinterpret_cast<HICON>(::SendMessageW(status, SB_GETICON, static_cast<WPARAM>(part), 0));
    }
    POINT CentreOf(const PanelRef& panel) const {
        const RECT rect = bar.GetPanelRect(panel);
        POINT pt{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(status, &pt);
        return pt;
    }
    ClientPixels PanelPixels(const PanelRef& panel) const {
        RECT rect = bar.GetPanelRect(panel);
        ::InflateRect(&rect, -2, -2);
        return CapturePixels(status, rect);
    }

    Host host;
    vbalStatusBar& bar = host.bar;
    HWND status = nullptr;
};

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return true;
}

}  // namespace

TEST_F(StatusBarTest, PanelsByIndexOrKeyInsertedBeforeAnotherAndBadReferencesRefused) {
    EXPECT_EQ(bar.AddPanel(Panel(L"One", L"one")), 1);
    EXPECT_EQ(bar.AddPanel(Panel(L"Three", L"three")), 2);
    PanelOptions two = Panel(L"Two", L"two"), zero = Panel(L"Zero", L"zero");
    two.keyBefore = L"three";
    zero.keyBefore = 1;
    EXPECT_EQ(bar.AddPanel(two), 2);
    EXPECT_EQ(bar.AddPanel(zero), 1);
    EXPECT_EQ(bar.PanelIndex(L"two"), 3);
    EXPECT_EQ(bar.PanelKey(2), L"one");
    // The status window has the same parts in the same order, each text after one blank.
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L" Zero", L" One", L" Two", L" Three"}));
    // Keys match whole and exactly, the first of equal keys wins, and a number that is no index
    // is looked for among the keys.
    bar.PanelKey(4, L"one");
    EXPECT_EQ(bar.PanelIndex(L"one"), 2);
    bar.PanelKey(L"two", L"7");
    EXPECT_EQ(bar.PanelIndex(7), 3);
    bar.RemovePanel(L"zero");
    bar.AddPanel(Panel(L"No key"));
    const std::vector<std::wstring> shown{L" One", L" Two", L" Three", L" No key"};
    EXPECT_EQ(Shown(), shown);

    // Bad references raise the control's error and change nothing.
    PanelOptions stray = Panel(L"Stray");
    stray.keyBefore = L"missing";
    constexpr long kInvalidIndex = static_cast<long>(0x8004041Au);
    const std::tuple<std::function<void()>, long, const wchar_t*> bad[] = {
        {[&] { (void)bar.PanelText(0); }, kInvalidIndex, L"Invalid Panel Index: 0"},
        {[&] { (void)bar.PanelText(5); }, kInvalidIndex, L"Invalid Panel Index: 5"},
        {[&] { (void)bar.PanelIndex(L"ONE"); }, kInvalidIndex, L"Invalid Panel Index: ONE"},
        {[&] { bar.PanelText(L"", L"lost"); }, kInvalidIndex, L"Invalid Panel Index: "},  // keyless panels
        {[&] { bar.RemovePanel(-1); }, kInvalidIndex, L"Invalid Panel Index: -1"},
        {[&] { bar.AddPanel(stray); }, kInvalidIndex, L"Invalid Panel Index: missing"},
        {[&] { bar.ImageList(reinterpret_cast<HIMAGELIST>(static_cast<INT_PTR>(0x1234))); },
         static_cast<long>(0x80040419u), L"ImageList property expects ImageList object or long hImageList handle."},
    };
    for (const auto& [action, number, message] : bad) {
        try {
            action();
            ADD_FAILURE() << "no error raised";
        } catch (const ComponentError& e) {
            EXPECT_EQ(e.number(), number);
            EXPECT_EQ(e.message(), message);
        }
    }
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(bar.ImageList(), nullptr);
}

TEST_F(StatusBarTest, OneSpringAtATimeTakingTheFreeWidthOnlyWhenAllFits) {
    int resizes = 0;
    bar.Resize = [&] { ++resizes; };
    PanelOptions first = Panel(L"First", L"a", 120), third = Panel(L"Third", L"c", 90);
    first.spring = third.spring = true;
    bar.AddPanel(first);
    bar.AddPanel(Panel(L"Second", L"b", 80));
    bar.AddPanel(third);
    EXPECT_FALSE(bar.PanelSpring(L"a"));
    bar.PanelSpring(L"b", true);
    EXPECT_FALSE(bar.PanelSpring(L"c"));
    RECT rc{};
    ::GetWindowRect(status, &rc);
    const int grip = SizeGripAllowance(rc.bottom - rc.top, ::GetDpiForWindow(bar.hwnd()));
    const int width = StatusWidth();
    EXPECT_EQ(Edges(), (std::vector<int>{120, width - 90 - grip, width}));
    const RECT second = bar.GetPanelRect(L"b");
    EXPECT_GE(second.left, 120);  // the status window keeps a small gap between parts
    EXPECT_LE(second.left, 124);
    EXPECT_EQ(second.right, width - 90 - grip);
    // No spring: the last panel grows.
    bar.PanelSpring(L"b", false);
    EXPECT_EQ(Edges(), (std::vector<int>{120, 200, width}));
    // Narrower than the panels: nothing stretches.
    resizes = 0;
    ::SetWindowPos(host.hwnd(), nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_LT(StatusWidth(), 290 + grip);
    EXPECT_EQ(Edges(), (std::vector<int>{120, 200, 290 + grip}));
    EXPECT_GT(resizes, 0);
}

TEST_F(StatusBarTest, FitPanelsSizeToTheirTextInTheCurrentFont) {
    PanelOptions fit = Panel(L"Fits", L"fit", 10);
    fit.fitToContents = true;
    bar.AddPanel(fit);
    bar.AddPanel(Panel(L"Rest"));
    const long shortIdeal = bar.PanelIdealWidth(L"fit");
    EXPECT_EQ(Edges().at(0), shortIdeal);
    bar.PanelText(L"fit", L"A much longer text than before");
    const long longIdeal = bar.PanelIdealWidth(L"fit");
    EXPECT_GT(longIdeal, shortIdeal + 50);
    EXPECT_EQ(Edges().at(0), longIdeal);
    bar.PanelMinWidth(L"fit", 500);  // at least the minimum
    EXPECT_EQ(Edges().at(0), 500);
    bar.PanelMinWidth(L"fit", 10);
    // A special panel shows its own text.
    bar.AddPanel(Panel(L"ignored", L"caps", 100, kStyleCapsLock));
    EXPECT_EQ(bar.PanelText(L"caps"), L"CAPS");

    // A bigger font: a taller status window that the control follows, its bottom edge kept, and
    // the texts measured again.
    RECT before{}, after{}, inner{};
    ::GetWindowRect(bar.hwnd(), &before);
    LOGFONTW font = bar.Font();
    font.lfHeight = -32;
    bar.Font(font);
    ::GetWindowRect(bar.hwnd(), &after);
    ::GetWindowRect(status, &inner);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.bottom - after.top, inner.bottom - inner.top);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_GT(bar.PanelIdealWidth(L"fit"), longIdeal * 3 / 2);
}

TEST_F(StatusBarTest, IconsComeFromTheImageListAndAreOwnedByTheControl) {
    UniqueImageList images(::ImageList_Create(24, 24, ILC_COLOR32 | ILC_MASK, 2, 1));
    ::ImageList_AddIcon(images.get(), ::LoadIconW(nullptr, IDI_APPLICATION));
    ::ImageList_AddIcon(images.get(), ::LoadIconW(nullptr, IDI_WARNING));
    bar.ImageList(images.get());
    PanelOptions withIcon = Panel(L"Icon", L"icon");
    withIcon.imageIndex = 1;
    bar.AddPanel(withIcon);
    bar.AddPanel(Panel(L"Rest", L"rest"));
    const HICON first = bar.PanelhIcon(L"icon");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PartIcon(0), first);
    EXPECT_EQ(Edges().at(0), 100 + 24);
    // Another image replaces the copy and destroys the old one; the same handle handed over
    // again stays alive.
    bar.PanelIcon(L"icon", 0);
    const HICON second = bar.PanelhIcon(L"icon");
    EXPECT_FALSE(IconAlive(first));
    EXPECT_EQ(PartIcon(0), second);
    bar.PanelhIcon(L"icon", UniqueIcon(second));
    EXPECT_TRUE(IconAlive(second));
    bar.PanelIcon(L"icon", -1);
    EXPECT_EQ(bar.PanelhIcon(L"icon"), nullptr);
    EXPECT_FALSE(IconAlive(second));
    EXPECT_EQ(Edges().at(0), 100);
    const HICON own = ::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION));
    bar.PanelhIcon(L"rest", UniqueIcon(own));
    EXPECT_EQ(PartIcon(1), own);
    bar.RemovePanel(L"rest");
    EXPECT_FALSE(IconAlive(own));
}

TEST_F(StatusBarTest, EveryPanelOfAFullBarIsDrawnAndOwnerDrawnOnesByTheHost) {
    std::vector<long> drawn;
    RECT drawnRect{};
    bar.DrawItem = [&](HDC dc, long panel, int left, int top, int right, int bottom) {
        if (dc) drawn.push_back(panel);
        drawnRect = {left, top, right, bottom};
        const RECT inner{left + 4, top + 2, right - 4, bottom - 2};
        if (dc) ::FillRect(dc, &inner, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    };
    UniqueImageList images(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    ::ImageList_AddIcon(images.get(), ::LoadIconW(nullptr, IDI_INFORMATION));
    bar.ImageList(images.get());
    PanelOptions name = Panel(L"Ardmoor", L"", 160), owner = Panel(L"", L"owner", 150, SBT_OWNERDRAW);
    name.imageIndex = 0;
    name.spring = true;
    owner.itemData = 77;
    bar.AddPanel(name);
    bar.AddPanel(owner);
    for (const long style : {kStyleCapsLock, kStyleNumLock, kStyleDateTime}) bar.AddPanel(Panel(L"", L"", 0, style));
    EXPECT_EQ(::SendMessageW(status, SB_GETTEXTW, 1, 0), 77);  // item data in place of a text
    drawn.clear();
    bar.RedrawPanel(L"owner");
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, std::vector<long>(drawn.size(), 2));
    const RECT expected = bar.GetPanelRect(L"owner");
    EXPECT_GE(drawnRect.left, expected.left);
    EXPECT_LE(drawnRect.right, expected.right);

    ::RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (long i = 1; i <= bar.PanelCount(); ++i) {
        const ClientPixels px = PanelPixels(i);
        ASSERT_FALSE(px.colors.empty());
        EXPECT_NE(std::count(px.colors.begin(), px.colors.end(), px.colors.front()), static_cast<long>(px.colors.size()))
            << "panel " << i << " is blank";
    }
}

TEST_F(StatusBarTest, CapsLockPanelFollowsTheKeyAndTheTimerStopsWithTheLastSpecialPanel) {
    bar.AddPanel(Panel(L"Ready", L"", 200));
    bar.AddPanel(Panel(L"", L"caps", 0, kStyleCapsLock));
    PumpFor(50);
    // Lit: drawn in the button-text colour.
    const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
    auto lit = [&] {
        const ClientPixels px = PanelPixels(L"caps");
        return px.Count(px.rect, [&](COLORREF c) { return c == ink; }) > 0;
    };
    const bool initially = (::GetKeyState(VK_CAPITAL) & 1) != 0;
    ASSERT_EQ(lit(), initially);
    for (const bool expected : {!initially, initially}) {  // pressed twice, so that the key ends as it was
        PressKey(VK_CAPITAL);
        ASSERT_TRUE(PumpUntil([&] { return ((::GetKeyState(VK_CAPITAL) & 1) != 0) == expected; }, 1000))
            << "the system did not toggle Caps Lock on injected input";
        EXPECT_TRUE(PumpUntil([&] { return lit() == expected; }, 1000));
    }
    // The timer (id 1) runs while a special panel is left and stops with the last one.
    bar.AddPanel(Panel(L"", L"clock", 0, kStyleTime));
    bar.RemovePanel(L"caps");
    EXPECT_TRUE(::KillTimer(bar.hwnd(), 1)) << "the clock still needs the timer";
    ::SetTimer(bar.hwnd(), 1, 250, nullptr);  // as it was
    bar.RemovePanel(L"clock");
    EXPECT_FALSE(::KillTimer(bar.hwnd(), 1)) << "no special panel is left";
}

TEST_F(StatusBarTest, ClicksReportTheButtonThePositionAndThePanel) {
    for (const wchar_t* text : {L"First", L"Second", L"Third"}) bar.AddPanel(Panel(text, L"", 150));
    using Events = std::vector<std::tuple<int, int, int, long>>;  // button, x, y, panel
    Events clicks, doubles;
    bar.Click = [&](int button, int x, int y, long panel) { clicks.emplace_back(button, x, y, panel); };
    bar.DblClick = [&](int button, int x, int y, long panel) { doubles.emplace_back(button, x, y, panel); };
    // Clicks on different panels, far enough apart not to pair into a double click.
    ClickAt(CentreOf(2));
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 1; }, 2000));
    ClickAt(CentreOf(3), true);
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 2; }, 2000));
    ClickAt(CentreOf(1), false, true);
    ASSERT_TRUE(PumpUntil([&] { return !doubles.empty(); }, 2000));
    const RECT second = bar.GetPanelRect(2), third = bar.GetPanelRect(3), first = bar.GetPanelRect(1);
    const auto centre = [](const RECT& r) { return std::pair{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    EXPECT_EQ(Events(clicks.begin(), clicks.begin() + 2), (Events{{1, centre(second).first, centre(second).second, 2},
                                                                  {2, centre(third).first, centre(third).second, 3}}));
    EXPECT_EQ(doubles.front(), (std::tuple{1, centre(first).first, centre(first).second, 1L}));
}

TEST_F(StatusBarTest, DraggingTheGripSizesTheTopLevelWindow) {
    bar.AddPanel(Panel(L"Only"));
    RECT before{}, statusRect{};
    ::GetWindowRect(host.hwnd(), &before);
    ::GetClientRect(status, &statusRect);
    POINT grip{statusRect.right - 3, statusRect.bottom - 3};
    ::ClientToScreen(status, &grip);
    // The size loop captures the mouse only once it runs, so the drag goes on from another
    // thread while this one is inside the loop.
    MouseAt(grip, MOUSEEVENTF_LEFTDOWN);
    std::atomic<bool> released{false};
    std::thread drag([grip, &released] {
        ::Sleep(300);
        for (int step = 1; step <= 4; ++step) {
            MouseAt({grip.x + 15 * step, grip.y + 10 * step});
            ::Sleep(50);
        }
        ::Sleep(200);
        MouseAt({grip.x + 60, grip.y + 40}, MOUSEEVENTF_LEFTUP);
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
    RECT client{}, self{};
    ::GetClientRect(host.hwnd(), &client);
    ::GetWindowRect(bar.hwnd(), &self);
    ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&self), 2);
    EXPECT_EQ(self.right, client.right);
    EXPECT_EQ(self.bottom, client.bottom);
}
