#include "desktop_test_util.h"

#include <vector>

#include "platform/message_pump.h"
#include "remote_ui.h"

namespace ardmoor::listview_test {

bool MakeForeground(HWND hwnd) {
    ::ShowWindow(hwnd, SW_SHOW);
    ::SetForegroundWindow(hwnd);
    ::SetFocus(hwnd);
    return PumpUntil([&] { return ::GetForegroundWindow() == hwnd; }, 2000);
}

POINT CenterOnScreen(HWND hwnd, const RECT& r) {
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(hwnd, &p);
    return p;
}

void MouseAt(POINT screen, DWORD flags) {
    INPUT in = test::MouseInput(screen, flags);
    ::SendInput(1, &in, sizeof(INPUT));
}

void MiddleClickAt(POINT screen) {
    INPUT in[3] = {test::MouseInput(screen, 0), test::MouseInput(screen, MOUSEEVENTF_MIDDLEDOWN),
                   test::MouseInput(screen, MOUSEEVENTF_MIDDLEUP)};
    ::SendInput(3, in, sizeof(INPUT));
}

void PressKeyWith(WORD vk, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(k, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        // The arrows are the extended keys, not the keypad's.
        if (k == VK_LEFT || k == VK_RIGHT || k == VK_UP || k == VK_DOWN) i.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        in.push_back(i);
    };
    for (WORD m : modifiers) key(m, false);
    key(vk, false);
    key(vk, true);
    for (auto it = modifiers.end(); it != modifiers.begin();) key(*--it, true);
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

}  // namespace ardmoor::listview_test
