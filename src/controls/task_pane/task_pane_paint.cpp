#include "controls/task_pane/task_pane_paint.h"

#include <algorithm>
#include <cmath>

namespace ardmoor {

namespace {
void Fill(HDC dc, const RECT& r, COLORREF color) {
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void FillVertical(HDC dc, const RECT& r, const RECT& clip, COLORREF top, COLORREF bottom) {
    const int height = r.bottom - r.top;
    if (height <= 0) return;
    constexpr int kBand = 2;
    for (int y = std::max(r.top, clip.top - kBand); y < std::min(r.bottom, clip.bottom); y += kBand) {
        RECT band{r.left, y, r.right, std::min<LONG>(y + kBand, r.bottom)};
        Fill(dc, band, BlendColor(top, bottom, static_cast<double>(y - r.top) / height));
    }
}

void FillHorizontal(HDC dc, const RECT& r, COLORREF left, COLORREF right) {
    const int width = r.right - r.left;
    if (width <= 0) return;
    constexpr int kBand = 2;
    for (int x = r.left; x < r.right; x += kBand) {
        RECT band{x, r.top, std::min<LONG>(x + kBand, r.right), r.bottom};
        Fill(dc, band, BlendColor(left, right, static_cast<double>(x - r.left) / width));
    }
}

// Rounds a header's top corners by painting the pane's background back over them.
void RoundTopCorners(HDC dc, const RECT& r, int radius, const RECT& client, const TaskPanePalette& palette) {
    const int height = std::max<int>(1, client.bottom - client.top);
    for (int dy = 0; dy < radius && r.top + dy < r.bottom; ++dy) {
        const double d = radius - dy - 0.5;
        const int cut = static_cast<int>(std::lround(radius - std::sqrt(radius * radius - d * d)));
        if (cut <= 0) continue;
        const int y = r.top + dy;
        const COLORREF bg = BlendColor(palette.paneTop, palette.paneBottom, static_cast<double>(y - client.top) / height);
        Fill(dc, RECT{r.left, y, r.left + cut, y + 1}, bg);
        Fill(dc, RECT{r.right - cut, y, r.right, y + 1}, bg);
    }
}

RECT Shifted(RECT r, int dy) {
    ::OffsetRect(&r, 0, -dy);
    return r;
}

bool Overlaps(const RECT& r, const RECT& clip) { return r.bottom > clip.top && r.top < clip.bottom; }

void PaintBar(HDC dc, const TaskPaneBarBox& box, const RECT& client, const RECT& clip, const TaskPaneMetrics& metrics,
              const TaskPanePalette& palette, const TaskPaneFonts& fonts, const TaskPanePaintState& state) {
    const bool special = box.bar->IsSpecial();
    const RECT header = Shifted(box.header, state.scrollY);
    if (Overlaps(header, clip)) {
        FillHorizontal(dc, header, special ? palette.specialLeft : palette.headerLeft,
                       special ? palette.specialRight : palette.headerRight);
        RoundTopCorners(dc, header, metrics.cornerRadius, client, palette);
        RECT title{header.left + metrics.headerIndent, header.top, header.right - metrics.headerIndent, header.bottom};
        SelectGuard font(dc, fonts.Bold());
        ::SetTextColor(dc, special ? palette.specialText : palette.headerText);
        ::DrawTextW(dc, box.bar->Title().c_str(), static_cast<int>(box.bar->Title().size()), &title,
                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
    }
    const RECT body = Shifted(box.body, state.scrollY);
    if (!Overlaps(body, clip)) return;
    Fill(dc, body, special ? palette.specialBody : palette.body);
    const int edge = std::max(1, metrics.Scale(1));
    Fill(dc, RECT{body.left, body.top, body.left + edge, body.bottom}, palette.border);
    Fill(dc, RECT{body.right - edge, body.top, body.right, body.bottom}, palette.border);
    Fill(dc, RECT{body.left, body.bottom - edge, body.right, body.bottom}, palette.border);

    for (const TaskPaneItemBox& item : box.items) {
        const RECT bounds = Shifted(item.bounds, state.scrollY);
        if (bounds.top >= clip.bottom) break;
        if (item.lines.empty() || bounds.bottom + metrics.focusPadding < clip.top) continue;
        const bool hot = item.link && item.item == state.hot;
        HFONT font = item.heading ? fonts.Bold() : hot ? fonts.Underlined() : fonts.Normal();
        SelectGuard select(dc, font);
        ::SetTextColor(dc, !item.link ? palette.text : hot ? palette.linkHot : palette.link);
        for (const TaskPaneLineBox& line : item.lines) {
            const RECT r = Shifted(line.rect, state.scrollY);
            if (!Overlaps(r, clip) || line.text.empty()) continue;
            ::ExtTextOutW(dc, r.left, r.top, 0, nullptr, line.text.c_str(), static_cast<UINT>(line.text.size()),
                          nullptr);
        }
        if (state.showFocus && item.item == state.focused && item.link) {
            RECT focus = bounds;
            ::InflateRect(&focus, metrics.focusPadding, metrics.focusPadding);
            ::SetTextColor(dc, RGB(0, 0, 0));
            ::SetBkColor(dc, RGB(255, 255, 255));
            ::DrawFocusRect(dc, &focus);
        }
    }
}
}  // namespace

void PaintTaskPane(HDC dc, const RECT& client, const RECT& clip, const TaskPaneLayout& layout,
                   const TaskPaneMetrics& metrics, const TaskPanePalette& palette, const TaskPaneFonts& fonts,
                   const TaskPanePaintState& state) {
    FillVertical(dc, client, clip, palette.paneTop, palette.paneBottom);
    ::SetBkMode(dc, TRANSPARENT);
    for (const TaskPaneBarBox& box : layout.bars) {
        if (box.header.top - state.scrollY >= clip.bottom) break;
        if (box.body.bottom - state.scrollY <= clip.top) continue;
        PaintBar(dc, box, client, clip, metrics, palette, fonts, state);
    }
}

}  // namespace ardmoor
