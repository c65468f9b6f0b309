#include "platform/window.h"
#include "platform/caught_exception.h"

#include <exception>

namespace ardmoor {

Window::~Window() {
    // The derived part is already gone: detach first so that the messages of the destruction go
    // to the default procedure instead of a half-destroyed object.
    if (hwnd_) {
        HWND h = hwnd_;
        ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(h);
    }
}

void Window::Destroy() noexcept {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, UINT classStyle, HICON icon,
                    HBRUSH background) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof(existing)};
    if (!::GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = classStyle;
        wc.lpfnWndProc = &Window::StaticProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hbrBackground = background ? background : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = className;
        if (!::RegisterClassExW(&wc)) return false;
    }
    return ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menuOrId, instance,
                             this) != nullptr;
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

UINT Window::Dpi() const noexcept {
    if (!hwnd_) return 96;
    const UINT dpi = ::GetDpiForWindow(hwnd_);
    return dpi ? dpi : 96;
}

int Window::Scale(int pixelsAt96) const noexcept { return ::MulDiv(pixelsAt96, static_cast<int>(Dpi()), 96); }

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        self = static_cast<Window*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnMessage(msg, wp, lp, result);
    } catch (...) {
        // Nothing may unwind into the system's code; the message falls back to the default.
        ReportCaughtException(L"window procedure");
        handled = false;
    }
    if (!handled) result = ::DefWindowProcW(hwnd, msg, wp, lp);

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        try {
            self->OnDestroyed();
        } catch (...) {
            ReportCaughtException(L"window destroyed");
        }
    }
    return result;
}

int TwipsToPixels(int twips, UINT dpi) noexcept { return ::MulDiv(twips, static_cast<int>(dpi), 1440); }
int PixelsToTwips(int pixels, UINT dpi) noexcept { return ::MulDiv(pixels, 1440, static_cast<int>(dpi)); }

}  // namespace ardmoor
