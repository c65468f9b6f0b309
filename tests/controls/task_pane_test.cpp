// The task pane as a real window: real mouse and keyboard input, what a screen reader gets, the
// pixels on the screen, and hosts that change or destroy things from inside a click.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "app/main_task_pane.h"
#include "controls/task_pane/task_pane.h"
#include "platform/message_pump.h"
#include "remote_ui.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {
using Keys = std::vector<std::wstring>;

// A top-level window with a "Before" button and the pane down its left side, filled as the main
// window fills it once an entry's details are shown; in front, the pointer parked off it.
class Host final : public Window {
public:
    explicit Host(int paneHeight = 620) : pane(std::make_unique<TaskPane>()) {
        Create(L"ArdmoorTaskPaneTestHost", L"Task pane test", WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN,
               WS_EX_CONTROLPARENT, 40, 40, 680, 700, nullptr, nullptr, 0, nullptr,
               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        button = ::CreateWindowExW(0, L"BUTTON", L"Before", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 520, 10, 100, 28,
                                   hwnd(), nullptr, nullptr, nullptr);
        pane->Create(hwnd(), RECT{0, 0, 210, paneHeight}, 101);
        pane->SetOnItemClick([this](TaskPaneItem& item) {
            clicks.push_back(item.Key());
            if (onClick) onClick(item);
        });
        BuildMainTaskPane(*pane);
        pane->SetRedraw(false);
        Item(L"UNINSTALL").SetText(L"Ardmoor\r\ncan be uninstalled by double-clicking the item or clicking here...");
        Item(L"ITEMNAME").SetText(L"Ardmoor");
        Item(L"PUBLISHER").SetText(L"Publsher: Quillfen Software");
        Item(L"SUPPORT").SetToolTipText(L"https://quillfen.example/support");
        pane->SetRedraw(true);
        ::ShowWindow(hwnd(), SW_SHOWNORMAL);
        Hover(POINT{::GetSystemMetrics(SM_CXSCREEN) - 5, ::GetSystemMetrics(SM_CYSCREEN) - 5});
        EXPECT_TRUE(PumpUntil([&] {
            ::SetForegroundWindow(hwnd());
            return ::GetForegroundWindow() == hwnd();
        }));
        ::SetFocus(button);
        PumpFor(50);
    }
    ~Host() override {
        pane.reset();
        Destroy();
        PumpPendingMessages();
    }
    TaskPaneItem& Item(const wchar_t* key) { return *pane->Model().FindItem(key); }
    RECT Rect(const wchar_t* key) {
        RECT r{};
        EXPECT_TRUE(pane->ItemRect(Item(key), r)) << key;
        return r;
    }
    // The middle of an item's first line (a wrapped item's middle may fall beside a short last line).
    POINT At(const wchar_t* key) {
        RECT line = pane->Layout().Find(&Item(key))->lines.front().rect;
        return Screen({(line.left + line.right) / 2, (line.top + line.bottom) / 2 - pane->ScrollPos()});
    }
    POINT Screen(POINT client) {
        ::ClientToScreen(pane->hwnd(), &client);
        return client;
    }

    static void Hover(POINT screen) {
        MouseAt(screen);
        PumpUntil([&] {
            POINT now{};
            return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
        }, 1000);
        SettleInput();
    }
    // Whether the tip shows over a link under the pointer. Wine now and then delivers a late move
    // from where the pointer was before (no real pointer does): the pointer then moves back.
    bool TipShows(const wchar_t* key) {
        return PumpUntil([&] {
            if (pane->HotItem() != &Item(key)) MouseAt(At(key));
            return ::IsWindowVisible(pane->ToolTipWindow()) != FALSE;
        }, 5000);
    }
    static void Click(POINT screen) {
        ClickAt(screen);
        SettleInput();
    }
    static void Key(WORD vk) {
        PressKey(vk);
        SettleInput();
    }

    std::unique_ptr<TaskPane> pane;
    HWND button = nullptr;
    Keys clicks;
    std::function<void(TaskPaneItem&)> onClick;  // runs after the click is recorded

protected:
    bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

std::wstring FocusedKey(TaskPane& pane) { return pane.FocusedItem() ? pane.FocusedItem()->Key() : L"(none)"; }
bool HandCursor() { return ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND); }

std::wstring ToolTipText(TaskPane& pane) {
    wchar_t buf[512] = {};
    TOOLINFOW ti{TTTOOLINFOW_V2_SIZE, 0, pane.hwnd(), 1};
    ti.lpszText = buf;
    ::SendMessageW(pane.ToolTipWindow(), TTM_GETTEXTW, std::size(buf), reinterpret_cast<LPARAM>(&ti));
    if (!buf[0]) ::GetWindowTextW(pane.ToolTipWindow(), buf, static_cast<int>(std::size(buf)));
    return buf;
}

int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// The longest run of pixels near `color` in any row of r.
int LongestRun(const ClientPixels& px, const RECT& r, COLORREF color) {
    int best = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left, run = 0; x < r.right; ++x)
            best = std::max(best, run = Distance(px.At(x, y), color) <= 60 ? run + 1 : 0);
    return best;
}

