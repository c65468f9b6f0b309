// The task pane as a real window under real mouse and keyboard input.
#include <gtest/gtest.h>

#include "controls/task_pane/task_pane.h"
#include "task_pane_test_host.h"

#include <commctrl.h>

#include <stdexcept>

using namespace ardmoor;
using namespace ardmoor::taskpane_test;

namespace {
using Keys = std::vector<std::wstring>;

TaskPaneItem& ItemOf(TaskPane& pane, const wchar_t* key) {
    TaskPaneItem* item = pane.Model().FindItem(key);
    if (!item) throw std::runtime_error("no such item");
    return *item;
}

RECT RectOf(TaskPane& pane, const wchar_t* key) {
    RECT r{};
    EXPECT_TRUE(pane.ItemRect(ItemOf(pane, key), r)) << key;
    return r;
}

POINT CenterOf(TaskPane& pane, const wchar_t* key) { return FirstLineCenter(pane, ItemOf(pane, key)); }

std::wstring FocusedKey(TaskPane& pane) { return pane.FocusedItem() ? pane.FocusedItem()->Key() : L"(none)"; }

bool HandCursor() { return ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND); }

std::wstring ToolTipText(TaskPane& pane) {
    wchar_t buf[512] = {};
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = pane.hwnd();
    ti.uId = 1;
    ti.lpszText = buf;
    ::SendMessageW(pane.ToolTipWindow(), TTM_GETTEXTW, std::size(buf), reinterpret_cast<LPARAM>(&ti));
    if (buf[0]) return buf;
    ::GetWindowTextW(pane.ToolTipWindow(), buf, static_cast<int>(std::size(buf)));
    return buf;
}
}  // namespace

TEST(TaskPane, MouseClicksFireForLinksOnly) {
    ParkMouse();
    HostWindow host(640, 620, 210);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    PumpFor(50);
    EXPECT_EQ(pane.Width(), 210);
    ASSERT_TRUE(BringToFront(host.hwnd()));
    ::SetFocus(host.button());

    ClickAt(CenterOf(pane, L"REFRESH"));
    EXPECT_EQ(host.clicks, Keys{L"REFRESH"});
    // A click does not take the keyboard focus from the host's other controls.
    EXPECT_EQ(::GetFocus(), host.button());

    // A header, the body beside a short link, plain text, the heading, the pane below the bars.
    RECT header{};
    ASSERT_TRUE(pane.HeaderRect(*pane.FindBar(L"Tasks"), header));
    ClickAt(ScreenCenter(pane.hwnd(), header));
    const RECT exitRect = RectOf(pane, L"EXIT");
    POINT beside{exitRect.right + 25, (exitRect.top + exitRect.bottom) / 2};
    ::ClientToScreen(pane.hwnd(), &beside);
    ClickAt(beside);
    ClickAt(CenterOf(pane, L"PUBLISHER"));
    ClickAt(CenterOf(pane, L"ITEMNAME"));
    RECT client{};
    ::GetClientRect(pane.hwnd(), &client);
    POINT below{40, client.bottom - 4};
    ::ClientToScreen(pane.hwnd(), &below);
    ASSERT_GT(client.bottom - 4, pane.Layout().height) << "the pane should have room below its bars";
    ClickAt(below);
    EXPECT_EQ(host.clicks, Keys{L"REFRESH"});

    // Pressed on one link and released on another: no click, as with any link.
    PressAt(CenterOf(pane, L"REMOVE"));
    ReleaseAt(CenterOf(pane, L"PRINT"));
    EXPECT_EQ(host.clicks, Keys{L"REFRESH"});

    // A double-click runs the command once.
    const POINT about = CenterOf(pane, L"ABOUT");
    ClickAt(about);
    ClickAt(about);
    EXPECT_EQ(host.clicks, (Keys{L"REFRESH", L"ABOUT"}));
    ParkMouse();
}

