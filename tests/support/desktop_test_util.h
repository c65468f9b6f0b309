#pragma once
// What the list view, subclassing and window tests need on top of the shared input helpers: a
// window at the front, and a point of a window on the screen.
#include <windows.h>

#include "remote_ui.h"

namespace ardmoor::listview_test {

// Brings a top-level window of this thread to the front; true when it is the foreground window.
bool MakeForeground(HWND hwnd);

POINT CenterOnScreen(HWND hwnd, const RECT& clientRect);

}  // namespace ardmoor::listview_test