struct Release {
    void operator()(IUnknown* p) const { p->Release(); }
};
using Accessible = std::unique_ptr<IAccessible, Release>;

VARIANT Child(LONG id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Take(BSTR b) {
    std::wstring s = b ? std::wstring(b, ::SysStringLen(b)) : std::wstring();
    ::SysFreeString(b);
    return s;
}

std::wstring Name(IAccessible* acc, LONG id) {
    BSTR b = nullptr;
    acc->get_accName(Child(id), &b);
    return Take(b);
}

// The name, role and the states a screen reader acts on, of an object or one of its children.
std::wstring Describe(IAccessible* acc, LONG id) {
    VARIANT role{}, state{};
    acc->get_accRole(Child(id), &role);
    acc->get_accState(Child(id), &state);
    std::wstring s = Name(acc, id);
    for (auto [value, text] : {std::pair{long{ROLE_SYSTEM_PANE}, L" (pane)"}, {ROLE_SYSTEM_GROUPING, L" (group)"},
                               {ROLE_SYSTEM_STATICTEXT, L" (text)"}, {ROLE_SYSTEM_LINK, L" (link)"}})
        if (role.vt == VT_I4 && role.lVal == value) s += text;
    for (auto [bit, text] : {std::pair{long{STATE_SYSTEM_READONLY}, L" read-only"}, {STATE_SYSTEM_FOCUSABLE, L" focusable"},
                             {STATE_SYSTEM_FOCUSED, L" focused"}, {STATE_SYSTEM_LINKED, L" linked"}})
        if (state.vt == VT_I4 && (state.lVal & bit)) s += text;
    return s;
}

Accessible AsAccessible(VARIANT& v) {
    IAccessible* acc = nullptr;
    if (v.vt == VT_DISPATCH && v.pdispVal)
        v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&acc));
    ::VariantClear(&v);
    return Accessible(acc);
}

// The bars' objects, in order.
std::vector<Accessible> Bars(IAccessible* root) {
    LONG count = 0, got = 0;
    EXPECT_EQ(root->get_accChildCount(&count), S_OK);
    std::vector<VARIANT> kids(static_cast<size_t>(count));
    EXPECT_EQ(::AccessibleChildren(root, 0, count, kids.data(), &got), S_OK);
    std::vector<Accessible> bars;
    for (LONG i = 0; i < got; ++i) bars.push_back(AsAccessible(kids[static_cast<size_t>(i)]));
    return bars;
}

std::vector<std::wstring> focusNames;  // what WinEvents name as focused
void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    IAccessible* acc = nullptr;
    VARIANT v{};
    if (FAILED(::AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object), static_cast<DWORD>(child), &acc, &v)) || !acc)
        return;
    focusNames.push_back(Name(acc, v.lVal));
    acc->Release();
}
}  // namespace

