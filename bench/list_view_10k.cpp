// ListView with 10,000 rows, the largest listing the main window is built for: adding rows with
// a sub-item and a ~300-character tool tip, finding every row by key, sorting both ways, removing
// one by one from the end and from the front, clearing. Each figure is set against the bare
// control doing the same work through its own messages, with drawing held off, in the same run
// (the baseline); one more line shows the bare control adding rows with drawing left on.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/list_view/list_view.h"
#include "platform/message_pump.h"

using namespace ardmoor;

namespace {

constexpr int kRows = 10000;

double Now() {
    static LARGE_INTEGER freq{};
    if (!freq.QuadPart) ::QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

struct Row {
    std::wstring key, name, path, tip;
};

// Names in no particular order, so that the sort has work to do.
std::vector<Row> MakeRows() {
    std::vector<Row> rows;
    rows.reserve(kRows);
    unsigned seed = 12345;
    for (int i = 0; i < kRows; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = (seed >> 8) % 1000000u;
        Row row;
        row.key = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{" +
                  std::to_wstring(r) + L"-" + std::to_wstring(i) + L"}";
        row.name = std::wstring(1, static_cast<wchar_t>(L'A' + r % 26)) + L"program " + std::to_wstring(r);
        row.path = L"C:\\Program Files\\Vendor " + std::to_wstring(r) + L"\\uninstall.exe /S";
        row.tip = L"Name: " + row.name + L"\r\nPublisher: Vendor " + std::to_wstring(r) +
                  L"\r\nVersion: 1.2.3.4\r\nHelp Link: https://example.invalid/support/product/" +
                  std::to_wstring(r) + L"\r\nInstall Date: 20240131\r\nInstall Location: C:\\Program Files\\Vendor " +
                  std::to_wstring(r) + L"\\\r\nUninstall Path: " + row.path;
        row.tip.resize(300, L' ');
        rows.push_back(std::move(row));
    }
    return rows;
}

void Report(const char* what, double ours, double baseline) {
    if (baseline > 0)
        std::printf("%-34s %9.1f ms   baseline %9.1f ms   ratio %5.2f\n", what, ours, baseline, ours / baseline);
    else
        std::printf("%-34s %9.1f ms\n", what, ours);
}

size_t WorkingSetKb() {
    PROCESS_MEMORY_COUNTERS pmc{sizeof(pmc)};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.WorkingSetSize / 1024;
}

HWND MakeHost() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ArdmoorBenchHost";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                             wc.hInstance, nullptr);
}

// The bare control, driven through its own messages: what our layer adds to.
struct Baseline {
    double add = 0, addDrawing = 0, find = 0, sort = 0, removeEnd = 0, removeFront = 0, clear = 0;
};

int CALLBACK CompareByText(LPARAM a, LPARAM b, LPARAM list) {
    wchar_t ta[260], tb[260];
    ListView_GetItemText(reinterpret_cast<HWND>(list), static_cast<int>(a), 0, ta, 260);
    ListView_GetItemText(reinterpret_cast<HWND>(list), static_cast<int>(b), 0, tb, 260);
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, ta, -1, tb, -1, nullptr, nullptr, 0) - 2;
}

void FillBare(HWND lv, const std::vector<Row>& rows) {
    for (int i = 0; i < kRows; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(rows[i].name.c_str());
        item.lParam = i;
        const int at = ListView_InsertItem(lv, &item);
        ListView_SetItemText(lv, at, 1, const_cast<wchar_t*>(rows[i].path.c_str()));
    }
}

Baseline RunBaseline(HWND host, const std::vector<Row>& rows) {
    Baseline b;
    HWND lv = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0, 700, 500,
                                host, nullptr, nullptr, nullptr);
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH};
    col.cx = 200;
    col.pszText = const_cast<wchar_t*>(L"Name");
    ListView_InsertColumn(lv, 0, &col);
    col.pszText = const_cast<wchar_t*>(L"Uninstall Path");
    ListView_InsertColumn(lv, 1, &col);

    double t = Now();
    FillBare(lv, rows);
    b.addDrawing = Now() - t;
    ListView_DeleteAllItems(lv);
    ::SendMessageW(lv, WM_SETREDRAW, FALSE, 0);

    t = Now();
    FillBare(lv, rows);
    b.add = Now() - t;

    // Finding by key with the control alone is a scan per lookup: time 500 and scale up.
    t = Now();
    for (int i = 0; i < 500; ++i) {
        LVFINDINFOW fi{LVFI_PARAM};
        fi.lParam = (i * 20) % kRows;
        ListView_FindItem(lv, -1, &fi);
    }
    b.find = (Now() - t) * (kRows / 500.0);

    t = Now();
    ListView_SortItemsEx(lv, CompareByText, reinterpret_cast<LPARAM>(lv));
    b.sort = Now() - t;

    t = Now();
    for (int i = kRows - 1; i >= 0; --i) ListView_DeleteItem(lv, i);
    b.removeEnd = Now() - t;

    FillBare(lv, rows);
    t = Now();
    for (int i = 0; i < kRows; ++i) ListView_DeleteItem(lv, 0);
    b.removeFront = Now() - t;

    FillBare(lv, rows);
    t = Now();
    ListView_DeleteAllItems(lv);
    b.clear = Now() - t;
    ::DestroyWindow(lv);
    return b;
}

