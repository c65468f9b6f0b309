#include "platform/modal_window.h"
#include "platform/caught_exception.h"

#include "platform/message_pump.h"

namespace ardmoor {

namespace {
constexpr const wchar_t* kModalClass = L"ArdmoorModalWindow";

UniqueFont MessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{sizeof(metrics)};
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) &&
        !::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return UniqueFont(static_cast<HFONT>(nullptr));
    return UniqueFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

// Centred on the work area of the owner's monitor (the primary one without an owner).
void CenterOnMonitor(HWND window, HWND owner) {
    HMONITOR monitor = ::MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{sizeof(info)};
    if (!::GetMonitorInfoW(monitor, &info)) return;
    RECT r{};
    ::GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const RECT& area = info.rcWork;
    ::SetWindowPos(window, nullptr, area.left + (area.right - area.left - w) / 2,
                   area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

ModalWindow::ModalWindow(std::wstring caption, int clientWidth, int clientHeight, DWORD style, DWORD exStyle)
    : caption_(std::move(caption)), clientWidth_(clientWidth), clientHeight_(clientHeight), style_(style),
      exStyle_(exStyle | WS_EX_CONTROLPARENT) {}

bool ModalWindow::ShowModal(HWND owner) {
    owner_ = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (!Create(kModalClass, caption_.c_str(), style_, exStyle_, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner_,
                nullptr, CS_HREDRAW | CS_VREDRAW, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    font_ = MessageFont(Dpi());
    RECT frame{0, 0, Scale(clientWidth_), Scale(clientHeight_)};
    ::AdjustWindowRectExForDpi(&frame, style_, FALSE, exStyle_, Dpi());
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    bool built = false;
    try {
        built = OnCreate();
    } catch (...) {
        ReportCaughtException(L"dialog creation");
        built = false;
    }
    if (!built) {
        Destroy();
        return false;
    }
    CenterOnMonitor(hwnd(), owner_);

    // Modal: the owner takes no input until this window has gone.
    const bool ownerWasEnabled = owner_ && ::IsWindowEnabled(owner_);
    if (ownerWasEnabled) ::EnableWindow(owner_, FALSE);
    running_ = true;
    ::ShowWindow(hwnd(), SW_SHOW);
    ::UpdateWindow(hwnd());
    MSG msg;
    while (running_ && hwnd()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (hwnd() && ::IsDialogMessageW(hwnd(), &msg)) continue;
        // Messages of other windows (a nested window, the owner's painting) go through the one pump rule.
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    running_ = false;
    // Re-enable the owner before this window goes, so that activation returns to it.
    if (ownerWasEnabled) ::EnableWindow(owner_, TRUE);
    Destroy();
    if (owner_ && ::IsWindow(owner_)) ::SetActiveWindow(owner_);
    return true;
}

void ModalWindow::EndModal() noexcept {
    running_ = false;
    // Wakes the loop if the call came from outside a message of this window.
    if (hwnd()) ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

HWND ModalWindow::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w, int h,
                             int id, DWORD exStyle) {
    HWND control = ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y),
                                     Scale(w), Scale(h), hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    if (control && font_) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

bool ModalWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case DM_GETDEFID:
        if (const int id = DefaultButtonId()) {
            result = MAKELRESULT(id, DC_HASDEFID);
            return true;
        }
        return false;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return true;
    case WM_CLOSE:
        try {
            OnClose();
        } catch (...) {
            ::OutputDebugStringW(L"ModalWindow: OnClose failed; the window closes anyway\n");
        }
        EndModal();
        return true;
    default:
        return OnWindowMessage(msg, wp, lp, result);
    }
}

}  // namespace ardmoor