TEST(TaskPane, MouseClicksOnlyLinksAndHoverShowsTheHandTheTipAndTheUnderline) {
    Host host;
    TaskPane& pane = *host.pane;
    Host::Click(host.At(L"REFRESH"));
    EXPECT_EQ(host.clicks, Keys{L"REFRESH"});
    EXPECT_EQ(::GetFocus(), host.button) << "a click leaves the keyboard focus where it was";

    // A header, the body beside a short link, plain text, the heading, the pane below the bars.
    RECT header{}, client{};
    ASSERT_TRUE(pane.HeaderRect(*pane.FindBar(L"Tasks"), header));
    ::GetClientRect(pane.hwnd(), &client);
    ASSERT_GT(client.bottom - 4, pane.Layout().height) << "the pane should have room below its bars";
    const RECT exit = host.Rect(L"EXIT");
    for (POINT p : {host.Screen({header.left + 20, header.top + 5}), host.Screen({exit.right + 25, exit.top + 3}),
                    host.At(L"PUBLISHER"), host.At(L"ITEMNAME"), host.Screen({40, client.bottom - 4})})
        Host::Click(p);
    EXPECT_EQ(host.clicks, Keys{L"REFRESH"});
    // Pressed on one link and released on another: no click, as with any link.
    MouseAt(host.At(L"REMOVE"), MOUSEEVENTF_LEFTDOWN);
    MouseAt(host.At(L"PRINT"), MOUSEEVENTF_LEFTUP);
    SettleInput();
    EXPECT_EQ(host.clicks, Keys{L"REFRESH"});
    // A double-click runs the command once.
    ClickAt(host.At(L"ABOUT"), false, true);
    SettleInput();
    EXPECT_EQ(host.clicks, (Keys{L"REFRESH", L"ABOUT"}));

    TaskPaneItem& support = host.Item(L"SUPPORT");
    Host::Hover(host.At(L"SUPPORT"));
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == &support; }));
    EXPECT_TRUE(HandCursor());
    EXPECT_TRUE(host.TipShows(L"SUPPORT"));
    EXPECT_EQ(ToolTipText(pane), L"https://quillfen.example/support");
    // Plain text: no hot item, the arrow, and the tip goes.
    Host::Hover(host.At(L"PHONE"));
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == nullptr; }));
    EXPECT_FALSE(HandCursor());
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(pane.ToolTipWindow()); }));
    // Off the pane and back: a tip changed meanwhile is the one shown next.
    RECT button{};
    ::GetWindowRect(host.button, &button);
    Host::Hover({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    support.SetToolTipText(L"Second tip");
    Host::Hover(host.At(L"SUPPORT"));
    EXPECT_TRUE(host.TipShows(L"SUPPORT"));
    EXPECT_EQ(ToolTipText(pane), L"Second tip");

    // On the screen, with the pointer on one link and the keyboard focus on another.
    ::SetFocus(pane.hwnd());
    pane.SetFocusedItem(&host.Item(L"REFRESH"));
    ClientPixels px;
    for (int tries = 0; tries < 3; ++tries) {  // again if a late move (see TipShows) took the link's place
        Host::Hover(host.At(L"PROPERTIES"));
        ASSERT_TRUE(PumpUntil([&] { return pane.HotItem() == &host.Item(L"PROPERTIES"); }));
        ::ShowWindow(pane.ToolTipWindow(), SW_HIDE);
        ::RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpFor(100);
        px = CapturePixels(pane.hwnd(), client);
        if (pane.HotItem() == &host.Item(L"PROPERTIES")) break;
    }
    ASSERT_FALSE(px.colors.empty());
    const TaskPanePalette palette = TaskPanePalette::FromSystem();
    auto within = [](COLORREF color, int tolerance) {
        return [=](COLORREF c) { return Distance(c, color) <= tolerance; };
    };
    // Links in the link colour; plain text in the text colour and never in the link colour.
    EXPECT_GT(px.Count(host.Rect(L"EXIT"), within(palette.link, 60)), 5);
    EXPECT_GT(px.Count(host.Rect(L"PHONE"), within(palette.text, 60)), 5);
    EXPECT_EQ(px.Count(host.Rect(L"PHONE"), within(palette.link, 30)), 0);
    // The link under the pointer is underlined across its text; others are not.
    const RECT hot = host.Rect(L"PROPERTIES"), help = host.Rect(L"HELP");
    EXPECT_GE(LongestRun(px, hot, palette.linkHot), (hot.right - hot.left) * 8 / 10);
    EXPECT_LT(LongestRun(px, help, palette.link), (help.right - help.left) * 8 / 10);
    // The focused link has a dotted frame; the same place around another link is plain.
    auto frameTop = [&](const wchar_t* key) {
        RECT r = host.Rect(key);
        ::InflateRect(&r, pane.Metrics().focusPadding, pane.Metrics().focusPadding);
        return RECT{r.left, r.top, r.right, r.top + 1};
    };
    const RECT focused = frameTop(L"REFRESH"), plain = frameTop(L"REMOVE");
    EXPECT_LT(px.Count(focused, within(palette.body, 12)), (focused.right - focused.left) * 3 / 4);
    EXPECT_GE(px.Count(plain, within(palette.body, 12)), (plain.right - plain.left) * 9 / 10);
    // Leaving the pane from the hot link clears it.
    Host::Hover({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return pane.HotItem() == nullptr; }));
}

