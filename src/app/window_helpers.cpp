#include "app/window_helpers.h"

namespace ardmoor {

void CenterForm(const RECT& container, HWND window) {
    RECT r{};
    if (!::GetWindowRect(window, &r)) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int left = container.left + ((container.right - container.left) - w) / 2;
    const int top = container.top + ((container.bottom - container.top) - h) / 2;
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterForm(HWND window) {
    MONITORINFO mi{sizeof(mi)};
    if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &mi)) CenterForm(mi.rcWork, window);
}

void DrawPictureText(HDC dc, const RECT& area, std::wstring_view text, UINT flags) {
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT r{area.left, area.top, area.right - 5, area.bottom};
    if (r.right < r.left) r.right = r.left;
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, flags);
}

void DrawPictureEdge(HDC dc, const RECT& area, UINT edge, UINT flags) {
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT r = area;
    ::DrawEdge(dc, &r, edge, flags);
}

}  // namespace ardmoor
