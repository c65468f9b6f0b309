// The status bar's window side: creation, the status window's notifications, owner drawing,
// the size grip and the timer of the special panels.
#include "controls/status_bar/status_bar_layout.h"
#include "controls/status_bar/vbalStatusBar.h"

namespace ardmoor {

namespace {
constexpr UINT_PTR kSpecialPanelTimer = 1;
constexpr UINT kSpecialPanelInterval = 250;
constexpr UINT_PTR kStatusWindowId = 1;

COLORREF ToColorRef(DWORD color) {
    if ((color & 0xFF000000) == 0x80000000) {
        const int index = static_cast<int>(color & 0xFF);
        return index <= COLOR_MENUBAR ? ::GetSysColor(index) : ::GetSysColor(COLOR_BTNFACE);
    }
    return color & 0x00FFFFFF;
}
}  // namespace

LOGFONTW StatusFontAt(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) ||
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return metrics.lfStatusFont;
    LOGFONTW font{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}

bool vbalStatusBar::Create(HWND parent, UINT id) {
    if (hwnd() || !parent) return false;
    if (!Window::Create(L"ArdmoorStatusBar", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0,
                        0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), 0, nullptr,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    const DWORD style = WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS | (sizeGrip_ ? SBARS_SIZEGRIP : 0);
    status_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 0, hwnd(),
                                reinterpret_cast<HMENU>(kStatusWindowId), ::GetModuleHandleW(nullptr), nullptr);
    if (!status_) {
        Destroy();
        return false;
    }
    if (defaultFont_) logFont_ = StatusFontAt(Dpi());
    UniqueFont font(::CreateFontIndirectW(&logFont_));
    UseFont(font ? std::move(font) : std::move(font_));  // the constructor's font if need be
    ApplyBackColor();
    Enabled(enabled_);
    ::SendMessageW(status_, SB_SIMPLE, simpleMode_ ? TRUE : FALSE, 0);
    SendSimpleText();
    AlignToParent();
    Refresh();
    return true;
}

void vbalStatusBar::AlignToParent() {
    HWND parent = hwnd() ? ::GetParent(hwnd()) : nullptr;
    if (!parent || !status_) return;
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    RECT status{};
    ::GetWindowRect(status_, &status);
    const int height = status.bottom - status.top;
    RECT client{};
    ::GetClientRect(parent, &client);
    ::SetWindowPos(hwnd(), nullptr, 0, client.bottom - height, client.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool vbalStatusBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_SIZE:
        OnSize();
        result = 0;
        return true;
    case WM_NOTIFY:
        if (lp) OnNotify(*reinterpret_cast<const NMHDR*>(lp));
        result = 0;
        return true;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (!item || !status_ || item->hwndItem != status_) return false;
        OnDrawItem(*item);
        result = TRUE;
        return true;
    }
    case WM_TIMER:
        if (wp != kSpecialPanelTimer) return false;
        OnTimerTick();
        result = 0;
        return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (!ForwardSizeGrip(msg, wp, lp)) return false;
        result = 0;
        return true;
    case WM_DPICHANGED_AFTERPARENT:
        if (defaultFont_ && status_) {
            logFont_ = StatusFontAt(Dpi());
            UniqueFont font(::CreateFontIndirectW(&logFont_));
            if (font) UseFont(std::move(font));
        }
        result = 0;
        return true;
    case WM_DESTROY:
        if (timerRunning_) ::KillTimer(hwnd(), kSpecialPanelTimer);
        timerRunning_ = false;
        status_ = nullptr;  // goes with us; nothing is sent to it any more
        return false;
    default:
        return false;
    }
}

void vbalStatusBar::UseFont(UniqueFont font) {
    if (!font) return;
    if (status_) ::SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    if (!status_) return;
    FitHeight();
    Refresh();
}

void vbalStatusBar::ApplyBackColor() {
    if (!status_) return;
    // The default leaves the status window its own background, and a theme its look.
    const COLORREF color = backColor_ == kSystemButtonFace ? CLR_DEFAULT : ToColorRef(backColor_);
    ::SendMessageW(status_, SB_SETBKCOLOR, 0, static_cast<LPARAM>(color));
    ::InvalidateRect(status_, nullptr, TRUE);
}

