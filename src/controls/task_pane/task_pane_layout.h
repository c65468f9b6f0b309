#pragma once
// Where the task pane's bars and items go for a given width and DPI. Coordinates are content
// coordinates: x as in the window, y from the top of the content before scrolling.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/task_pane/task_pane_model.h"
#include "controls/task_pane/task_pane_text.h"

namespace ardmoor {

// Sizes of the pane's parts in pixels at one DPI.
struct TaskPaneMetrics {
    UINT dpi = 96;
    int margin = 12;         // around the bars and between them
    int headerHeight = 25;   // at least; grows with the title font
    int headerIndent = 12;   // title's distance from the header's left edge
    int cornerRadius = 5;    // header's rounded top corners
    int bodyPaddingX = 12;
    int bodyPaddingY = 10;
    int itemGap = 6;         // between the items of a bar
    int focusPadding = 1;    // focus rectangle around the item's text

    [[nodiscard]] int Scale(int pixelsAt96) const noexcept;
    // titleLineHeight: line height of the bold font at this DPI, so large fonts get tall headers.
    static TaskPaneMetrics ForDpi(UINT dpi, int titleLineHeight);
};

struct TaskPaneLineBox {
    std::wstring text;
    RECT rect{};  // width of the text, height of one line
};

struct TaskPaneItemBox {
    TaskPaneItem* item = nullptr;
    bool link = false;
    bool heading = false;
    RECT bounds{};  // around the item's lines; empty for an empty text
    std::vector<TaskPaneLineBox> lines;
};

struct TaskPaneBarBox {
    TaskPaneBar* bar = nullptr;
    RECT header{};
    RECT body{};
    std::vector<TaskPaneItemBox> items;  // one per item of the bar, in the bar's order
};

struct TaskPaneHit {
    enum class Kind { None, Header, Body, Item };
    Kind kind = Kind::None;
    size_t bar = 0;
    size_t item = 0;
    TaskPaneItem* target = nullptr;  // for Kind::Item
};

class TaskPaneLayout {
public:
    std::vector<TaskPaneBarBox> bars;  // one per bar of the model, in order
    int width = 0;
    int height = 0;  // of the whole content, bottom margin included

    // What lies under a point in content coordinates. Only an item's text counts as the item.
    [[nodiscard]] TaskPaneHit HitTest(POINT content) const noexcept;
    [[nodiscard]] const TaskPaneItemBox* Find(const TaskPaneItem* item) const noexcept;
    [[nodiscard]] const TaskPaneBarBox* Find(const TaskPaneBar* bar) const noexcept;
    // The items that take the keyboard focus (links with text), top to bottom.
    [[nodiscard]] std::vector<TaskPaneItem*> FocusableItems() const;
};

// Lays the model out for a pane `width` pixels wide.
TaskPaneLayout ComputeTaskPaneLayout(const TaskPaneModel& model, const TaskPaneMetrics& metrics, int width,
                                     TaskPaneTextMeasurer& measurer);

}  // namespace ardmoor
