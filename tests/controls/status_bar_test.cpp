// The status bar in a real window: panels, errors, what the status window shows, icons, the
// timer, owner drawing and the font.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "controls/status_bar/status_bar_layout.h"
#include "platform/strings.h"
#include "status_bar_test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;
using Edges = std::vector<int>;

namespace {

constexpr long kInvalidIndex = static_cast<long>(0x8004041Au);

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open(640, 240));
        status = bar.StatusWindow();
        ASSERT_NE(status, nullptr);
    }
    int StatusWidth() const {
        RECT rc{};
        ::GetClientRect(status, &rc);
        return rc.right;
    }
    int Grip() const {
        RECT rc{};
        ::GetWindowRect(status, &rc);
        return SizeGripAllowance(rc.bottom - rc.top, ::GetDpiForWindow(bar.hwnd()));
    }
    bool TimerTicksAfterAWhile() const {
        PumpFor(50);  // what is already due goes
        ::Sleep(400);
        MSG msg;
        return ::PeekMessageW(&msg, bar.hwnd(), WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE;
    }
    HICON PartIcon(int part) const {
        return reinterpret_cast<HICON>(::SendMessageW(status, SB_GETICON, static_cast<WPARAM>(part), 0));
    }

    StatusBarHost host;
    vbalStatusBar& bar = host.bar;
    HWND status = nullptr;
};

PanelOptions Panel(std::wstring text, std::wstring key = {}, long minWidth = 100) {
    PanelOptions o;
    o.text = std::move(text);
    o.key = std::move(key);
    o.minWidth = minWidth;
    return o;
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return true;
}

}  // namespace

