#include "controls/task_pane/task_pane_fonts.h"

#include <algorithm>
#include <climits>

namespace ardmoor {

namespace {
LOGFONTW MessageFont(UINT dpi) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0, dpi)) return ncm.lfMessageFont;
    // Systems without the per-DPI query report the font at the system DPI.
    ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) {
        const UINT systemDpi = ::GetDpiForSystem();
        ncm.lfMessageFont.lfHeight = ::MulDiv(ncm.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                              static_cast<int>(systemDpi ? systemDpi : 96));
        return ncm.lfMessageFont;
    }
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(9, static_cast<int>(dpi), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcscpy_s(lf.lfFaceName, L"Segoe UI");
    return lf;
}
}  // namespace

TaskPaneFonts TaskPaneFonts::ForDpi(UINT dpi) {
    TaskPaneFonts fonts;
    fonts.dpi_ = dpi ? dpi : 96;
    LOGFONTW lf = MessageFont(fonts.dpi_);
    lf.lfUnderline = FALSE;
    fonts.normal_.reset(::CreateFontIndirectW(&lf));
    LOGFONTW underlined = lf;
    underlined.lfUnderline = TRUE;
    fonts.underlined_.reset(::CreateFontIndirectW(&underlined));
    LOGFONTW bold = lf;
    bold.lfWeight = FW_BOLD;
    fonts.bold_.reset(::CreateFontIndirectW(&bold));
    return fonts;
}

GdiTextMeasurer::GdiTextMeasurer(const TaskPaneFonts& fonts)
    : fonts_(fonts), dc_(::CreateCompatibleDC(nullptr)) {}

int GdiTextMeasurer::LineHeight(TaskPaneFontKind font) {
    int& cached = lineHeight_[font == TaskPaneFontKind::Bold ? 1 : 0];
    if (cached < 0) {
        TEXTMETRICW tm{};
        SelectGuard select(dc_.get(), fonts_.Get(font));
        cached = ::GetTextMetricsW(dc_.get(), &tm) ? tm.tmHeight + tm.tmExternalLeading : 16;
    }
    return cached;
}

void GdiTextMeasurer::PrefixWidths(std::wstring_view text, TaskPaneFontKind font, std::vector<int>& out) {
    out.assign(text.size() + 1, 0);
    if (text.empty()) return;
    SelectGuard select(dc_.get(), fonts_.Get(font));
    // GDI takes an int count; longer texts are measured in pieces.
    constexpr size_t kChunk = 32768;
    int offset = 0;
    for (size_t from = 0; from < text.size(); from += kChunk) {
        const int count = static_cast<int>(std::min(kChunk, text.size() - from));
        SIZE size{};
        if (!::GetTextExtentExPointW(dc_.get(), text.data() + from, count, INT_MAX, nullptr, &out[from + 1], &size)) {
            // Keep the widths growing so that wrapping still terminates.
            for (int i = 0; i < count; ++i) out[from + 1 + static_cast<size_t>(i)] = offset + (i + 1) * 6;
            offset += count * 6;
            continue;
        }
        for (int i = 0; i < count; ++i) out[from + 1 + static_cast<size_t>(i)] += offset;
        offset = out[from + static_cast<size_t>(count)];
    }
    // Zero-width characters aside, widths never shrink; enforce it for the wrapping's bisection.
    for (size_t i = 1; i < out.size(); ++i) out[i] = std::max(out[i], out[i - 1]);
}

}  // namespace ardmoor
