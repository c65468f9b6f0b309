// ListView in a real window on the test display, driven through its operations and through real
// mouse and keyboard input; what it reports is checked against the control's own state.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop_test_util.h"
#include "controls/list_view/list_view.h"
#include "platform/message_pump.h"
#include "platform/unique_handle.h"
#include "platform/window.h"

using namespace ardmoor;
using namespace ardmoor::listview_test;

namespace {

class HostWindow final : public Window {
public:
    bool Open() {
        return Create(L"ArdmoorListViewTestHost", L"List view test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 60,
                      60, 640, 480, nullptr, nullptr);
    }

protected:
    bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

std::wstring DateText(WORD y, WORD m, WORD d, WORD h) {
    SYSTEMTIME st{};
    st.wYear = y, st.wMonth = m, st.wDay = d, st.wHour = h;
    wchar_t date[80], time[80];
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 80, nullptr);
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, time, 80);
    return std::wstring(date) + L" " + time;
}

std::wstring NumberText(const wchar_t* digits) {
    wchar_t out[80];
    ::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits, nullptr, out, 80);
    return out;
}

// Pixels inside a client rectangle of a window, as on the screen, that differ from its top-left one.
int InkIn(HWND hwnd, const RECT& r) {
    WindowDc dc(hwnd);
    const COLORREF background = ::GetPixel(dc.get(), r.left, r.top);
    int ink = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) ink += ::GetPixel(dc.get(), x, y) != background;
    return ink;
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Open());
        list = std::make_unique<ListView>();
        ASSERT_TRUE(list->Create(host.hwnd(), 101).ok());
        RECT rc;
        ::GetClientRect(host.hwnd(), &rc);
        list->Move(0, 0, rc.right, rc.bottom);
        ASSERT_TRUE(list->AddColumn(L"DisplayName", L"Name", 2400));
        ASSERT_TRUE(list->AddColumn(L"UninstallString", L"Uninstall Path", 3000));
        ::ShowWindow(host.hwnd(), SW_SHOW);
        PumpPendingMessages();
    }

    // What the control itself shows, bypassing the ListView.
    std::wstring Shown(int index0, int sub = 0) {
        wchar_t buf[512] = {};
        ListView_GetItemText(list->hwnd(), index0, sub, buf, 512);
        return buf;
    }
    int ShownCount() { return ListView_GetItemCount(list->hwnd()); }
    std::vector<std::wstring> Keys() {
        std::vector<std::wstring> keys;
        for (int i = 1; i <= list->Count(); ++i) keys.push_back(list->Item(i).Key());
        return keys;
    }
    void AddRows(int n) {
        for (int i = 0; i < n; ++i) {
            auto item = list->Add(L"k" + std::to_wstring(i), L"Row " + std::to_wstring(i), -1);
            ASSERT_TRUE(item);
            item->SetSubItem(1, L"C:\\p" + std::to_wstring(i) + L"\\unins.exe");
        }
    }

    HostWindow host;
    std::unique_ptr<ListView> list;
};

}  // namespace

TEST_F(ListViewTest, ItemsByIndexAndKeyStayInStepWithTheControl) {
    auto a = list->Add(L"\\HKLM\\A", L"Alpha", 3);
    auto b = list->Add(L"\\HKLM\\B", L"Beta");
    auto c = list->Add(L"", L"No key");
    ASSERT_TRUE(a && b && c);
    b->SetSubItem(1, L"C:\\b\\unins.exe");
    b->SetToolTipText(L"Name: Beta");
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(ShownCount(), 3);
    EXPECT_EQ(list->Item(2).Text(), L"Beta");
    EXPECT_EQ(Shown(1, 1), L"C:\\b\\unins.exe");
    EXPECT_EQ(list->Item(L"\\HKLM\\B").SubItem(1), L"C:\\b\\unins.exe");
    EXPECT_EQ(list->Item(L"\\HKLM\\B").ToolTipText(), L"Name: Beta");
    EXPECT_EQ(a->Icon(), 3);
    EXPECT_EQ(b->Icon(), -1);
    EXPECT_EQ(c->Key(), L"");
    EXPECT_EQ(c->Index(), 3);

    // Bad positions, unknown keys, columns that do not exist: empty answers, nothing changed.
    EXPECT_FALSE(list->Item(0));
    EXPECT_FALSE(list->Item(4));
    EXPECT_FALSE(list->Item(L"\\HKLM\\Z"));
    EXPECT_FALSE(list->Item(L""));
    EXPECT_EQ(b->SubItem(2), L"");
    b->SetSubItem(7, L"nowhere");
    EXPECT_FALSE(list->Add(L"\\HKLM\\A", L"Duplicate"));
    EXPECT_EQ(list->Count(), 3);
    EXPECT_FALSE(list->Remove(0).ok());
    EXPECT_FALSE(list->Remove(L"\\HKLM\\Z").ok());

    // Keys move with their rows; a row's old key is free once it has a new one.
    EXPECT_FALSE(c->SetKey(L"\\HKLM\\A").ok());
    EXPECT_TRUE(c->SetKey(L"\\HKLM\\C").ok());
    EXPECT_TRUE(a->SetKey(L"\\HKLM\\A2").ok());
    EXPECT_FALSE(list->Item(L"\\HKLM\\A"));
    EXPECT_EQ(list->Item(L"\\HKLM\\A2").Text(), L"Alpha");
    EXPECT_TRUE(list->Add(L"\\HKLM\\A", L"Alpha again"));

    // A removed row's handle reads empty; the rows after it move up.
    EXPECT_TRUE(list->Remove(L"\\HKLM\\B").ok());
    EXPECT_FALSE(*b);
    EXPECT_EQ(b->Text(), L"");
    EXPECT_EQ(b->Index(), 0);
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(Shown(1), L"No key");
    list->Clear();
    EXPECT_EQ(ShownCount(), 0);
    EXPECT_FALSE(*a);
    EXPECT_TRUE(list->Add(L"\\HKLM\\A2", L"Alpha, after clearing"));
}