TEST(TaskPane, KeyboardMovesBetweenLinksClicksThemAndTellsScreenReaders) {
    Host host;
    TaskPane& pane = *host.pane;
    EXPECT_EQ(pane.FocusedItem(), nullptr);
    focusNames.clear();
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &OnFocusEvent,
                                           ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Host::Key(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == pane.hwnd(); })) << "Tab should move into the pane";
    EXPECT_EQ(FocusedKey(pane), L"UNINSTALL");

    // Down goes through the links only: the heading and the Publisher and Phone texts are skipped.
    Keys seen;
    for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN,
                     VK_UP, VK_UP, VK_UP, VK_UP, VK_HOME, VK_END}) {
        Host::Key(key);
        seen.push_back(FocusedKey(pane));
    }
    EXPECT_EQ(seen, (Keys{L"INSTALL", L"REMOVE", L"REFRESH", L"PRINT", L"EXPORT", L"SUPPORT", L"PROPERTIES", L"HELP",
                          L"ABOUT", L"EXIT", L"EXIT", L"ABOUT", L"HELP", L"PROPERTIES", L"SUPPORT", L"UNINSTALL",
                          L"EXIT"}));
    EXPECT_TRUE(host.clicks.empty());
    EXPECT_TRUE(PumpUntil([&] { return !focusNames.empty() && focusNames.back() == L"Exit"; }, 2000));
    ::UnhookWinEvent(hook);
    ASSERT_GE(focusNames.size(), 2u);
    EXPECT_EQ(focusNames[focusNames.size() - 2],
              L"Ardmoor\r\ncan be uninstalled by double-clicking the item or clicking here...");

    // Enter and Space click the focused link, and the focus stays.
    Host::Key(VK_RETURN);
    Host::Key(VK_UP);
    Host::Key(VK_SPACE);
    EXPECT_EQ(host.clicks, (Keys{L"EXIT", L"ABOUT"}));
    EXPECT_EQ(::GetFocus(), pane.hwnd());
    // Tab leaves for the button; coming back finds the same link focused.
    Host::Key(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == host.button; }));
    Host::Key(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == pane.hwnd(); }));
    EXPECT_EQ(FocusedKey(pane), L"ABOUT");
    // A focused link that removes itself from its click leaves no focus behind; Down starts again
    // at the first link.
    host.onClick = [&](TaskPaneItem& item) { (void)item.Bar().RemoveItem(item.Key()); };
    Host::Key(VK_RETURN);
    EXPECT_EQ(pane.Model().FindItem(L"ABOUT"), nullptr);
    EXPECT_EQ(pane.FocusedItem(), nullptr);
    Host::Key(VK_RETURN);
    EXPECT_EQ(host.clicks.size(), 3u);
    Host::Key(VK_DOWN);
    EXPECT_EQ(FocusedKey(pane), L"UNINSTALL");
}

