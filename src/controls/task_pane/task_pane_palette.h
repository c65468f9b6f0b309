#pragma once
// The task pane's colours, taken from the system's colour scheme.
#include <windows.h>

#include <functional>

namespace ardmoor {

struct TaskPanePalette {
    COLORREF paneTop = 0;      // pane background, a vertical gradient
    COLORREF paneBottom = 0;
    COLORREF headerLeft = 0;   // a bar's header, a horizontal gradient
    COLORREF headerRight = 0;
    COLORREF headerText = 0;
    COLORREF specialLeft = 0;  // the special bar's header
    COLORREF specialRight = 0;
    COLORREF specialText = 0;
    COLORREF body = 0;
    COLORREF specialBody = 0;
    COLORREF border = 0;       // around a bar's body
    COLORREF link = 0;
    COLORREF linkHot = 0;
    COLORREF text = 0;         // plain text and heading items

    // Reads the current scheme (GetSysColor) and whether high contrast is on.
    static TaskPanePalette FromSystem();
    // Builds the palette from any colour source (the argument is a COLOR_* index). In high
    // contrast the scheme's colours are used as they are, never blended; in both cases a text
    // colour that would be hard to read on its background is replaced by one that is not.
    static TaskPanePalette Make(bool highContrast, const std::function<COLORREF(int)>& sysColor);
};

// Contrast ratio of two colours as the web's accessibility guidelines define it (1 to 21).
double ContrastRatio(COLORREF a, COLORREF b) noexcept;
// a * (1 - t) + b * t, per channel.
COLORREF BlendColor(COLORREF a, COLORREF b, double t) noexcept;

}  // namespace ardmoor
