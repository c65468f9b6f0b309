// What a screen reader gets from the task pane, through the system's Active Accessibility calls.
#include <gtest/gtest.h>

#include "controls/task_pane/task_pane.h"
#include "task_pane_test_host.h"

#include <oleacc.h>

#include <utility>

using namespace ardmoor;
using namespace ardmoor::taskpane_test;

namespace {
// Owns one COM reference.
template <class T>
struct Ref {
    T* p = nullptr;
    Ref() = default;
    explicit Ref(T* raw) : p(raw) {}
    Ref(Ref&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
    T** put() { return &p; }
};

VARIANT Child(LONG id) {
    VARIANT v;
    ::VariantInit(&v);
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

LONG Role(IAccessible* acc, LONG id) {
    VARIANT v;
    ::VariantInit(&v);
    acc->get_accRole(Child(id), &v);
    return v.vt == VT_I4 ? v.lVal : -1;
}

LONG State(IAccessible* acc, LONG id) {
    VARIANT v;
    ::VariantInit(&v);
    acc->get_accState(Child(id), &v);
    return v.vt == VT_I4 ? v.lVal : -1;
}

std::vector<VARIANT> Children(IAccessible* acc) {
    LONG count = 0;
    EXPECT_EQ(acc->get_accChildCount(&count), S_OK);
    std::vector<VARIANT> kids(static_cast<size_t>(count));
    LONG got = 0;
    if (count) {
        EXPECT_EQ(::AccessibleChildren(acc, 0, count, kids.data(), &got), S_OK);
    }
    EXPECT_EQ(got, count);
    kids.resize(static_cast<size_t>(got));
    return kids;
}

Ref<IAccessible> AsAccessible(VARIANT& v) {
    Ref<IAccessible> acc;
    if (v.vt == VT_DISPATCH && v.pdispVal)
        v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(acc.put()));
    ::VariantClear(&v);
    return acc;
}

struct FocusEvents {
    static inline std::vector<std::wstring> names;
    static void CALLBACK Hook(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
        IAccessible* acc = nullptr;
        VARIANT v;
        ::VariantInit(&v);
        if (SUCCEEDED(::AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object), static_cast<DWORD>(child), &acc,
                                                  &v)) && acc) {
            BSTR b = nullptr;
            acc->get_accName(v, &b);
            names.push_back(Take(b));
            acc->Release();
        }
    }
};
}  // namespace

