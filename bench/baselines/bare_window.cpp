// Baseline W of the refresh benchmark: registers a class, creates a window with a virtual
// (owner-data) list view of N rows and shows it; no registry work. Closes on WM_CLOSE.
//   baseline_window.exe N
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

namespace {
HWND g_list = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (g_list) ::MoveWindow(g_list, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
        if (info->hdr.code == LVN_GETDISPINFOW && (info->item.mask & LVIF_TEXT)) {
            std::swprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), L"Row %d", info->item.iItem);
        }
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int show) {
    const int rows = _wtoi(args);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"ArdmoorBenchBareWindow";
    ::RegisterClassExW(&wc);
    HWND main = ::CreateWindowExW(0, wc.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  900, 620, nullptr, nullptr, instance, nullptr);
    g_list = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_OWNERDATA | LVS_AUTOARRANGE, 0, 0, 100, 100,
                               main, nullptr, instance, nullptr);
    ::SendMessageW(g_list, LVM_SETITEMCOUNT, rows, 0);
    RECT r{};
    ::GetClientRect(main, &r);
    ::MoveWindow(g_list, 0, 0, r.right, r.bottom, TRUE);
    ::ShowWindow(main, show);
    ::UpdateWindow(main);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