bool vbalStatusBar::FitHeight() {
    if (!status_ || fittingHeight_) return false;
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    RECT status{};
    ::GetWindowRect(status_, &status);
    const int height = status.bottom - status.top;
    RECT self{};
    ::GetWindowRect(hwnd(), &self);
    if (self.bottom - self.top == height) return false;
    // Keep the bottom edge where it is; the parent sees the control grow upwards.
    POINT topLeft{self.left, self.bottom - height};
    HWND parent = ::GetParent(hwnd());
    if (parent) ::ScreenToClient(parent, &topLeft);
    fittingHeight_ = true;
    ::SetWindowPos(hwnd(), nullptr, topLeft.x, topLeft.y, self.right - self.left, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    fittingHeight_ = false;
    return true;
}

void vbalStatusBar::OnSize() {
    // A resize that changes our height comes back here with the status window's height, and lays out then.
    if (FitHeight()) return;
    Layout();
}

void vbalStatusBar::OnNotify(const NMHDR& header) {
    if (!status_ || header.hwndFrom != status_) return;
    int button = 0;
    bool doubleClick = false;
    switch (header.code) {
    case NM_CLICK:
        button = 1;
        break;
    case NM_RCLICK:
        button = 2;
        break;
    case NM_DBLCLK:
        button = 1;
        doubleClick = true;
        break;
    case NM_RDBLCLK:
        button = 2;
        doubleClick = true;
        break;
    default:
        return;
    }
    const auto& mouse = reinterpret_cast<const NMMOUSE&>(header);
    const POINT pt = mouse.pt;
    const auto handler = doubleClick ? DblClick : Click;  // the handler may replace itself
    if (handler) handler(button, pt.x, pt.y, PanelAtX(pt.x));
}

void vbalStatusBar::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const RECT rect = item.rcItem;
    long panel = 0;  // the simple text
    if (!simpleMode_) {
        if (item.itemID >= panels_.items().size()) return;
        StatusPanel& p = panels_.items()[item.itemID];
        if (IsSpecialStyle(p.style)) {
            SpecialPanelState state = ComputeSpecialPanel(p.style, CurrentLocalTime(), CurrentKeyStates());
            DrawSpecialPanel(item.hDC, rect, font_.get(), state);
            p.text = std::move(state.text);
            p.lastState = state.on;
            return;
        }
        panel = static_cast<long>(item.itemID) + 1;
    }
    const auto handler = DrawItem;
    if (handler) handler(item.hDC, panel, rect.left, rect.top, rect.right, rect.bottom);
}

void vbalStatusBar::OnTimerTick() {
    if (!status_) return;
    const KeyStates keys = CurrentKeyStates();
    const SYSTEMTIME now = CurrentLocalTime();
    bool changed = false;
    bool relayout = false;
    for (size_t i = 0; i < panels_.items().size(); ++i) {
        StatusPanel& p = panels_.items()[i];
        if (!IsSpecialStyle(p.style)) continue;
        const SpecialPanelState state = ComputeSpecialPanel(p.style, now, keys);
        if (state.text == p.text && state.on == p.lastState) continue;
        changed = true;
        if (p.fitToContents) {
            // A clock whose text grows must not be cut off.
            const long ideal = IdealPanelWidth(MeasureText(state.text), p.minWidth);
            if (ideal != p.idealWidth) {
                p.idealWidth = ideal;
                relayout = true;
            }
        }
        RECT rect{};
        if (::SendMessageW(status_, SB_GETRECT, i, reinterpret_cast<LPARAM>(&rect)))
            ::InvalidateRect(status_, &rect, TRUE);
    }
    if (relayout) Layout();
    if (changed && status_) ::UpdateWindow(status_);
}

void vbalStatusBar::UpdateTimer() {
    const bool wanted = hwnd() && panels_.AnySpecial();
    if (wanted && !timerRunning_) {
        timerRunning_ = ::SetTimer(hwnd(), kSpecialPanelTimer, kSpecialPanelInterval, nullptr) != 0;
    } else if (!wanted && timerRunning_) {
        ::KillTimer(hwnd(), kSpecialPanelTimer);
        timerRunning_ = false;
    }
}

bool vbalStatusBar::ForwardSizeGrip(UINT msg, WPARAM wp, LPARAM lp) {
    // The status window hands clicks on its grip to us; the grip sizes the top-level window,
    // never this child.
    if (wp != HTBOTTOMRIGHT && wp != HTBOTTOMLEFT) return false;
    HWND root = ::GetAncestor(hwnd(), GA_ROOT);
    if (root && root != hwnd() && (::GetWindowLongPtrW(root, GWL_STYLE) & WS_THICKFRAME) && !::IsZoomed(root))
        ::SendMessageW(root, msg, wp, lp);
    return true;
}

}  // namespace ardmoor
