#include "install/wizard_controls.h"

#include <algorithm>
#include <cmath>

#include "app/window_helpers.h"
#include "resource_ids.h"

namespace ardmoor {

namespace {
HMENU IdOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }
}  // namespace

// ---- panel ----

bool WizardPanel::Create(HWND parent, int id, const RECT& rect, bool etchedTop) {
    etchedTop_ = etchedTop;
    return Window::Create(L"ArdmoorWizardPanel", L"", WS_CHILD | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, IdOf(id),
                          CS_HREDRAW | CS_VREDRAW, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

bool WizardPanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
        result = ::SendMessageW(::GetAncestor(hwnd(), GA_ROOT), msg, wp, lp);
        return true;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wp);
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    case WM_PAINT: {
        PaintDc paint(hwnd());
        if (etchedTop_) DrawPictureEdge(paint.get(), paint.client(), EDGE_ETCHED, BF_TOP);
        return true;
    }
    default:
        return false;
    }
}

// ---- one-line text ----

bool PictureText::Create(HWND parent, int id, const RECT& rect, UINT flags) {
    flags_ = flags;
    font_ = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    return Window::Create(L"ArdmoorPictureText", L"", WS_CHILD | WS_VISIBLE, 0, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, parent, IdOf(id), CS_HREDRAW | CS_VREDRAW,
                          nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

void PictureText::SetText(const std::wstring& text) {
    if (hwnd()) ::SetWindowTextW(hwnd(), text.c_str());
}

bool PictureText::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_SETTEXT:
        result = DefaultProc(msg, wp, lp);
        ::InvalidateRect(hwnd(), nullptr, FALSE);
        return true;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wp);
        if (LOWORD(lp)) ::InvalidateRect(hwnd(), nullptr, FALSE);
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    case WM_ERASEBKGND:
        result = 1;  // painted whole in WM_PAINT
        return true;
    case WM_PAINT: {
        PaintDc paint(hwnd());
        HDC dc = paint.get();
        const int n = ::GetWindowTextLengthW(hwnd());
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(hwnd(), text.data(), n + 1)));
        SelectGuard font(dc, font_);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        DrawPictureText(dc, paint.client(), text, flags_);
        return true;
    }
    default:
        return false;
    }
}

// ---- side picture ----

bool SidePicture::Create(HWND parent, int id, const RECT& rect) {
    if (!Window::Create(L"ArdmoorWizardPicture", L"", WS_CHILD | WS_VISIBLE, 0, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent, IdOf(id), CS_HREDRAW | CS_VREDRAW))
        return false;
    const int size = Scale(48);
    icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ARDMOOR), IMAGE_ICON,
                                                size, size, LR_DEFAULTCOLOR)));
    return true;
}

bool SidePicture::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (msg != WM_PAINT) return false;
    PaintDc paint(hwnd());
    HDC dc = paint.get();
    const RECT& r = paint.client();
    // Drawn off screen, then copied: no flicker when the wizard repaints.
    UniqueDc memory(::CreateCompatibleDC(dc));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(dc, std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1)));
    if (memory && bitmap) {
        SelectGuard select(memory.get(), bitmap.get());
        Paint(memory.get(), r);
        ::BitBlt(dc, 0, 0, r.right, r.bottom, memory.get(), 0, 0, SRCCOPY);
    }
    return true;
}

// Night-blue sky over a disc and an opened box, the program's icon at the top.
void SidePicture::Paint(HDC dc, const RECT& area) {
    const int w = area.right, h = area.bottom;
    constexpr int kBands = 48;
    for (int i = 0; i < kBands; ++i) {
        const RECT band{0, h * i / kBands, w, h * (i + 1) / kBands};
        UniqueBrush brush(::CreateSolidBrush(RGB(20 + 58 * i / kBands, 40 + 100 * i / kBands, 96 + 120 * i / kBands)));
        ::FillRect(dc, &band, brush.get());
    }

    // A disc: silver rings round a hole, lit by a pale arc.
    const int cx = w / 2, cy = h * 58 / 100, radius = std::min(w * 36 / 100, h / 4);
    UniquePen none(::CreatePen(PS_NULL, 0, 0));
    SelectGuard pen(dc, none.get());
    const COLORREF rings[] = {RGB(150, 160, 185), RGB(205, 212, 228), RGB(232, 236, 245), RGB(180, 190, 210)};
    for (int i = 0; i < 4; ++i) {
        const int rr = radius - i * radius / 5;
        UniqueBrush brush(::CreateSolidBrush(rings[i]));
        SelectGuard b(dc, brush.get());
        ::Ellipse(dc, cx - rr, cy - rr, cx + rr, cy + rr);
    }
    UniqueBrush hole(::CreateSolidBrush(RGB(40, 80, 160)));
    {
        SelectGuard b(dc, hole.get());
        const int hr = std::max(radius / 6, 2);
        ::Ellipse(dc, cx - hr, cy - hr, cx + hr, cy + hr);
    }
    UniquePen glint(::CreatePen(PS_SOLID, std::max(Scale(2), 1), RGB(255, 255, 255)));
    {
        SelectGuard p(dc, glint.get());
        const int gr = radius * 3 / 4;
        ::Arc(dc, cx - gr, cy - gr, cx + gr, cy + gr, cx + gr, cy - gr / 3, cx - gr / 3, cy - gr);
    }

    // An open cardboard box in front of the disc's lower edge.
    const int bw = radius * 2 * 85 / 100, bh = radius * 9 / 10;
    const int left = cx - bw / 2, top = cy + radius * 55 / 100;
    UniqueBrush side(::CreateSolidBrush(RGB(196, 152, 96)));
    UniqueBrush flap(::CreateSolidBrush(RGB(150, 108, 58)));
    UniquePen edge(::CreatePen(PS_SOLID, 1, RGB(110, 76, 38)));
    SelectGuard edgePen(dc, edge.get());
    {
        SelectGuard b(dc, side.get());
        ::Rectangle(dc, left, top, left + bw, top + bh);
    }
    {
        SelectGuard b(dc, flap.get());
        const POINT leftFlap[] = {{left, top}, {left + bw / 2, top}, {left + bw / 3, top - bh / 3}, {left - bw / 6, top - bh / 4}};
        const POINT rightFlap[] = {{left + bw / 2, top}, {left + bw, top}, {left + bw + bw / 6, top - bh / 4},
                                   {left + bw * 2 / 3, top - bh / 3}};
        ::Polygon(dc, leftFlap, 4);
        ::Polygon(dc, rightFlap, 4);
    }

    if (icon_) {
        const int size = Scale(48);
        ::DrawIconEx(dc, (w - size) / 2, Scale(24), icon_.get(), size, size, 0, nullptr, DI_NORMAL);
    }
}

}  // namespace ardmoor
