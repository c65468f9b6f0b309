#include "app/window_helpers.h"

#include "platform/message_pump.h"
#include "platform/unique_handle.h"

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

void PaintOffScreen(HWND window) {
    RECT client{};
    if (!window || !::GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return;
    const WindowDc screen(window);
    if (!screen.get()) return;
    const UniqueDc memory(::CreateCompatibleDC(screen.get()));
    const UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    if (!memory || !bitmap) return;
    const SelectGuard selected(memory.get(), bitmap.get());
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
}

void PaintPieceByPiece(HWND window) {
    AnswerSentMessages();
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
    // An answer may destroy a child; the walk then simply ends.
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        AnswerSentMessages();
        ::RedrawWindow(child, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

}  // namespace ardmoor