TEST(TaskPane, ScreenReadersSeeBarsItemsTheirStatesAndPlacesAndCanClickAndFocus) {
    Host host;
    TaskPane& pane = *host.pane;
    IAccessible* raw = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(pane.hwnd(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&raw)),
              S_OK);
    Accessible root(raw);
    EXPECT_EQ(Describe(root.get(), CHILDID_SELF), L"Tasks (pane) focusable");
    std::vector<Accessible> bars = Bars(root.get());
    Keys seen;
    for (const Accessible& bar : bars) seen.push_back(bar ? Describe(bar.get(), CHILDID_SELF) : L"?");
    ASSERT_EQ(seen, (Keys{L"Software Tasks (group)", L"Other Tasks (group)", L"Details (group)", L"General (group)"}));
    // The Details bar: the heading, two plain texts and two links.
    IAccessible* details = bars[2].get();
    LONG count = 0;
    EXPECT_EQ(details->get_accChildCount(&count), S_OK);
    seen.clear();
    for (LONG id = 1; id <= count; ++id) seen.push_back(Describe(details, id));
    EXPECT_EQ(seen, (Keys{L"Ardmoor (text) read-only", L"Publsher: Quillfen Software (text) read-only",
                          L"Phone: (text) read-only", L"Support Information (link) focusable linked",
                          L"View or edit all properties (link) focusable linked"}));
    BSTR b = nullptr;
    EXPECT_EQ(details->get_accDescription(Child(4), &b), S_OK);
    EXPECT_EQ(Take(b), L"https://quillfen.example/support");
    EXPECT_EQ(details->get_accDefaultAction(Child(4), &(b = nullptr)), S_OK);
    EXPECT_EQ(Take(b), L"Jump");
    EXPECT_EQ(details->get_accDefaultAction(Child(2), &(b = nullptr)), S_FALSE);
    Take(b);
    EXPECT_EQ(details->get_accName(Child(9), &(b = nullptr)), E_INVALIDARG);

    // Locations are the items' screen rectangles; hit testing finds the same item again.
    RECT support = host.Rect(L"SUPPORT");
    ::MapWindowPoints(pane.hwnd(), nullptr, reinterpret_cast<POINT*>(&support), 2);
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(details->accLocation(&x, &y, &w, &h, Child(4)), S_OK);
    const RECT located{x, y, x + w, y + h};
    EXPECT_TRUE(::EqualRect(&located, &support));
    VARIANT hit{};
    ASSERT_EQ(root->accHitTest(x + 2, y + h / 2, &hit), S_OK);
    Accessible hitBar = AsAccessible(hit);
    ASSERT_TRUE(hitBar);
    EXPECT_EQ(Name(hitBar.get(), CHILDID_SELF), L"Details");
    ASSERT_EQ(hitBar->accHitTest(x + 2, y + h / 2, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 4);

    // The default action clicks once the reader's call has returned; not on plain text, not on an
    // item removed before the queued click runs.
    IAccessible* tasks = bars[1].get();
    EXPECT_EQ(tasks->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !host.clicks.empty(); }));
    EXPECT_EQ(details->accDoDefaultAction(Child(2)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(tasks->accDoDefaultAction(Child(42)), E_INVALIDARG);
    EXPECT_EQ(tasks->accDoDefaultAction(Child(3)), S_OK);
    EXPECT_TRUE(pane.FindBar(L"Tasks")->RemoveItem(L"PRINT").ok());
    PumpFor(50);
    EXPECT_EQ(host.clicks, Keys{L"REFRESH"});

    // Selecting with the take-focus flag moves the keyboard focus, and the focus is reported.
    ::SetFocus(pane.hwnd());
    EXPECT_EQ(details->accSelect(SELFLAG_TAKEFOCUS, Child(5)), S_OK);
    EXPECT_EQ(pane.FocusedItem(), &host.Item(L"PROPERTIES"));
    EXPECT_EQ(Describe(details, 5), L"View or edit all properties (link) focusable focused linked");
    VARIANT focus{};
    ASSERT_EQ(root->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(Name(root.get(), focus.lVal), L"View or edit all properties");

    // Objects outliving the pane answer, and do not crash.
    host.pane.reset();
    PumpFor(30);
    EXPECT_EQ(root->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(details->get_accName(Child(1), &(b = nullptr)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(details->accDoDefaultAction(Child(4)), CO_E_OBJNOTCONNECTED);
}

TEST(TaskPane, ScrollsWhenTheBarsDoNotFit) {
    Host host(260);
    TaskPane& pane = *host.pane;
    RECT client{};
    ::GetClientRect(pane.hwnd(), &client);
    SCROLLINFO si{sizeof(si), SIF_ALL};
    ASSERT_TRUE(::GetScrollInfo(pane.hwnd(), SB_VERT, &si));
    EXPECT_EQ(static_cast<int>(si.nPage), client.bottom);
    EXPECT_EQ(si.nMax + 1, pane.Layout().height);
    EXPECT_EQ(pane.Layout().width, client.right) << "the bars make room for the scroll bar";
    EXPECT_LT(client.right, 210);

    const int top = host.Rect(L"UNINSTALL").top;
    auto wheel = [&](int delta) {
        INPUT in = MouseInput(host.Screen({100, 100}), MOUSEEVENTF_WHEEL);
        in.mi.mouseData = static_cast<DWORD>(delta);
        ::SendInput(1, &in, sizeof(in));
        SettleInput();
    };
    wheel(-WHEEL_DELTA);
    EXPECT_GT(pane.ScrollPos(), 0);
    EXPECT_EQ(host.Rect(L"UNINSTALL").top, top - pane.ScrollPos());
    wheel(WHEEL_DELTA * 10);
    EXPECT_EQ(pane.ScrollPos(), 0);
    // The scroll bar's own down arrow.
    RECT window{};
    ::GetWindowRect(pane.hwnd(), &window);
    const int arrow = ::GetSystemMetrics(SM_CYVSCROLL);
    Host::Click(POINT{window.right - arrow / 2 - 1, window.bottom - arrow / 2 - 1});
    EXPECT_TRUE(PumpUntil([&] { return pane.ScrollPos() > 0; })) << "the scroll bar's arrow should scroll";

    // The keyboard brings the focused link into view, and a click after scrolling hits it.
    ::SetFocus(pane.hwnd());
    Host::Key(VK_END);
    EXPECT_EQ(FocusedKey(pane), L"EXIT");
    EXPECT_EQ(pane.ScrollPos(), pane.Layout().height - client.bottom);
    EXPECT_LE(host.Rect(L"EXIT").bottom, client.bottom);
    Host::Click(host.At(L"EXIT"));
    EXPECT_EQ(host.clicks, Keys{L"EXIT"});
    Host::Key(VK_HOME);
    EXPECT_EQ(pane.ScrollPos(), 0);

    // Room for everything: no scroll bar, back at the top.
    pane.ScrollTo(40);
    ::MoveWindow(pane.hwnd(), 0, 0, 210, 620, TRUE);
    PumpFor(50);
    (void)pane.Layout();
    EXPECT_FALSE(::GetWindowLongPtrW(pane.hwnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(pane.ScrollPos(), 0);
    EXPECT_EQ(pane.Layout().width, 210);
}

TEST(TaskPane, RedrawOffHoldsBackRepaintingUntilTurnedOn) {
    Host host;
    TaskPane& pane = *host.pane;
    ::UpdateWindow(pane.hwnd());
    ASSERT_FALSE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
    pane.SetRedraw(false);
    host.Item(L"HELP").SetText(L"Help with a text long enough to need a second line or even a third one...");
    EXPECT_TRUE(pane.FindBar(L"Tasks")->RemoveItem(L"REFRESH").ok());
    (void)pane.FindBar(L"Tasks")->AddItem(L"NEW", L"Added while redraw was off");
    pane.FindBar(L"General")->SetSpecial(true);
    PumpFor(100);
    EXPECT_FALSE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE)) << "nothing may be repainted while redraw is off";

    pane.SetRedraw(true);
    EXPECT_TRUE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
    PumpFor(50);
    EXPECT_FALSE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
    EXPECT_GT(pane.Layout().Find(&host.Item(L"HELP"))->lines.size(), 1u);
    RECT added{};
    EXPECT_TRUE(pane.ItemRect(host.Item(L"NEW"), added));
    // With redraw on, a change repaints by itself.
    host.Item(L"HELP").SetText(L"Help and support...");
    EXPECT_TRUE(::GetUpdateRect(pane.hwnd(), nullptr, FALSE));
}

TEST(TaskPane, SurvivesHostsThatChangeOrDestroyThingsFromTheClick) {
    Host host;
    TaskPane& pane = *host.pane;
    // The clicked item is removed, other texts change and a whole bar empties, from inside the click.
    host.onClick = [&](TaskPaneItem& item) {
        if (item.Key() != L"REMOVE") return;
        (void)item.Bar().RemoveItem(L"REMOVE");
        host.Item(L"ITEMNAME").SetText(L"");
        pane.FindBar(L"Advanced")->ClearItems();
    };
    const POINT removeAt = host.At(L"REMOVE");
    Host::Click(removeAt);
    EXPECT_EQ(pane.Model().FindItem(L"REMOVE"), nullptr);
    Host::Hover(POINT{removeAt.x, removeAt.y + 1});
    Host::Click(host.At(L"PRINT"));
    EXPECT_EQ(host.clicks, (Keys{L"REMOVE", L"PRINT"}));

    // The host destroys the whole pane from inside its click, as "Exit" does to the main window.
    host.onClick = [&](TaskPaneItem&) { host.pane.reset(); };
    Host::Click(host.At(L"EXIT"));
    EXPECT_FALSE(host.pane);
    EXPECT_EQ(host.clicks.back(), L"EXIT");
    PumpFor(100);
}