TEST_F(StatusBarTest, PanelsAreFoundByIndexOrKeyAndInsertedBeforeAnother) {
    EXPECT_EQ(bar.AddPanel(Panel(L"One", L"one")), 1);
    EXPECT_EQ(bar.AddPanel(Panel(L"Three", L"three")), 2);
    PanelOptions two = Panel(L"Two", L"two");
    two.keyBefore = L"three";
    EXPECT_EQ(bar.AddPanel(two), 2);
    PanelOptions zero = Panel(L"Zero", L"zero");
    zero.keyBefore = 1;
    EXPECT_EQ(bar.AddPanel(zero), 1);

    ASSERT_EQ(bar.PanelCount(), 4);
    EXPECT_EQ(bar.PanelIndex(L"two"), 3);
    EXPECT_EQ(bar.PanelText(std::wstring(L"three")), L"Three");
    EXPECT_EQ(bar.PanelKey(2), L"one");
    // The status window has the same parts in the same order, each text after one blank.
    EXPECT_EQ(StatusPartEdges(status).size(), 4u);
    const wchar_t* shown[] = {L" Zero", L" One", L" Two", L" Three"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(StatusPartText(status, i), shown[i]);

    // Keys match whole and exactly, the first of equal keys wins, and a number that is no index
    // is looked for among the keys.
    bar.PanelKey(4, L"one");
    EXPECT_EQ(bar.PanelIndex(L"one"), 2);
    EXPECT_THROW(static_cast<void>(bar.PanelIndex(L"ONE")), ComponentError);
    bar.PanelKey(L"two", L"7");
    EXPECT_EQ(bar.PanelIndex(7), 3);

    bar.RemovePanel(L"zero");
    EXPECT_EQ(bar.PanelText(1), L"One");
    EXPECT_EQ(StatusPartEdges(status).size(), 3u);
    EXPECT_EQ(StatusPartText(status, 0), L" One");
    EXPECT_EQ(StatusPartText(status, 2), L" Three");
}

TEST_F(StatusBarTest, BadReferencesRaiseTheirErrorAndChangeNothing) {
    bar.AddPanel(Panel(L"Ready", L"ready"));
    bar.AddPanel(Panel(L"12 items"));
    ExpectStatusBarError([&] { static_cast<void>(bar.PanelText(0)); }, kInvalidIndex, L"Invalid Panel Index: 0");
    ExpectStatusBarError([&] { static_cast<void>(bar.PanelText(3)); }, kInvalidIndex, L"Invalid Panel Index: 3");
    ExpectStatusBarError([&] { static_cast<void>(bar.PanelText(L"nosuch")); }, kInvalidIndex,
                         L"Invalid Panel Index: nosuch");
    // Panels without a key are not found by an empty one.
    ExpectStatusBarError([&] { static_cast<void>(bar.PanelText(L"")); }, kInvalidIndex, L"Invalid Panel Index: ");
    ExpectStatusBarError([&] { bar.PanelText(L"nosuch", L"lost"); }, kInvalidIndex, L"Invalid Panel Index: nosuch");
    ExpectStatusBarError([&] { bar.RemovePanel(-1); }, kInvalidIndex, L"Invalid Panel Index: -1");
    PanelOptions stray = Panel(L"Stray");
    stray.keyBefore = L"missing";
    ExpectStatusBarError([&] { bar.AddPanel(stray); }, kInvalidIndex, L"Invalid Panel Index: missing");

    EXPECT_EQ(bar.PanelCount(), 2);
    EXPECT_EQ(StatusPartEdges(status).size(), 2u);
    EXPECT_EQ(StatusPartText(status, 0), L" Ready");
    EXPECT_EQ(StatusPartText(status, 1), L" 12 items");

    UniqueImageList images(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    bar.ImageList(images.get());
    ExpectStatusBarError([&] { bar.ImageList(reinterpret_cast<HIMAGELIST>(static_cast<INT_PTR>(0x1234))); },
                         static_cast<long>(0x80040419u),
                         L"ImageList property expects ImageList object or long hImageList handle.");
    EXPECT_EQ(bar.ImageList(), images.get());
}

TEST_F(StatusBarTest, OneSpringAtATimeTakingTheFreeWidthOnlyWhenAllFits) {
    int resizes = 0;
    bar.Resize = [&] { ++resizes; };
    PanelOptions first = Panel(L"First", L"a", 120);
    first.spring = true;
    bar.AddPanel(first);
    bar.AddPanel(Panel(L"Second", L"b", 80));
    PanelOptions third = Panel(L"Third", L"c", 90);
    third.spring = true;
    bar.AddPanel(third);
    EXPECT_FALSE(bar.PanelSpring(L"a"));
    EXPECT_TRUE(bar.PanelSpring(L"c"));
    bar.PanelSpring(L"b", true);
    EXPECT_FALSE(bar.PanelSpring(L"c"));

    const int width = StatusWidth();
    EXPECT_EQ(StatusPartEdges(status), (Edges{120, width - 90 - Grip(), width}));
    const RECT second = bar.GetPanelRect(L"b");
    EXPECT_GE(second.left, 120);  // the status window keeps a small gap between parts
    EXPECT_LE(second.left, 124);
    EXPECT_EQ(second.right, width - 90 - Grip());

    // No spring: the last panel grows.
    bar.PanelSpring(L"b", false);
    EXPECT_EQ(StatusPartEdges(status), (Edges{120, 200, width}));

    // Narrower than the panels: nothing stretches.
    resizes = 0;
    ::SetWindowPos(host.hwnd(), nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_LT(StatusWidth(), 290 + Grip());
    EXPECT_EQ(StatusPartEdges(status), (Edges{120, 200, 290 + Grip()}));
    EXPECT_GT(resizes, 0);
}

TEST_F(StatusBarTest, FitPanelsSizeToTheirTextInTheCurrentFont) {
    PanelOptions fit = Panel(L"Fits", L"fit", 10);
    fit.fitToContents = true;
    bar.AddPanel(fit);
    bar.AddPanel(Panel(L"Rest"));
    const long shortIdeal = bar.PanelIdealWidth(L"fit");
    EXPECT_GT(shortIdeal, 12 + 10);
    EXPECT_EQ(StatusPartEdges(status).at(0), shortIdeal);

    bar.PanelText(L"fit", L"A much longer text than before");
    const long longIdeal = bar.PanelIdealWidth(L"fit");
    EXPECT_GT(longIdeal, shortIdeal + 50);
    EXPECT_EQ(StatusPartEdges(status).at(0), longIdeal);

    bar.PanelMinWidth(L"fit", 500);  // at least the minimum
    EXPECT_EQ(StatusPartEdges(status).at(0), 500);
    bar.PanelMinWidth(L"fit", 10);

    // A bigger font: a taller status window that the control follows, its bottom edge kept,
    // and the texts measured again.
    RECT before{};
    ::GetWindowRect(bar.hwnd(), &before);
    LOGFONTW font = bar.Font();
    font.lfHeight = -32;
    bar.Font(font);
    LOGFONTW used{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(status, WM_GETFONT, 0, 0)), sizeof(used), &used);
    EXPECT_EQ(used.lfHeight, -32);
    RECT after{};
    ::GetWindowRect(bar.hwnd(), &after);
    RECT inner{};
    ::GetWindowRect(status, &inner);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.bottom - after.top, inner.bottom - inner.top);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_GT(bar.PanelIdealWidth(L"fit"), longIdeal * 3 / 2);
}

TEST_F(StatusBarTest, SpecialPanelsSizeToTheirTextAndRunTheTimer) {
    bar.AddPanel(Panel(L"Plain"));
    EXPECT_FALSE(TimerTicksAfterAWhile());

    PanelOptions caps;
    caps.style = kStyleCapsLock;
    caps.text = L"ignored";
    caps.key = L"caps";
    bar.AddPanel(caps);
    EXPECT_EQ(bar.PanelText(L"caps"), L"CAPS");
    EXPECT_TRUE(bar.PanelFitToContents(L"caps"));
    EXPECT_EQ(bar.PanelIdealWidth(L"caps"), bar.PanelMinWidth(L"caps") + 4);  // text + 12 against text + 8
    EXPECT_TRUE(TimerTicksAfterAWhile());

    PanelOptions clock;
    clock.style = kStyleDateTime;
    clock.key = L"clock";
    const SYSTEMTIME before = CurrentLocalTime();
    bar.AddPanel(clock);
    const SYSTEMTIME after = CurrentLocalTime();
    const std::wstring text = bar.PanelText(L"clock");
    EXPECT_TRUE(text == MediumDateText(before) + L" " + ShortTimeText(before) ||
                text == MediumDateText(after) + L" " + ShortTimeText(after))
        << WideToUtf8(text);

    bar.RemovePanel(L"caps");
    EXPECT_TRUE(TimerTicksAfterAWhile());  // the clock still needs it
    bar.RemovePanel(L"clock");
    EXPECT_FALSE(TimerTicksAfterAWhile());

    bar.PanelStyle(1, kStyleNumLock);
    EXPECT_EQ(bar.PanelText(1), L"NUM");
    EXPECT_TRUE(TimerTicksAfterAWhile());
    bar.PanelStyle(1, 0);
    EXPECT_FALSE(TimerTicksAfterAWhile());
}

TEST_F(StatusBarTest, IconsComeFromTheImageListAndAreOwnedByTheControl) {
    UniqueImageList images(::ImageList_Create(24, 24, ILC_COLOR32 | ILC_MASK, 2, 1));
    ::ImageList_AddIcon(images.get(), ::LoadIconW(nullptr, IDI_APPLICATION));
    ::ImageList_AddIcon(images.get(), ::LoadIconW(nullptr, IDI_WARNING));
    bar.ImageList(images.get());
    PanelOptions withIcon = Panel(L"Icon", L"icon", 100);
    withIcon.imageIndex = 1;
    bar.AddPanel(withIcon);
    bar.AddPanel(Panel(L"Rest", L"rest", 100));

    const HICON first = bar.PanelhIcon(L"icon");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PartIcon(0), first);
    EXPECT_EQ(StatusPartEdges(status).at(0), 100 + 24);

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
    EXPECT_EQ(StatusPartEdges(status).at(0), 100);

    const HICON own = ::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION));
    bar.PanelhIcon(L"rest", UniqueIcon(own));
    EXPECT_EQ(PartIcon(1), own);
    bar.RemovePanel(L"rest");
    EXPECT_FALSE(IconAlive(own));
}

TEST_F(StatusBarTest, OwnerDrawnPanelsAreDrawnByTheHost) {
    std::vector<long> drawn;
    RECT drawnRect{};
    bar.DrawItem = [&](HDC dc, long panel, int left, int top, int right, int bottom) {
        if (dc) drawn.push_back(panel);
        drawnRect = {left, top, right, bottom};
    };
    bar.AddPanel(Panel(L"Text"));
    PanelOptions owner = Panel(L"", L"owner", 150);
    owner.style = SBT_OWNERDRAW;
    owner.itemData = 77;
    bar.AddPanel(owner);
    bar.AddPanel(Panel(L"More"));
    EXPECT_EQ(::SendMessageW(status, SB_GETTEXTW, 1, 0), 77);  // item data in place of a text

    drawn.clear();
    bar.RedrawPanel(L"owner");
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, std::vector<long>(drawn.size(), 2));
    const RECT expected = bar.GetPanelRect(L"owner");
    EXPECT_GE(drawnRect.left, expected.left);
    EXPECT_LE(drawnRect.right, expected.right);
}
