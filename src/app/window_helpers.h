#pragma once
// Small drawing and placement helpers every window of the program uses.
#include <windows.h>

#include <string_view>

namespace ardmoor {

// Moves `window` so that it is centred on `container` (a rectangle in screen coordinates).
void CenterForm(const RECT& container, HWND window);
// Centred on the work area of the monitor the window is on (the windows call this on loading).
void CenterForm(HWND window);

// Clears `area` and draws `text` with DrawTextW into it, keeping 5 pixels free on the right.
// Windows pass DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS (32804).
void DrawPictureText(HDC dc, const RECT& area, std::wstring_view text, UINT flags);

// Clears `area` and draws an edge along it; windows pass EDGE_ETCHED (6) with BF_TOP (2).
void DrawPictureEdge(HDC dc, const RECT& area, UINT edge, UINT flags);

// Has the window paint its client area into a memory bitmap (WM_PRINTCLIENT), nothing on screen.
void PaintOffScreen(HWND window);

// Paints what is invalid in the window now, as UpdateWindow does, but the window first and then
// each child window in turn, answering the messages other threads send in between: under Wine
// one paint of a whole window full of controls keeps them waiting for tens of milliseconds.
void PaintPieceByPiece(HWND window);

}  // namespace ardmoor
