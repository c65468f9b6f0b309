#pragma once
// The task pane's fonts (the system's message font, scaled to the window's DPI) and the text
// measurer that lays out with them.
#include <windows.h>

#include "controls/task_pane/task_pane_text.h"
#include "platform/unique_handle.h"

namespace ardmoor {

class TaskPaneFonts {
public:
    // The message font of the system's non-client metrics at `dpi`, with bold and underlined
    // variants.
    static TaskPaneFonts ForDpi(UINT dpi);

    [[nodiscard]] HFONT Normal() const noexcept { return normal_.get(); }
    [[nodiscard]] HFONT Underlined() const noexcept { return underlined_.get(); }
    [[nodiscard]] HFONT Bold() const noexcept { return bold_.get(); }
    [[nodiscard]] HFONT Get(TaskPaneFontKind kind) const noexcept { return kind == TaskPaneFontKind::Bold ? Bold() : Normal(); }
    [[nodiscard]] UINT Dpi() const noexcept { return dpi_; }

private:
    UniqueFont normal_;
    UniqueFont underlined_;
    UniqueFont bold_;
    UINT dpi_ = 96;
};

// Measures with GDI on a memory DC, the same way the pane draws.
class GdiTextMeasurer final : public TaskPaneTextMeasurer {
public:
    explicit GdiTextMeasurer(const TaskPaneFonts& fonts);
    int LineHeight(TaskPaneFontKind font) override;
    void PrefixWidths(std::wstring_view text, TaskPaneFontKind font, std::vector<int>& out) override;

private:
    const TaskPaneFonts& fonts_;
    UniqueDc dc_;
    int lineHeight_[2] = {-1, -1};
};

}  // namespace ardmoor
