#include "desktop_test_util.h"

namespace ardmoor::listview_test {

bool MakeForeground(HWND hwnd) {
    ::ShowWindow(hwnd, SW_SHOW);
    ::SetForegroundWindow(hwnd);
    ::SetFocus(hwnd);
    return test::PumpUntil([&] { return ::GetForegroundWindow() == hwnd; }, 2000);
}

POINT CenterOnScreen(HWND hwnd, const RECT& r) {
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(hwnd, &p);
    return p;
}

}  // namespace ardmoor::listview_test
