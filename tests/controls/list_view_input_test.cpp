// ListView events from real mouse and keyboard input (SendInput at the rows' and headers' screen
// positions), in a foreground window on the test display.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop_test_util.h"
#include "controls/list_view/list_view.h"
#include "platform/message_pump.h"
#include "platform/window.h"
#include "remote_ui.h"

using namespace ardmoor;
using namespace ardmoor::listview_test;
using ardmoor::test::ClickAt;

namespace {

class HostWindow final : public Window {
public:
    bool Open() {
        return Create(L"ArdmoorListViewInputHost", L"List view input test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      0, 80, 80, 640, 480, nullptr, nullptr);
    }

protected:
    bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

struct Event {
    std::string kind;
    int a = 0, b = 0, x = 0, y = 0;
    std::wstring key;
};

class ListViewInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        list = std::make_unique<ListView>();
        ASSERT_TRUE(list->Create(host.hwnd(), 7).ok());
        RECT rc;
        ::GetClientRect(host.hwnd(), &rc);
        list->Move(0, 0, rc.right, rc.bottom);
        ASSERT_TRUE(list->AddColumn(L"DisplayName", L"Name", 2400));
        ASSERT_TRUE(list->AddColumn(L"UninstallString", L"Uninstall Path", 3000));
        for (int i = 0; i < 8; ++i) ASSERT_TRUE(list->Add(L"k" + std::to_wstring(i), L"Row " + std::to_wstring(i)));
        list->OnItemClick = [this](ListItem item) { events.push_back({"click", 0, 0, 0, 0, item.Key()}); };
        list->OnItemDblClick = [this](ListItem item) { events.push_back({"dblclick", 0, 0, 0, 0, item.Key()}); };
        list->OnColumnClick = [this](int column) { events.push_back({"column", column}); };
        list->OnKeyUp = [this](int key, int shift) { events.push_back({"keyup", key, shift}); };
        list->OnMouseUp = [this](int button, int shift, int x, int y) {
            events.push_back({"mouseup", button, shift, x, y});
        };
        ASSERT_TRUE(MakeForeground(host.hwnd()));
        PumpFor(100);
        events.clear();
    }

    RECT LabelRect(int index0) {
        RECT r{};
        ListView_GetItemRect(list->hwnd(), index0, &r, LVIR_LABEL);
        return r;
    }
    POINT ItemPoint(int index0) { return CenterOnScreen(list->hwnd(), LabelRect(index0)); }
    POINT HeaderPoint(int column0) {
        HWND header = ListView_GetHeader(list->hwnd());
        RECT r{};
        Header_GetItemRect(header, column0, &r);
        return CenterOnScreen(header, r);
    }
    std::vector<Event> Of(const std::string& kind) {
        std::vector<Event> out;
        for (const auto& e : events)
            if (e.kind == kind) out.push_back(e);
        return out;
    }
    bool WaitFor(const std::string& kind, size_t count = 1) {
        return PumpUntil([&] { return Of(kind).size() >= count; });
    }
    // Clicks on different rows must not pair up into a double click.
    void Settle() { PumpFor(::GetDoubleClickTime() + 50); }

    HostWindow host;
    std::unique_ptr<ListView> list;
    std::vector<Event> events;
};

}  // namespace

TEST_F(ListViewInputTest, ClicksReportTheRowAndEachReleaseOnce) {
    ClickAt(ItemPoint(2));
    ASSERT_TRUE(WaitFor("mouseup"));
    SettleInput();
    ASSERT_EQ(Of("click").size(), 1u);
    EXPECT_EQ(Of("click")[0].key, L"k2");
    auto up = Of("mouseup");
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].a, list_view::kLeftButton);
    EXPECT_EQ(up[0].b, 0);
    const RECT label = LabelRect(2);
    EXPECT_TRUE(::PtInRect(&label, POINT{up[0].x, up[0].y})) << up[0].x << "," << up[0].y;
    EXPECT_EQ(list->SelectedItem().Key(), L"k2");
    Settle();

    events.clear();
    ClickAt(ItemPoint(4), true);
    ASSERT_TRUE(WaitFor("mouseup"));
    SettleInput();
    up = Of("mouseup");
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].a, list_view::kRightButton);
    const RECT label4 = LabelRect(4);
    EXPECT_TRUE(::PtInRect(&label4, POINT{up[0].x, up[0].y}));
    EXPECT_TRUE(Of("click").empty());  // only the left button clicks a row
    Settle();

    events.clear();
    MiddleClickAt(ItemPoint(6));
    ASSERT_TRUE(WaitFor("mouseup"));
    EXPECT_EQ(Of("mouseup")[0].a, list_view::kMiddleButton);
    Settle();

    events.clear();
    ClickAt(ItemPoint(3), false, true);
    ASSERT_TRUE(WaitFor("dblclick"));
    SettleInput();
    EXPECT_EQ(Of("dblclick").size(), 1u);
    EXPECT_EQ(Of("dblclick")[0].key, L"k3");
    EXPECT_EQ(Of("mouseup").size(), 2u);
}