TEST_F(ListViewTest, LookupsByKeyAfterManyRemovals) {
    AddRows(300);
    // Remove from the front, the middle and the end, reading indexes in between so that cached
    // positions are both used and invalidated.
    std::vector<int> gone;
    for (int i = 0; i < 300; i += 3) gone.push_back(i);
    for (int i : gone) {
        ASSERT_TRUE(list->Remove(L"k" + std::to_wstring(i)).ok());
        if (i % 30 == 0) (void)list->Item(L"k299").Index();
    }
    ASSERT_TRUE(list->Remove(list->Count()).ok());  // k299
    ASSERT_TRUE(list->Remove(1).ok());              // k1
    ASSERT_EQ(list->Count(), 198);
    ASSERT_EQ(ShownCount(), 198);
    for (int i = 0; i < 300; ++i) {
        const std::wstring key = L"k" + std::to_wstring(i);
        ListItem item = list->Item(key);
        if (i % 3 == 0 || i == 1 || i == 299) {
            EXPECT_FALSE(item) << i;
            continue;
        }
        ASSERT_TRUE(item) << i;
        EXPECT_EQ(Shown(item.Index() - 1), L"Row " + std::to_wstring(i)) << i;
        EXPECT_EQ(list->Item(item.Index()).Key(), key);
    }
}

TEST_F(ListViewTest, SortsByTheMostRecentColumnItsTypeAndDirection) {
    auto size = list->AddColumn(L"Size", L"Size", 1200);
    auto when = list->AddColumn(L"Modified", L"Modified", 1200);
    ASSERT_TRUE(size && when);
    size->SetSortType(list_view::kSortNumber);
    size->SetAlignment(list_view::kAlignCenter);
    when->SetSortType(list_view::kSortDate);
    struct Row {
        const wchar_t *key, *name, *size;
        std::wstring when;
    };
    const Row rows[] = {
        {L"b", L"banana", L"1200", DateText(2024, 1, 2, 10)},
        {L"A", L"Apple", L"30", DateText(2023, 12, 31, 9)},
        {L"c", L"cherry", L"4000000", DateText(2024, 2, 1, 8)},
        {L"x", L"apple", nullptr, L"not a date"},
    };
    for (const Row& r : rows) {
        auto item = list->Add(r.key, r.name);
        ASSERT_TRUE(item);
        item->SetSubItem(2, r.size ? NumberText(r.size) : L"n/a");
        item->SetSubItem(3, r.when);
    }

    LVCOLUMNW col{LVCF_FMT};
    ASSERT_TRUE(ListView_GetColumn(list->hwnd(), 2, &col));
    EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
    EXPECT_EQ(size->Alignment(), list_view::kAlignCenter);

    // Nothing ordered yet: sorting changes nothing.
    list->Sort();
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"b", L"A", L"c", L"x"}));

    // Text ignores case (the two apples keep their order) and follows the locale, not code points.
    auto name = list->Column(L"DisplayName");
    name.SetSortOrder(list_view::kSortAscending);
    list->Sort();
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"A", L"x", L"b", L"c"}));
    EXPECT_EQ(Shown(0), L"Apple");
    EXPECT_EQ(Shown(3), L"cherry");
    name.SetSortOrder(list_view::kSortDescending);
    list->Sort();
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"c", L"b", L"A", L"x"}));
    EXPECT_EQ(name.SortOrder(), list_view::kSortDescending);
    name.SetSortOrder(9);  // not an order: ignored
    EXPECT_EQ(name.SortOrder(), list_view::kSortDescending);

    // Numbers by value, whatever the grouping; a cell that is no number comes first.
    size->SetSortOrder(list_view::kSortAscending);
    list->Sort();
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"x", L"A", L"b", L"c"}));
    EXPECT_EQ(Shown(3, 2), NumberText(L"4000000"));

    when->SetSortOrder(list_view::kSortDescending);
    list->Sort();
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"c", L"b", L"A", L"x"}));

    // With the date column back at none, the size column (still ascending) decides again.
    when->SetSortOrder(list_view::kSortNone);
    list->Sort();
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"x", L"A", L"b", L"c"}));
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(list->Item(list->Item(i).Key()).Index(), i);
    EXPECT_EQ(Shown(0), L"apple");
    EXPECT_EQ(Shown(0, 3), L"not a date");
}

