#include "properties/picture_area.h"

#include "app/window_helpers.h"
#include "platform/unique_handle.h"

namespace ardmoor {

namespace {
constexpr UINT kTextFlags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;  // 32804 and no prefix
constexpr int kRightRoom = 5;  // DrawPictureText keeps this many pixels free on the right

// The system's link colour in high contrast; otherwise the usual link blue (some themes make the
// system's hot-tracking colour a pale grey that reads as disabled).
COLORREF LinkColour() {
    HIGHCONTRASTW contrast{sizeof(contrast)};
    if (::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return ::GetSysColor(COLOR_HOTLIGHT);
    return RGB(0, 102, 204);
}
}  // namespace

bool PictureArea::Create(HWND parent, int id, int x, int y, int w, int h, HFONT font) {
    font_ = font;
    return Window::Create(L"ArdmoorPictureArea", L"", WS_CHILD | WS_VISIBLE, 0, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), CS_HREDRAW | CS_VREDRAW, nullptr,
                          reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

void PictureArea::SetText(std::wstring_view text) {
    text_.assign(text);
    ::SetWindowTextW(hwnd(), text_.c_str());
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void PictureArea::SetLink(bool link) {
    if (link_ == link) return;
    link_ = link;
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void PictureArea::SetFont(HFONT font) {
    font_ = font;
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

int PictureArea::TextWidth(std::wstring_view text) const {
    if (text.empty()) return 0;
    WindowDc dc(hwnd());
    SelectGuard font(dc.get(), font_);
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc.get(), text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    return r.right - r.left + kRightRoom;
}

void PictureArea::SetWidth(int width) {
    RECT r{};
    ::GetClientRect(hwnd(), &r);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, width < 0 ? 0 : width, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PictureArea::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    SelectGuard font(dc, font_);
    ::SetTextColor(dc, link_ ? LinkColour() : ::GetSysColor(COLOR_BTNTEXT));
    DrawPictureText(dc, client, text_, kTextFlags);
}

bool PictureArea::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_PAINT: {
        Paint(PaintDc(hwnd()).get());
        return true;
    }
    case WM_ERASEBKGND:
        result = 1;  // Paint fills all of it
        return true;
    case WM_SETCURSOR:
        if (!link_) return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        result = TRUE;
        return true;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        ::SetCapture(hwnd());
        return true;
    case WM_LBUTTONUP: {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (::GetCapture() == hwnd()) ::ReleaseCapture();
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        // A click is a press and a release both on the area, as with a button.
        if (wasPressed && ::PtInRect(&client, pt) && OnClick) OnClick();
        return true;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return true;
    default:
        return false;
    }
}

}  // namespace ardmoor