TEST(TaskPane, HoverShowsHandUnderlineTargetAndToolTip) {
    ParkMouse();
    HostWindow host(640, 620, 210);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    ASSERT_TRUE(BringToFront(host.hwnd()));
    TaskPaneItem& support = ItemOf(pane, L"SUPPORT");

    MoveMouse(CenterOf(pane, L"SUPPORT"));
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == &support; }));
    EXPECT_TRUE(HandCursor());
    ASSERT_NE(pane.ToolTipWindow(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pane.ToolTipWindow()) != FALSE; }, 5000))
        << "the tool-tip should show while the pointer rests on the item";
    EXPECT_EQ(ToolTipText(pane), L"https://quillfen.example/support");

    // Plain text: no hot item, the arrow, and the tip goes.
    MoveMouse(CenterOf(pane, L"PHONE"));
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == nullptr; }));
    EXPECT_FALSE(HandCursor());
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(pane.ToolTipWindow()); }));

    // A link without tip text is hot but shows no tip.
    MoveMouse(CenterOf(pane, L"INSTALL"));
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == &ItemOf(pane, L"INSTALL"); }));
    EXPECT_TRUE(HandCursor());
    PumpFor(1500);
    EXPECT_FALSE(::IsWindowVisible(pane.ToolTipWindow()));

    // A header is not a link.
    RECT header{};
    ASSERT_TRUE(pane.HeaderRect(*pane.FindBar(L"General"), header));
    MoveMouse(ScreenCenter(pane.hwnd(), header));
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == nullptr; }));
    EXPECT_FALSE(HandCursor());

    // Leaving the pane clears the hot item.
    MoveMouse(CenterOf(pane, L"ABOUT"));
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == &ItemOf(pane, L"ABOUT"); }));
    POINT outside{0, 0};
    RECT buttonRect{};
    ::GetClientRect(host.button(), &buttonRect);
    outside = ScreenCenter(host.button(), buttonRect);
    MoveMouse(outside);
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == nullptr; }));

    // A tip text changed while hovering is the one shown next.
    support.SetToolTipText(L"Second tip");
    MoveMouse(CenterOf(pane, L"SUPPORT"));
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pane.ToolTipWindow()) != FALSE; }, 5000));
    EXPECT_EQ(ToolTipText(pane), L"Second tip");
    ParkMouse();
}

TEST(TaskPane, KeyboardTabsInMovesBetweenLinksAndClicks) {
    ParkMouse();
    HostWindow host(640, 620, 210);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    ASSERT_TRUE(BringToFront(host.hwnd()));
    ::SetFocus(host.button());
    PumpFor(30);
    EXPECT_EQ(pane.FocusedItem(), nullptr);

    PressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == pane.hwnd(); })) << "Tab should move into the pane";
    EXPECT_EQ(FocusedKey(pane), L"UNINSTALL");

    // Down goes through the links only: the heading and the Publisher and Phone texts are skipped.
    Keys down;
    for (int i = 0; i < 11; ++i) {
        PressKey(VK_DOWN);
        down.push_back(FocusedKey(pane));
    }
    EXPECT_EQ(down, (Keys{L"INSTALL", L"REMOVE", L"REFRESH", L"PRINT", L"EXPORT", L"SUPPORT", L"PROPERTIES", L"HELP",
                          L"ABOUT", L"EXIT", L"EXIT"}));
    Keys up;
    for (int i = 0; i < 5; ++i) {
        PressKey(VK_UP);
        up.push_back(FocusedKey(pane));
    }
    EXPECT_EQ(up, (Keys{L"ABOUT", L"HELP", L"PROPERTIES", L"SUPPORT", L"EXPORT"}));
    PressKey(VK_HOME);
    EXPECT_EQ(FocusedKey(pane), L"UNINSTALL");
    PressKey(VK_END);
    EXPECT_EQ(FocusedKey(pane), L"EXIT");
    EXPECT_TRUE(host.clicks.empty());

    // Enter and Space click the focused link, and the focus stays.
    PressKey(VK_RETURN);
    EXPECT_EQ(host.clicks, Keys{L"EXIT"});
    PressKey(VK_UP);
    PressKey(VK_SPACE);
    EXPECT_EQ(host.clicks, (Keys{L"EXIT", L"ABOUT"}));
    EXPECT_EQ(::GetFocus(), pane.hwnd());

    // Tab leaves for the button; coming back finds the same link focused.
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == host.button(); }));
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == pane.hwnd(); }));
    EXPECT_EQ(FocusedKey(pane), L"ABOUT");

    // Removing the focused link leaves no focus behind; Down starts again at the first link.
    EXPECT_TRUE(pane.FindBar(L"General")->RemoveItem(L"ABOUT").ok());
    EXPECT_EQ(pane.FocusedItem(), nullptr);
    PressKey(VK_RETURN);
    EXPECT_EQ(host.clicks.size(), 2u);
    PressKey(VK_DOWN);
    EXPECT_EQ(FocusedKey(pane), L"UNINSTALL");
}

