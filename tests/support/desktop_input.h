#pragma once
// Real input for tests that drive windows: mouse and keyboard through SendInput, at screen
// coordinates, plus waiting with the message pump running.
#include <windows.h>

#include <functional>
#include <initializer_list>

namespace ardmoor::test {

// Brings a top-level window of this thread to the front and gives it the keyboard; true when
// it is the foreground window afterwards.
bool MakeForeground(HWND hwnd);

// A point of a window's client area in screen coordinates.
POINT ClientToScreenPoint(HWND hwnd, POINT client);
POINT CenterOf(HWND hwnd, const RECT& clientRect);

void MoveMouseTo(POINT screen);
// Buttons: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON.
void MouseButton(int button, bool down);
void ClickAt(POINT screen, int button = VK_LBUTTON);
void DoubleClickAt(POINT screen);
// Presses and releases a key, with modifier keys (VK_SHIFT, VK_CONTROL, VK_MENU) held around it.
void PressKey(WORD vk, std::initializer_list<WORD> modifiers = {});

// Lets messages run for a while, or until `done` says yes; false on timeout.
void PumpFor(DWORD milliseconds);
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

}  // namespace ardmoor::test
