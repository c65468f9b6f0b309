#include "controls/status_bar/status_bar_layout.h"

#include <algorithm>
#include <climits>

#include "platform/window.h"

namespace ardmoor {

long IdealPanelWidth(long textWidth, long minWidth) noexcept {
    const long long ideal = static_cast<long long>(textWidth) + 12;
    return static_cast<long>(std::clamp<long long>(std::max<long long>(ideal, minWidth), LONG_MIN, LONG_MAX));
}

int SizeGripAllowance(int controlHeight, UINT dpi) noexcept {
    if (dpi == 0) dpi = 96;
    const long long heightTwips = PixelsToTwips(std::max(controlHeight, 0), dpi);
    // height in twips * 3 / (twips per pixel * 4), twips per pixel being 1440 / dpi.
    return static_cast<int>(heightTwips * 3 * dpi / (1440LL * 4));
}

std::vector<int> LayoutPanels(std::span<const PanelLayoutInput> panels, int clientWidth, int controlHeight,
                              UINT dpi, int iconWidth) {
    std::vector<int> edges(panels.size());
    if (panels.empty()) return edges;

    const long long icon = std::max(iconWidth, 0);
    std::vector<long long> widths(panels.size());
    size_t springIndex = panels.size() - 1;
    bool springFound = false;
    for (size_t i = 0; i < panels.size(); ++i) {
        const PanelLayoutInput& p = panels[i];
        long long w = std::max<long long>(p.fitToContents ? p.idealWidth : p.minWidth, 0);
        if (p.hasIcon) w += icon;
        widths[i] = w;
        if (p.spring && !springFound) {
            springIndex = i;
            springFound = true;
        }
    }
    widths.back() += SizeGripAllowance(controlHeight, dpi);

    long long total = 0;
    for (long long w : widths) total += w;  // each width is below 2^33: no overflow
    if (total <= clientWidth) widths[springIndex] += clientWidth - total;

    long long edge = 0;
    for (size_t i = 0; i < panels.size(); ++i) {
        edge += widths[i];
        edges[i] = static_cast<int>(std::min<long long>(edge, INT_MAX));
    }
    return edges;
}

}  // namespace ardmoor