TEST_F(ListViewTest, ColumnsByKeyAndTheSharedImageListsOutliveTheList) {
    EXPECT_EQ(list->Column(L"UninstallString").Index(), 2);
    EXPECT_FALSE(list->AddColumn(L"DisplayName", L"Again", 100));
    const UINT dpi = ::GetDpiForWindow(list->hwnd());
    EXPECT_EQ(ListView_GetColumnWidth(list->hwnd(), 0), ::MulDiv(2400, static_cast<int>(dpi), 1440));
    // The system's image lists are shared: the list must not destroy them when it goes.
    SHFILEINFOW info{};
    auto small = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
        L".txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
    ASSERT_TRUE(small);
    list->SetImageList(small, list_view::kSmallIcons);
    const int images = ::ImageList_GetImageCount(small);
    AddRows(3);
    list.reset();
    EXPECT_EQ(::ImageList_GetImageCount(small), images);
}

TEST_F(ListViewTest, SelectionEnsureVisibleAndInfoTips) {
    AddRows(200);
    PumpPendingMessages();
    EXPECT_FALSE(list->SelectedItem());
    ListItem row = list->Item(L"k150");
    row.SetSelected(true);
    EXPECT_TRUE(row.Selected());
    EXPECT_EQ(ListView_GetItemState(list->hwnd(), 150, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list->SelectedItem(), row);
    row.EnsureVisible();
    PumpPendingMessages();
    EXPECT_GT(ListView_GetTopIndex(list->hwnd()), 0);
    RECT item, client;
    ListView_GetItemRect(list->hwnd(), 150, &item, LVIR_BOUNDS);
    ::GetClientRect(list->hwnd(), &client);
    EXPECT_GE(item.top, 0);
    EXPECT_LE(item.bottom, client.bottom);
    row.SetSelected(false);
    EXPECT_FALSE(list->SelectedItem());

    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list->hwnd()) & LVS_EX_INFOTIP);
    list->Item(3).SetToolTipText(L"Name: Row 2\r\nPublisher: Quillfen");
    // The control's request for an info tip, as it sends it to its parent. (Wine 8's control
    // never asks on hover, so the request is made here the way Windows' control makes it.)
    auto ask = [&](int index0, int room) {
        std::wstring buf(static_cast<size_t>(room), L'#');
        NMLVGETINFOTIPW tip{};
        tip.hdr.hwndFrom = list->hwnd();
        tip.hdr.idFrom = 101;
        tip.hdr.code = LVN_GETINFOTIPW;
        tip.pszText = buf.data();
        tip.cchTextMax = room;
        tip.iItem = index0;
        ::SendMessageW(::GetParent(list->hwnd()), WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&tip));
        return std::wstring(buf.c_str());
    };
    EXPECT_EQ(ask(2, 1024), L"Name: Row 2\r\nPublisher: Quillfen");
    EXPECT_EQ(ask(2, 8), L"Name: R");   // cut to the room given, always terminated
    EXPECT_EQ(ask(4, 16).substr(0, 3), L"###");  // no tip of its own: left alone
    EXPECT_EQ(ask(999, 16).substr(0, 3), L"###");
}

TEST_F(ListViewTest, RowsAreDrawnOnceMessagesRunAndNotWhileRedrawIsOff) {
    ASSERT_TRUE(MakeForeground(host.hwnd()));
    list->SetRedraw(false);
    AddRows(5);
    PumpFor(200);
    RECT label{};
    ListView_GetItemRect(list->hwnd(), 0, &label, LVIR_LABEL);
    EXPECT_EQ(InkIn(list->hwnd(), label), 0);
    list->SetRedraw(true);
    PumpFor(200);
    EXPECT_GT(InkIn(list->hwnd(), label), 0);

    // Rows added in one go are drawn when the thread next takes its messages.
    ASSERT_TRUE(list->Add(L"extra", L"Extra row"));
    PumpFor(200);
    ListView_GetItemRect(list->hwnd(), 5, &label, LVIR_LABEL);
    EXPECT_GT(InkIn(list->hwnd(), label), 0);
}

