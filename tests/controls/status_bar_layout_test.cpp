// The status bar's plain rules: the width icons and the grip add (sharing the free width is tested
// in the window, status_bar_test.cpp), and the special panels' texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "controls/status_bar/status_bar_layout.h"
#include "controls/status_bar/status_bar_special.h"

using namespace ardmoor;
using Edges = std::vector<int>;

namespace {
constexpr int kHeight = 20;  // a 20-pixel control at 96 DPI keeps 15 pixels for the grip
constexpr int kGrip = 15;

PanelLayoutInput Fixed(long width, bool spring = false, bool icon = false) { return {width, 0, false, spring, icon}; }
}  // namespace

TEST(StatusBarLayout, IconsAndTheSizeGripAddTheirWidth) {
    const std::vector panels{Fixed(100, false, true), Fixed(100), Fixed(50, false, true)};
    EXPECT_EQ(LayoutPanels(panels, 0, kHeight, 96, 24), (Edges{124, 224, 224 + 74 + kGrip}));
    EXPECT_EQ(LayoutPanels(panels, 0, 40, 96, 0), (Edges{100, 200, 250 + 30}));

    // Three quarters of the height, worked out in twips at the window's DPI and rounded down.
    EXPECT_EQ(SizeGripAllowance(22, 96), 16);
    EXPECT_EQ(SizeGripAllowance(33, 144), 24);
    EXPECT_EQ(SizeGripAllowance(-5, 96), 0);
}

TEST(StatusBarSpecialPanels, KeyPanelsAreOnOnlyWhileTheirKeyIsToggled) {
    const SYSTEMTIME now{2024, 3, 4, 7, 14, 5, 9, 0};
    struct Case {
        long style;
        int vk;
        const wchar_t* text;
    };
    for (const Case& c : {Case{kStyleCapsLock, VK_CAPITAL, L"CAPS"}, Case{kStyleNumLock, VK_NUMLOCK, L"NUM"},
                          Case{kStyleInsert, VK_INSERT, L"OVR"}, Case{kStyleScrollLock, VK_SCROLL, L"SCRL"}}) {
        KeyStates keys{};
        keys.fill(0x01);  // every other key toggled
        keys[static_cast<size_t>(c.vk)] = 0;
        EXPECT_EQ(ComputeSpecialPanel(c.style, now, keys).text, c.text);
        EXPECT_FALSE(ComputeSpecialPanel(c.style, now, keys).on) << c.style;
        keys[static_cast<size_t>(c.vk)] = 0x01;
        EXPECT_TRUE(ComputeSpecialPanel(c.style, now, keys).on) << c.style;
        // Held down while being switched off: off already.
        keys[static_cast<size_t>(c.vk)] = 0x80;
        EXPECT_FALSE(ComputeSpecialPanel(c.style, now, keys).on) << c.style;
    }
}

TEST(StatusBarSpecialPanels, DateAndTimeTextsFollowTheLocale) {
    const SYSTEMTIME afternoon{2024, 3, 4, 7, 14, 5, 9, 0};
    const KeyStates keys{};
    EXPECT_EQ(ComputeSpecialPanel(kStyleTime, afternoon, keys, L"en-US").text, L"2:05 PM");
    EXPECT_EQ(ComputeSpecialPanel(kStyleDate, afternoon, keys, L"en-US").text, L"07-Mar-24");
    EXPECT_EQ(ComputeSpecialPanel(kStyleDateTime, afternoon, keys, L"en-US").text, L"07-Mar-24 2:05 PM");

    const SYSTEMTIME morning{1999, 12, 5, 31, 9, 59, 59, 999};
    EXPECT_EQ(ShortTimeText(morning, L"en-GB"), L"09:59");
    EXPECT_EQ(MediumDateText(morning, L"fr-FR").substr(0, 3), L"31-");
    EXPECT_NE(MediumDateText(morning, L"fr-FR"), L"31-Dec-99");

    // A date the system rejects gives no text; an unknown special style shows none.
    const SYSTEMTIME invalid{2024, 13, 0, 40, 25, 61, 61, 0};
    EXPECT_EQ(ComputeSpecialPanel(kStyleDateTime, invalid, keys, L"en-US").text, L"");
    EXPECT_EQ(ComputeSpecialPanel(5000, afternoon, keys).text, L"");
    EXPECT_FALSE(ComputeSpecialPanel(kStyleDateTime, afternoon, keys).text.empty());  // the user's formats
}
