#include "controls/task_pane/task_pane_layout.h"

#include <algorithm>

namespace ardmoor {

int TaskPaneMetrics::Scale(int pixelsAt96) const noexcept {
    return ::MulDiv(pixelsAt96, static_cast<int>(dpi), 96);
}

TaskPaneMetrics TaskPaneMetrics::ForDpi(UINT dpi, int titleLineHeight) {
    TaskPaneMetrics m;
    m.dpi = dpi ? dpi : 96;
    m.margin = m.Scale(12);
    m.headerIndent = m.Scale(12);
    m.cornerRadius = m.Scale(5);
    m.bodyPaddingX = m.Scale(12);
    m.bodyPaddingY = m.Scale(10);
    m.itemGap = m.Scale(6);
    m.focusPadding = std::max(1, m.Scale(1));
    m.headerHeight = std::max(m.Scale(25), titleLineHeight + m.Scale(10));
    return m;
}

TaskPaneLayout ComputeTaskPaneLayout(const TaskPaneModel& model, const TaskPaneMetrics& metrics, int width,
                                     TaskPaneTextMeasurer& measurer) {
    TaskPaneLayout layout;
    layout.width = std::max(width, 0);
    const int left = metrics.margin;
    const int right = std::max(left + 1, layout.width - metrics.margin);
    const int textLeft = left + metrics.bodyPaddingX;
    const int textWidth = std::max(1, right - metrics.bodyPaddingX - textLeft);
    const int normalLine = std::max(1, measurer.LineHeight(TaskPaneFontKind::Normal));
    const int boldLine = std::max(1, measurer.LineHeight(TaskPaneFontKind::Bold));

    int y = metrics.margin;
    layout.bars.reserve(model.BarCount());
    for (size_t b = 0; b < model.BarCount(); ++b) {
        TaskPaneBar* bar = model.Bar(b);
        TaskPaneBarBox box;
        box.bar = bar;
        box.header = {left, y, right, y + metrics.headerHeight};
        y = box.header.bottom;
        const int bodyTop = y;
        y += metrics.bodyPaddingY;
        box.items.reserve(bar->ItemCount());
        bool any = false;
        for (size_t i = 0; i < bar->ItemCount(); ++i) {
            TaskPaneItem* item = bar->Item(i);
            TaskPaneItemBox ib;
            ib.item = item;
            ib.heading = item->IsHeading();
            ib.link = item->IsLink() && !item->Text().empty();
            const TaskPaneFontKind font = ib.heading ? TaskPaneFontKind::Bold : TaskPaneFontKind::Normal;
            const int lineHeight = ib.heading ? boldLine : normalLine;
            std::vector<WrappedLine> wrapped = WrapTaskPaneText(item->Text(), textWidth, measurer, font);
            if (wrapped.empty()) {
                // Takes no room, so an empty heading leaves no gap at the top of its bar.
                ib.bounds = {textLeft, y, textLeft, y};
                box.items.push_back(std::move(ib));
                continue;
            }
            if (any) y += metrics.itemGap;
            any = true;
            ib.lines.reserve(wrapped.size());
            int widest = 0;
            for (WrappedLine& w : wrapped) {
                const int lineWidth = std::min(w.width, textWidth);
                ib.lines.push_back({std::move(w.text), RECT{textLeft, y, textLeft + lineWidth, y + lineHeight}});
                widest = std::max(widest, lineWidth);
                y += lineHeight;
            }
            ib.bounds = {textLeft, ib.lines.front().rect.top, textLeft + widest, y};
            y += metrics.Scale(item->ExtraSpacing());
            box.items.push_back(std::move(ib));
        }
        y += metrics.bodyPaddingY;
        box.body = {left, bodyTop, right, y};
        layout.bars.push_back(std::move(box));
        y += metrics.margin;
    }
    layout.height = y;
    return layout;
}

TaskPaneHit TaskPaneLayout::HitTest(POINT pt) const noexcept {
    TaskPaneHit hit;
    for (size_t b = 0; b < bars.size(); ++b) {
        const TaskPaneBarBox& bar = bars[b];
        if (pt.y < bar.header.top) break;  // bars go down the pane in order
        if (::PtInRect(&bar.header, pt)) {
            hit.kind = TaskPaneHit::Kind::Header;
            hit.bar = b;
            return hit;
        }
        if (!::PtInRect(&bar.body, pt)) continue;
        hit.kind = TaskPaneHit::Kind::Body;
        hit.bar = b;
        for (size_t i = 0; i < bar.items.size(); ++i) {
            const TaskPaneItemBox& item = bar.items[i];
            if (pt.y < item.bounds.top) break;
            if (!::PtInRect(&item.bounds, pt)) continue;
            for (const TaskPaneLineBox& line : item.lines) {
                if (::PtInRect(&line.rect, pt)) {
                    hit.kind = TaskPaneHit::Kind::Item;
                    hit.item = i;
                    hit.target = item.item;
                    return hit;
                }
            }
        }
        return hit;
    }
    return hit;
}

const TaskPaneItemBox* TaskPaneLayout::Find(const TaskPaneItem* item) const noexcept {
    if (!item) return nullptr;
    for (const TaskPaneBarBox& bar : bars) {
        if (bar.bar != &item->Bar()) continue;
        for (const TaskPaneItemBox& box : bar.items)
            if (box.item == item) return &box;
    }
    return nullptr;
}

const TaskPaneBarBox* TaskPaneLayout::Find(const TaskPaneBar* bar) const noexcept {
    for (const TaskPaneBarBox& box : bars)
        if (box.bar == bar) return &box;
    return nullptr;
}

std::vector<TaskPaneItem*> TaskPaneLayout::FocusableItems() const {
    std::vector<TaskPaneItem*> out;
    for (const TaskPaneBarBox& bar : bars)
        for (const TaskPaneItemBox& box : bar.items)
            if (box.link) out.push_back(box.item);
    return out;
}

}  // namespace ardmoor
