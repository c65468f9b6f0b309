#include "app/title_strip.h"

#include "app/window_helpers.h"
#include "resource_ids.h"

namespace ardmoor {

namespace {
constexpr int kLogoSize = 48;
constexpr int kLogoMargin = 12;  // 180 twips at 96 DPI
}  // namespace

bool TitleStrip::Create(HWND parent, int id) {
    if (!Window::Create(L"ArdmoorTitleStrip", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 100, 60, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), CS_HREDRAW | CS_VREDRAW, nullptr,
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)))
        return false;
    MakeFonts();
    return true;
}

void TitleStrip::MakeFonts() {
    const UINT dpi = Dpi();
    NONCLIENTMETRICSW ncm{sizeof(ncm)};
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0, dpi);
    LOGFONTW lf = ncm.lfMessageFont;
    lf.lfHeight = -::MulDiv(14, static_cast<int>(dpi), 72);
    lf.lfWeight = FW_BOLD;
    titleFont_.reset(::CreateFontIndirectW(&lf));
    lf = ncm.lfMessageFont;
    subtitleFont_.reset(::CreateFontIndirectW(&lf));
    const int size = Scale(kLogoSize);
    logo_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ARDMOOR),
                                                IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

int TitleStrip::PreferredHeight() const { return Scale(kLogoSize + 16); }

RECT TitleStrip::LogoRect() const {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int size = Scale(kLogoSize);
    const int left = client.right - (size + Scale(kLogoMargin));
    const int top = (client.bottom - size) / 2;
    return {left, top, left + size, top + size};
}

void TitleStrip::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    const RECT logo = LogoRect();
    const int pad = Scale(12);
    RECT text{pad, Scale(8), logo.left - pad, client.bottom / 2 + Scale(4)};
    {
        SelectGuard font(dc, titleFont_.get());
        ::DrawTextW(dc, kProductName, -1, &text, DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    text.top = text.bottom + Scale(2);
    text.bottom = client.bottom - Scale(4);
    {
        SelectGuard font(dc, subtitleFont_.get());
        ::DrawTextW(dc, kSubtitle, -1, &text, DT_SINGLELINE | DT_TOP | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    if (logo_) ::DrawIconEx(dc, logo.left, logo.top, logo_.get(), logo.right - logo.left, logo.bottom - logo.top, 0,
                            nullptr, DI_NORMAL);
    RECT edge{client.left, client.bottom - 2, client.right, client.bottom};
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_BOTTOM);
}

bool TitleStrip::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_PAINT: {
        Paint(PaintDc(hwnd()).get());
        return true;
    }
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SETCURSOR: {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(hwnd(), &pt);
        const RECT logo = LogoRect();
        if (::PtInRect(&logo, pt)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_LBUTTONUP: {
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        const RECT logo = LogoRect();
        if (::PtInRect(&logo, pt) && OnLogoClick) OnLogoClick();
        return true;
    }
    case WM_DPICHANGED_AFTERPARENT:
        MakeFonts();
        ::InvalidateRect(hwnd(), nullptr, TRUE);
        return true;
    default:
        return false;
    }
}

}  // namespace ardmoor