TEST_F(ListViewInputTest, HeaderClicksReportTheColumnAndKeysTheirCodeAndShiftState) {
    // What the main window does with the column (sorting) is tested end to end.
    ClickAt(HeaderPoint(1));
    ASSERT_TRUE(WaitFor("column"));
    EXPECT_EQ(Of("column")[0].a, 2);
    Settle();
    ClickAt(HeaderPoint(0));
    ASSERT_TRUE(WaitFor("column", 2));
    EXPECT_EQ(Of("column")[1].a, 1);
    EXPECT_TRUE(Of("mouseup").empty());  // the header is not the list
    Settle();

    ClickAt(ItemPoint(1));
    ASSERT_TRUE(WaitFor("click"));
    EXPECT_EQ(Of("click")[0].key, L"k1");
    events.clear();
    PressKeyWith(VK_DOWN);
    ASSERT_TRUE(WaitFor("keyup"));
    EXPECT_EQ(Of("keyup")[0].a, VK_DOWN);
    EXPECT_EQ(Of("keyup")[0].b, 0);
    EXPECT_EQ(list->SelectedItem().Key(), L"k2");

    events.clear();
    PressKeyWith(VK_DOWN, {VK_SHIFT});
    PressKeyWith(VK_UP, {VK_CONTROL});
    PressKeyWith(VK_DOWN, {VK_MENU});
    PressKeyWith(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] {
        for (const auto& e : Of("keyup"))
            if (e.a == VK_RETURN) return true;
        return false;
    }));
    std::vector<std::pair<int, int>> seen;
    for (const auto& e : Of("keyup"))
        if (e.a != VK_SHIFT && e.a != VK_CONTROL && e.a != VK_MENU) seen.emplace_back(e.a, e.b);
    const std::vector<std::pair<int, int>> expected{
        {VK_DOWN, list_view::kShift}, {VK_UP, list_view::kCtrl}, {VK_DOWN, list_view::kAlt}, {VK_RETURN, 0}};
    EXPECT_EQ(seen, expected);
}

TEST_F(ListViewInputTest, HandlersMayChangeOrEndTheList) {
    int thrown = 0;
    list->OnItemClick = [&](ListItem item) {
        events.push_back({"click", 0, 0, 0, 0, item.Key()});
        if (item.Key() == L"k1") {
            ++thrown;
            throw std::runtime_error("handler failed");
        }
        ASSERT_TRUE(list->Remove(item.Index()).ok());
    };
    ClickAt(ItemPoint(2));
    ASSERT_TRUE(WaitFor("click"));
    EXPECT_EQ(list->Count(), 7);
    EXPECT_FALSE(list->Item(L"k2"));
    Settle();
    ClickAt(ItemPoint(1));  // throws
    ASSERT_TRUE(WaitFor("click", 2));
    EXPECT_EQ(thrown, 1);
    EXPECT_TRUE(WaitFor("mouseup", 2));  // the release is still reported
    Settle();

    HWND listWindow = list->hwnd();
    list->OnItemDblClick = [&](ListItem) {
        events.push_back({"dblclick"});
        list.reset();
    };
    ClickAt(ItemPoint(4), false, true);
    ASSERT_TRUE(WaitFor("dblclick"));
    SettleInput();
    EXPECT_FALSE(list);
    EXPECT_FALSE(::IsWindow(listWindow));
    EXPECT_TRUE(::IsWindow(host.hwnd()));
}
