#include "platform/message_pump.h"

#include <windows.h>

namespace ardmoor {

namespace {
// Keyboard navigation (Tab, arrows) for the window that owns the message, dialog-style.
bool TranslateForDialog(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && (::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT))
        return ::IsDialogMessageW(root, &msg) != FALSE;
    return false;
}
}  // namespace

bool PumpPendingMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (TranslateForDialog(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

void AnswerSentMessages() {
    MSG msg;
    (void)::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

PumpThrottle::PumpThrottle(unsigned intervalMs) : interval_(intervalMs), last_(::GetTickCount64()) {}

bool PumpThrottle::Tick() {
    const unsigned long long now = ::GetTickCount64();
    if (now - last_ < interval_) return true;
    const bool alive = PumpPendingMessages();
    last_ = ::GetTickCount64();
    return alive;
}

int RunMessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateForDialog(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace ardmoor