TEST(TaskPaneAccessible, ScreenReadersSeeBarsItemsAndTheirRoles) {
    ParkMouse();
    HostWindow host(640, 560, 210);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    PumpFor(50);

    Ref<IAccessible> root;
    ASSERT_EQ(::AccessibleObjectFromWindow(pane.hwnd(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           reinterpret_cast<void**>(root.put())),
              S_OK);
    ASSERT_NE(root.p, nullptr);
    EXPECT_EQ(Role(root.p, CHILDID_SELF), ROLE_SYSTEM_PANE);
    EXPECT_EQ(Name(root.p, CHILDID_SELF), L"Tasks");

    std::vector<VARIANT> bars = Children(root.p);
    ASSERT_EQ(bars.size(), 4u);
    const std::vector<std::wstring> titles{L"Software Tasks", L"Other Tasks", L"Details", L"General"};
    std::vector<Ref<IAccessible>> barObjects;
    for (size_t i = 0; i < bars.size(); ++i) {
        ASSERT_EQ(bars[i].vt, VT_DISPATCH) << i;
        barObjects.push_back(AsAccessible(bars[i]));
        ASSERT_NE(barObjects.back().p, nullptr);
        EXPECT_EQ(Name(barObjects.back().p, CHILDID_SELF), titles[i]);
        EXPECT_EQ(Role(barObjects.back().p, CHILDID_SELF), ROLE_SYSTEM_GROUPING);
    }

    // The Details bar: the heading, two plain texts and two links.
    IAccessible* details = barObjects[2].p;
    std::vector<VARIANT> items = Children(details);
    ASSERT_EQ(items.size(), 5u);
    for (const VARIANT& v : items) ASSERT_EQ(v.vt, VT_I4);
    EXPECT_EQ(Name(details, 1), L"Ardmoor");
    EXPECT_EQ(Role(details, 1), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(Name(details, 2), L"Publsher: Quillfen Software");
    EXPECT_EQ(Role(details, 2), ROLE_SYSTEM_STATICTEXT);
    EXPECT_TRUE(State(details, 2) & STATE_SYSTEM_READONLY);
    EXPECT_FALSE(State(details, 2) & STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(Name(details, 4), L"Support Information");
    EXPECT_EQ(Role(details, 4), ROLE_SYSTEM_LINK);
    EXPECT_TRUE(State(details, 4) & STATE_SYSTEM_LINKED);
    EXPECT_TRUE(State(details, 4) & STATE_SYSTEM_FOCUSABLE);
    BSTR b = nullptr;
    EXPECT_EQ(details->get_accDescription(Child(4), &b), S_OK);
    EXPECT_EQ(Take(b), L"https://quillfen.example/support");
    b = nullptr;
    EXPECT_EQ(details->get_accDefaultAction(Child(4), &b), S_OK);
    EXPECT_EQ(Take(b), L"Jump");
    b = nullptr;
    EXPECT_EQ(details->get_accDefaultAction(Child(2), &b), S_FALSE);
    Take(b);
    EXPECT_EQ(Name(barObjects[0].p, 1), L"Ardmoor\r\ncan be uninstalled by double-clicking the item or clicking here...");
    EXPECT_EQ(details->get_accName(Child(9), &b), E_INVALIDARG);

    // Locations are the items' screen rectangles; hit testing finds the same item again.
    RECT support{};
    ASSERT_TRUE(pane.ItemRect(*pane.Model().FindItem(L"SUPPORT"), support));
    ::MapWindowPoints(pane.hwnd(), nullptr, reinterpret_cast<POINT*>(&support), 2);
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(details->accLocation(&x, &y, &w, &h, Child(4)), S_OK);
    EXPECT_EQ(x, support.left);
    EXPECT_EQ(y, support.top);
    EXPECT_EQ(w, support.right - support.left);
    EXPECT_EQ(h, support.bottom - support.top);
    VARIANT hit;
    ::VariantInit(&hit);
    ASSERT_EQ(root->accHitTest(x + 2, y + h / 2, &hit), S_OK);
    Ref<IAccessible> hitBar = AsAccessible(hit);
    ASSERT_NE(hitBar.p, nullptr);
    EXPECT_EQ(Name(hitBar.p, CHILDID_SELF), L"Details");
    ::VariantInit(&hit);
    ASSERT_EQ(hitBar->accHitTest(x + 2, y + h / 2, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 4);

    // Parent and navigation lead back into the same tree.
    Ref<IDispatch> parent;
    ASSERT_EQ(details->get_accParent(parent.put()), S_OK);
    Ref<IAccessible> parentAcc;
    ASSERT_EQ(parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(parentAcc.put())), S_OK);
    EXPECT_EQ(Role(parentAcc.p, CHILDID_SELF), ROLE_SYSTEM_PANE);
    VARIANT next;
    ::VariantInit(&next);
    ASSERT_EQ(details->accNavigate(NAVDIR_NEXT, Child(4), &next), S_OK);
    EXPECT_EQ(next.vt, VT_I4);
    EXPECT_EQ(next.lVal, 5);
    for (VARIANT& v : items) ::VariantClear(&v);
}

TEST(TaskPaneAccessible, DefaultActionClicksAndFocusIsReported) {
    ParkMouse();
    HostWindow host(640, 560, 210);
    TaskPane& pane = host.pane();
    PopulateLikeMainWindow(pane, L"Ardmoor");
    ASSERT_TRUE(BringToFront(host.hwnd()));
    PumpFor(50);
    Ref<IAccessible> root;
    ASSERT_EQ(::AccessibleObjectFromWindow(pane.hwnd(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           reinterpret_cast<void**>(root.put())),
              S_OK);
    std::vector<VARIANT> bars = Children(root.p);
    ASSERT_EQ(bars.size(), 4u);
    Ref<IAccessible> tasks = AsAccessible(bars[1]);
    Ref<IAccessible> details = AsAccessible(bars[2]);
    for (size_t i = 0; i < bars.size(); ++i)
        if (i != 1 && i != 2) ::VariantClear(&bars[i]);

    // The click arrives once the reader's call has returned.
    EXPECT_EQ(tasks->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !host.clicks.empty(); }));
    EXPECT_EQ(host.clicks, std::vector<std::wstring>{L"REFRESH"});
    EXPECT_EQ(details->accDoDefaultAction(Child(2)), DISP_E_MEMBERNOTFOUND);  // plain text
    EXPECT_EQ(tasks->accDoDefaultAction(Child(42)), E_INVALIDARG);
    PumpFor(50);
    EXPECT_EQ(host.clicks.size(), 1u);

    // An item removed before the queued click runs is not clicked.
    EXPECT_EQ(tasks->accDoDefaultAction(Child(3)), S_OK);
    EXPECT_TRUE(pane.FindBar(L"Tasks")->RemoveItem(L"PRINT").ok());
    PumpFor(50);
    EXPECT_EQ(host.clicks.size(), 1u);

    // Keyboard focus: a WinEvent names the focused link, and its state says so.
    FocusEvents::names.clear();
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &FocusEvents::Hook,
                                           ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    ::SetFocus(host.button());
    PumpFor(30);
    PressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == pane.hwnd(); }));
    PressKey(VK_DOWN);
    PumpUntil([&] { return FocusEvents::names.size() >= 2; }, 2000);
    PumpFor(50);
    ::UnhookWinEvent(hook);
    ASSERT_GE(FocusEvents::names.size(), 2u);
    EXPECT_EQ(FocusEvents::names[FocusEvents::names.size() - 2],
              L"Ardmoor\r\ncan be uninstalled by double-clicking the item or clicking here...");
    EXPECT_EQ(FocusEvents::names.back(), L"Install software on your computer...");

    VARIANT focus;
    ::VariantInit(&focus);
    ASSERT_EQ(root->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(Name(root.p, focus.lVal), L"Install software on your computer...");
    EXPECT_TRUE(State(root.p, focus.lVal) & STATE_SYSTEM_FOCUSED);
    EXPECT_FALSE(State(details.p, 4) & STATE_SYSTEM_FOCUSED);

    // Selecting with the take-focus flag moves the keyboard focus.
    EXPECT_EQ(details->accSelect(SELFLAG_TAKEFOCUS, Child(5)), S_OK);
    EXPECT_EQ(pane.FocusedItem(), pane.Model().FindItem(L"PROPERTIES"));
    EXPECT_TRUE(State(details.p, 5) & STATE_SYSTEM_FOCUSED);

    // Objects outliving the pane answer, and do not crash.
    host.DestroyPane();
    PumpFor(30);
    LONG count = 0;
    EXPECT_EQ(root->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR b = nullptr;
    EXPECT_EQ(details->get_accName(Child(1), &b), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(details->accDoDefaultAction(Child(4)), CO_E_OBJNOTCONNECTED);
}
