#pragma once
// How the status bar shares its width among its panels. Plain functions, no window needed.
#include <windows.h>

#include <span>
#include <vector>

namespace ardmoor {

// What the layout needs to know about one panel.
struct PanelLayoutInput {
    long minWidth = 0;
    long idealWidth = 0;
    bool fitToContents = false;
    bool spring = false;
    bool hasIcon = false;
};

// Ideal width of a panel: its text width plus 12 pixels, but at least its minimum width.
long IdealPanelWidth(long textWidth, long minWidth) noexcept;

// Room the last panel keeps for the size grip: three quarters of the control height, computed
// in twips at the given DPI as the control always has.
int SizeGripAllowance(int controlHeight, UINT dpi) noexcept;

// Right edges (pixels, one per panel) for a status window of the given client width. Each panel
// takes its ideal width when it fits its contents, else its minimum width, plus the icon width
// when it has an icon; the last also gets the size-grip allowance. When everything fits, the
// spring panel (or the last one when none springs) takes the free width; otherwise nothing
// stretches. Negative widths count as 0 and edges stop at INT_MAX.
std::vector<int> LayoutPanels(std::span<const PanelLayoutInput> panels, int clientWidth, int controlHeight,
                              UINT dpi, int iconWidth);

}  // namespace ardmoor
