#pragma once
// What the list view and subclassing tests need on top of the shared input helpers: a window at
// the front, waiting with messages running, single mouse buttons and keys with modifiers.
#include <windows.h>

#include <functional>
#include <initializer_list>

#include "remote_ui.h"

namespace ardmoor::listview_test {

// Brings a top-level window of this thread to the front; true when it is the foreground window.
bool MakeForeground(HWND hwnd);

POINT CenterOnScreen(HWND hwnd, const RECT& clientRect);

// One mouse event at a screen position: a move, or a button going down or up
// (MOUSEEVENTF_LEFTDOWN, ...), each carrying its own position.
void MouseAt(POINT screen, DWORD flags = 0);
void MiddleClickAt(POINT screen);
// Presses and releases a key with modifier keys (VK_SHIFT, VK_CONTROL, VK_MENU) held around it.
void PressKeyWith(WORD vk, std::initializer_list<WORD> modifiers = {});

using test::PumpFor;
using test::PumpUntil;
using test::SettleInput;

}  // namespace ardmoor::listview_test
