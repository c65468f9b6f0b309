#include "desktop_input.h"

#include "platform/message_pump.h"

namespace ardmoor::test {

namespace {

void SendOne(INPUT input) {
    ::SendInput(1, &input, sizeof(INPUT));
}

void Key(WORD vk, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME || vk == VK_END ||
        vk == VK_PRIOR || vk == VK_NEXT || vk == VK_DELETE || vk == VK_INSERT)
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendOne(in);
}

}  // namespace

bool MakeForeground(HWND hwnd) {
    ::ShowWindow(hwnd, SW_SHOW);
    ::SetForegroundWindow(hwnd);
    ::SetActiveWindow(hwnd);
    ::SetFocus(hwnd);
    return PumpUntil([&] { return ::GetForegroundWindow() == hwnd; }, 2000);
}

POINT ClientToScreenPoint(HWND hwnd, POINT client) {
    ::ClientToScreen(hwnd, &client);
    return client;
}

POINT CenterOf(HWND hwnd, const RECT& r) {
    return ClientToScreenPoint(hwnd, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

namespace {
// Absolute coordinates in SendInput's 0..65535 range.
void ToAbsolute(POINT screen, INPUT& in) {
    // The system maps back with x = dx * width / 65536: the smallest dx that lands on x.
    const long long w = ::GetSystemMetrics(SM_CXSCREEN);
    const long long h = ::GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((screen.x * 65536LL + w - 1) / w);
    in.mi.dy = static_cast<LONG>((screen.y * 65536LL + h - 1) / h);
    in.mi.dwFlags |= MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
}
}  // namespace

void MoveMouseTo(POINT screen) {
    auto there = [&] {
        POINT now{};
        ::GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    };
    // The pointer must be there, and stay there, before a button goes down: under Wine a late
    // echo of an earlier move can put it back where it was.
    for (int attempt = 0; attempt < 5; ++attempt) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        ToAbsolute(screen, in);
        SendOne(in);
        if (!PumpUntil(there, 500)) continue;
        PumpFor(40);
        if (there()) return;
    }
}

void MouseButton(int button, bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    switch (button) {
        case VK_RBUTTON: in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP; break;
        case VK_MBUTTON: in.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP; break;
        default: in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP; break;
    }
    SendOne(in);
}

void ClickAt(POINT screen, int button) {
    MoveMouseTo(screen);
    MouseButton(button, true);
    MouseButton(button, false);
    PumpFor(60);
}

void DoubleClickAt(POINT screen) {
    MoveMouseTo(screen);
    for (int i = 0; i < 2; ++i) {
        MouseButton(VK_LBUTTON, true);
        MouseButton(VK_LBUTTON, false);
    }
    PumpFor(60);
}

void PressKey(WORD vk, std::initializer_list<WORD> modifiers) {
    for (WORD m : modifiers) Key(m, true);
    Key(vk, true);
    Key(vk, false);
    for (auto it = modifiers.end(); it != modifiers.begin();) Key(*--it, false);
    PumpFor(60);
}

void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        PumpPendingMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount64() < end);
    PumpPendingMessages();
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPendingMessages();
        if (done()) return true;
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace ardmoor::test
