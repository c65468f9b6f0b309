#pragma once
// Draws a laid-out task pane onto a DC.
#include <windows.h>

#include "controls/task_pane/task_pane_fonts.h"
#include "controls/task_pane/task_pane_layout.h"
#include "controls/task_pane/task_pane_palette.h"

namespace ardmoor {

struct TaskPanePaintState {
    int scrollY = 0;
    const TaskPaneItem* hot = nullptr;
    const TaskPaneItem* focused = nullptr;
    bool showFocus = false;  // the pane has the keyboard focus
};

// Paints the part of `client` inside `clip` (both in window client coordinates).
void PaintTaskPane(HDC dc, const RECT& client, const RECT& clip, const TaskPaneLayout& layout,
                   const TaskPaneMetrics& metrics, const TaskPanePalette& palette, const TaskPaneFonts& fonts,
                   const TaskPanePaintState& state);

}  // namespace ardmoor