TEST(TaskPane, ScrollsWhenTheBarsDoNotFit) {
    ParkMouse();
    HostWindow host(640, 620, 210, 260);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    PumpFor(50);
    RECT client{};
    ::GetClientRect(pane.hwnd(), &client);
    SCROLLINFO si{sizeof(si), SIF_ALL};
    ASSERT_TRUE(::GetScrollInfo(pane.hwnd(), SB_VERT, &si));
    EXPECT_TRUE(::GetWindowLongPtrW(pane.hwnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(static_cast<int>(si.nPage), client.bottom);
    EXPECT_EQ(si.nMax + 1, pane.Layout().height);
    EXPECT_GT(pane.Layout().height, client.bottom);
    // The bars make room for the scroll bar.
    EXPECT_EQ(pane.Layout().width, client.right);
    EXPECT_LT(client.right, 210);

    const RECT uninstallTop = RectOf(pane, L"UNINSTALL");
    Wheel(ScreenCenter(pane.hwnd(), client), -WHEEL_DELTA);
    EXPECT_GT(pane.ScrollPos(), 0);
    EXPECT_EQ(RectOf(pane, L"UNINSTALL").top, uninstallTop.top - pane.ScrollPos());
    Wheel(ScreenCenter(pane.hwnd(), client), WHEEL_DELTA * 10);
    EXPECT_EQ(pane.ScrollPos(), 0);

    // The scroll bar's own down arrow.
    RECT window{};
    ::GetWindowRect(pane.hwnd(), &window);
    const int arrow = ::GetSystemMetrics(SM_CYVSCROLL);
    ClickAt(POINT{window.right - arrow / 2 - 1, window.bottom - arrow / 2 - 1});
    EXPECT_TRUE(PumpUntil([&] { return pane.ScrollPos() > 0; })) << "the scroll bar's arrow should scroll";

    // The keyboard brings the focused link into view, and a click after scrolling hits it.
    ASSERT_TRUE(BringToFront(host.hwnd()));
    ::SetFocus(pane.hwnd());
    PressKey(VK_END);
    EXPECT_EQ(FocusedKey(pane), L"EXIT");
    RECT exitRect = RectOf(pane, L"EXIT");
    EXPECT_GE(exitRect.top, 0);
    EXPECT_LE(exitRect.bottom, client.bottom);
    EXPECT_EQ(pane.ScrollPos(), pane.Layout().height - client.bottom);
    ClickAt(CenterOf(pane, L"EXIT"));
    EXPECT_EQ(host.clicks, Keys{L"EXIT"});
    PressKey(VK_HOME);
    EXPECT_EQ(pane.ScrollPos(), 0);

    // Room for everything: no scroll bar, back at the top.
    pane.ScrollTo(40);
    ::MoveWindow(pane.hwnd(), 0, 0, 210, 620, TRUE);
    PumpFor(50);
    (void)pane.Layout();
    EXPECT_FALSE(::GetWindowLongPtrW(pane.hwnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(pane.ScrollPos(), 0);
    EXPECT_EQ(pane.Layout().width, 210);
    ParkMouse();
}

TEST(TaskPane, RedrawOffHoldsBackRepaintingUntilTurnedOn) {
    ParkMouse();
    HostWindow host(640, 620, 210);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane);
    PumpFor(50);
    ::UpdateWindow(pane.hwnd());
    ASSERT_FALSE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
    const int heightBefore = RectOf(pane, L"UNINSTALL").bottom - RectOf(pane, L"UNINSTALL").top;

    pane.SetRedraw(false);
    EXPECT_FALSE(pane.Redraw());
    ItemOf(pane, L"UNINSTALL").SetText(L"Ardmoor\r\ncan be uninstalled by double-clicking the item or clicking here...");
    ItemOf(pane, L"ITEMNAME").SetText(L"Ardmoor");
    EXPECT_TRUE(pane.FindBar(L"Tasks")->RemoveItem(L"REFRESH").ok());
    (void)pane.FindBar(L"Tasks")->AddItem(L"NEW", L"Added while redraw was off");
    pane.FindBar(L"General")->SetSpecial(true);
    PumpFor(100);
    EXPECT_FALSE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE)) << "nothing may be repainted while redraw is off";

    pane.SetRedraw(true);
    EXPECT_TRUE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
    PumpFor(50);
    EXPECT_FALSE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
    EXPECT_GE(RectOf(pane, L"UNINSTALL").bottom - RectOf(pane, L"UNINSTALL").top, heightBefore * 3);
    EXPECT_EQ(pane.Model().FindItem(L"REFRESH"), nullptr);
    RECT added{};
    EXPECT_TRUE(pane.ItemRect(ItemOf(pane, L"NEW"), added));

    // With redraw on, a change repaints by itself.
    ItemOf(pane, L"HELP").SetText(L"Help and support...");
    EXPECT_TRUE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
}

TEST(TaskPane, SurvivesHostsThatChangeOrDestroyThingsFromTheClick) {
    ParkMouse();
    HostWindow host(640, 620, 210);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    ASSERT_TRUE(BringToFront(host.hwnd()));

    // The clicked item is removed, other texts change and a whole bar empties, from inside the click.
    host.onClick = [&](TaskPaneItem& item) {
        if (item.Key() == L"REMOVE") {
            TaskPaneBar& bar = item.Bar();
            (void)bar.RemoveItem(L"REMOVE");
            pane.FindBar(L"Properties")->FindItem(L"ITEMNAME")->SetText(L"");
            pane.FindBar(L"Advanced")->ClearItems();
        }
    };
    const POINT removeAt = CenterOf(pane, L"REMOVE");
    ClickAt(removeAt);
    EXPECT_EQ(host.clicks, Keys{L"REMOVE"});
    EXPECT_EQ(pane.Model().FindItem(L"REMOVE"), nullptr);
    MoveMouse(POINT{removeAt.x, removeAt.y + 1});
    PumpFor(50);
    ClickAt(CenterOf(pane, L"PRINT"));
    EXPECT_EQ(host.clicks, (Keys{L"REMOVE", L"PRINT"}));

    // Keyboard: the focused link removes itself.
    host.onClick = [&](TaskPaneItem& item) { (void)item.Bar().RemoveItem(item.Key()); };
    ::SetFocus(pane.hwnd());
    pane.SetFocusedItem(&ItemOf(pane, L"HELP"));
    PressKey(VK_RETURN);
    EXPECT_EQ(host.clicks.back(), L"HELP");
    EXPECT_EQ(pane.FocusedItem(), nullptr);
    PressKey(VK_RETURN);
    EXPECT_EQ(host.clicks.size(), 3u);

    // The host destroys the whole pane from inside its click, as "Exit" does to the main window.
    host.onClick = [&](TaskPaneItem&) { host.DestroyPane(); };
    ClickAt(CenterOf(pane, L"EXIT"));
    EXPECT_FALSE(host.HasPane());
    EXPECT_EQ(host.clicks.back(), L"EXIT");
    PumpFor(100);
    ParkMouse();
}