void Fill(ListView& list, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        auto item = list.Add(row.key, row.name, 0);
        if (!item) continue;
        item->SetSubItem(1, row.path);
        item->SetToolTipText(row.tip);
    }
}

}  // namespace

int wmain() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    const std::vector<Row> rows = MakeRows();
    HWND host = MakeHost();
    if (!host) {
        std::printf("no window\n");
        return 1;
    }
    // Memory first, while the process heap is fresh.
    size_t memory = 0;
    {
        const size_t before = WorkingSetKb();
        ListView first;
        ListViewStyle hidden;
        hidden.visible = false;
        if (first.Create(host, 99, hidden).ok() && first.AddColumn(L"DisplayName", L"Name", 3000) &&
            first.AddColumn(L"UninstallString", L"Uninstall Path", 7200)) {
            Fill(first, rows);
            memory = WorkingSetKb() - before;
        }
    }
    const Baseline base = RunBaseline(host, rows);

    ListView list;
    ListViewStyle style;
    style.visible = false;
    if (!list.Create(host, 100, style).ok()) {
        std::printf("no list view\n");
        return 1;
    }
    if (!list.AddColumn(L"DisplayName", L"Name", 3000) || !list.AddColumn(L"UninstallString", L"Uninstall Path", 7200)) {
        std::printf("no columns\n");
        return 1;
    }

    std::printf("ListView, %d rows (baseline: the bare control through its messages, drawing held)\n", kRows);
    double t = Now();
    Fill(list, rows);
    Report("add with sub-item and tool tip", Now() - t, base.add);
    Report("  bare control adding, drawing on", base.addDrawing, 0);
    std::printf("%-34s %9zu KB (the control's rows and ours, measured first in a fresh process)\n",
                "working set added by 10,000 rows", memory);

    t = Now();
    long long indexSum = 0;
    for (const Row& row : rows) indexSum += list.Item(row.key).Index();
    Report("find by key (and read index)", Now() - t, base.find);
    if (indexSum != static_cast<long long>(kRows) * (kRows + 1) / 2) std::printf("  WRONG index sum %lld\n", indexSum);

    auto name = list.Column(L"DisplayName");
    t = Now();
    name.SetSortOrder(list_view::kSortAscending);
    list.Sort();
    const double ascending = Now() - t;
    Report("sort ascending (text)", ascending, base.sort);
    t = Now();
    name.SetSortOrder(list_view::kSortDescending);
    list.Sort();
    Report("sort descending (text)", Now() - t, base.sort);

    t = Now();
    for (const Row& row : rows) indexSum -= list.Item(row.key).Index();
    Report("find by key after sort", Now() - t, 0);

    t = Now();
    for (int i = list.Count(); i >= 1; --i) (void)list.Remove(i);
    Report("remove one by one from the end", Now() - t, base.removeEnd);

    Fill(list, rows);
    t = Now();
    while (list.Count() > 0) (void)list.Remove(1);
    Report("remove one by one from the front", Now() - t, base.removeFront);

    Fill(list, rows);
    t = Now();
    list.Clear();
    Report("clear", Now() - t, base.clear);

    PumpPendingMessages();
    ::DestroyWindow(host);
    return 0;
}