TEST_F(ListViewTest, IconsOnDemandAreAskedOnceWhenARowIsDrawnOrRead) {
    SHFILEINFOW info{};
    auto small = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
        L".txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
    ASSERT_TRUE(small);
    list->SetImageList(small, list_view::kSmallIcons);
    std::vector<int> asked(200, 0);
    list->OnItemIcon = [&](ListItem item) {
        const int n = item.Index() - 1;
        ++asked.at(static_cast<size_t>(n));
        return n == 150 ? -5 : n % 3;
    };
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(list->Add(L"k" + std::to_wstring(i), L"Row " + std::to_wstring(i), list_view::kIconOnDemand));
    EXPECT_EQ(asked, std::vector<int>(200, 0)) << "nothing is asked before the rows are drawn";
    PumpFor(200);
    EXPECT_EQ(asked[0], 1) << "a drawn row's icon is asked for";
    EXPECT_EQ(asked[199], 0) << "a row scrolled out of sight is not";

    // Read through the ListView or from the control itself: asked once, and a negative answer is none.
    EXPECT_EQ(list->Item(L"k199").Icon(), 199 % 3);
    LVITEMW row{};
    row.mask = LVIF_IMAGE;
    row.iItem = 199;
    ASSERT_TRUE(ListView_GetItem(list->hwnd(), &row));
    EXPECT_EQ(row.iImage, 199 % 3);
    EXPECT_EQ(list->Item(L"k150").Icon(), -1);
    EXPECT_EQ(list->Item(L"k150").Icon(), -1);
    list->Item(L"k198").SetIcon(7);
    EXPECT_EQ(list->Item(L"k198").Icon(), 7);
    ListView_EnsureVisible(list->hwnd(), 199, FALSE);
    PumpFor(200);
    EXPECT_EQ(asked[198], 0) << "an icon set meanwhile is not asked for";
    for (int i : {0, 150, 199}) EXPECT_EQ(asked[static_cast<size_t>(i)], 1) << i;
}

TEST_F(ListViewTest, GroupSupportIsProbedNotAssumed) {
    // The answer must be the control's own, from a plain list-view of the same kind.
    HWND plain = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 10, 10, host.hwnd(), nullptr,
                                   nullptr, nullptr);
    ASSERT_TRUE(plain);
    ::SendMessageW(plain, LVM_ENABLEGROUPVIEW, TRUE, 0);
    const bool expected = ::SendMessageW(plain, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
    ::DestroyWindow(plain);
    EXPECT_EQ(list->GroupsSupported(), expected);
    EXPECT_EQ(ListViewSupportsGroups(list->hwnd()), expected);
    EXPECT_EQ(::SendMessageW(list->hwnd(), LVM_ISGROUPVIEWENABLED, 0, 0), 0);  // the probe put it back

    AddRows(3);
    // A group added without a position goes in front of the earlier ones, so groups added as
    // "Other", then "Z" to "A" show "A" to "Z" and then "Other".
    const int other = list->AddGroup(L"Other");
    std::vector<std::wstring> expectedOrder;
    for (wchar_t c = L'Z'; c >= L'A'; --c) list->AddGroup(std::wstring(1, c));
    for (wchar_t c = L'A'; c <= L'Z'; ++c) expectedOrder.emplace_back(1, c);
    expectedOrder.emplace_back(L"Other");
    EXPECT_EQ(list->GroupCaptions(), expectedOrder);
    const int a = list->AddGroup(L"A");
    EXPECT_GT(a, 0);
    EXPECT_NE(a, other);
    list->Item(1).SetGroup(a);
    list->Item(2).SetGroup(other);
    EXPECT_EQ(list->Item(1).Group(), a);
    EXPECT_EQ(list->Item(3).Group(), 0);
    list->Item(3).SetGroup(other + 40);  // no such group
    EXPECT_EQ(list->Item(3).Group(), 0);
    list->EnableGroups(true);
    EXPECT_EQ(list->GroupsEnabled(), expected);
    if (expected) {
        EXPECT_EQ(::SendMessageW(list->hwnd(), LVM_GETGROUPCOUNT, 0, 0), 28);
        LVITEMW item{};
        item.mask = LVIF_GROUPID;
        item.iItem = 1;
        ASSERT_TRUE(ListView_GetItem(list->hwnd(), &item));
        EXPECT_EQ(item.iGroupId, other);
    }
    list->ClearGroups();
    EXPECT_TRUE(list->GroupCaptions().empty());
    EXPECT_EQ(list->Item(1).Group(), 0);
    EXPECT_EQ(list->Count(), 3);
}
