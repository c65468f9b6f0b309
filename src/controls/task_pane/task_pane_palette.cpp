#include "controls/task_pane/task_pane_palette.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace ardmoor {

namespace {
double Channel(int c) {
    const double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double Luminance(COLORREF c) {
    return 0.2126 * Channel(GetRValue(c)) + 0.7152 * Channel(GetGValue(c)) + 0.0722 * Channel(GetBValue(c));
}

double WorstContrast(COLORREF c, std::initializer_list<COLORREF> backgrounds) {
    double worst = 21.0;
    for (COLORREF bg : backgrounds) worst = std::min(worst, ContrastRatio(c, bg));
    return worst;
}

// The colour itself when it reads well on every background; else the same hue taken darker (on
// light backgrounds) or lighter (on dark ones) until it does.
COLORREF ReadableShade(COLORREF c, std::initializer_list<COLORREF> backgrounds, double minimum) {
    if (WorstContrast(c, backgrounds) >= minimum) return c;
    double light = 0;
    for (COLORREF bg : backgrounds) light += Luminance(bg);
    const COLORREF toward = light / static_cast<double>(backgrounds.size()) > 0.18 ? RGB(0, 0, 0) : RGB(255, 255, 255);
    for (int step = 1; step <= 20; ++step) {
        const COLORREF shade = BlendColor(c, toward, step / 20.0);
        if (WorstContrast(shade, backgrounds) >= minimum) return shade;
    }
    return toward;
}

bool HasHue(COLORREF c) {
    const int hi = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
    const int lo = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
    return hi - lo > 40;
}

// The scheme's link colour if it can be read; else the first coloured one of the alternatives
// made readable, so that links still look like links; else the text colour.
COLORREF LinkColor(std::initializer_list<COLORREF> candidates, std::initializer_list<COLORREF> backgrounds,
                   double minimum, COLORREF text) {
    const COLORREF preferred = *candidates.begin();
    if (WorstContrast(preferred, backgrounds) >= minimum) return preferred;
    for (COLORREF c : candidates)
        if (HasHue(c)) return ReadableShade(c, backgrounds, minimum);
    return text;
}
}  // namespace

double ContrastRatio(COLORREF a, COLORREF b) noexcept {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

COLORREF BlendColor(COLORREF a, COLORREF b, double t) noexcept {
    t = std::clamp(t, 0.0, 1.0);
    auto mix = [t](int x, int y) { return static_cast<BYTE>(std::lround(x * (1.0 - t) + y * t)); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

TaskPanePalette TaskPanePalette::Make(bool highContrast, const std::function<COLORREF(int)>& sysColor) {
    const COLORREF window = sysColor(COLOR_WINDOW);
    const COLORREF windowText = sysColor(COLOR_WINDOWTEXT);
    const COLORREF hot = sysColor(COLOR_HOTLIGHT);
    TaskPanePalette p;
    // Readable text needs 4.5:1; links, which are also told apart by the hand cursor and the
    // underline, need 3:1 as large text does.
    constexpr double kText = 4.5, kLink = 3.0;
    if (highContrast) {
        // The user's own colours, never blended; only an unreadable pair is replaced.
        p.paneTop = p.paneBottom = window;
        p.headerLeft = p.headerRight = sysColor(COLOR_BTNFACE);
        p.headerText = ReadableShade(sysColor(COLOR_BTNTEXT), {p.headerLeft}, kText);
        p.specialLeft = p.specialRight = sysColor(COLOR_HIGHLIGHT);
        p.specialText = ReadableShade(sysColor(COLOR_HIGHLIGHTTEXT), {p.specialLeft}, kText);
        p.body = p.specialBody = window;
        p.border = windowText;
        p.text = ReadableShade(windowText, {window}, kText);
        p.link = p.linkHot = ReadableShade(hot, {window}, kLink);
        return p;
    }
    // The Windows task pane look: a tinted pane, light bodies, headers fading into the caption
    // colours. Every tint comes from the active caption colours so that any scheme looks matched.
    const COLORREF caption = sysColor(COLOR_ACTIVECAPTION);
    const COLORREF captionEnd = sysColor(COLOR_GRADIENTACTIVECAPTION);
    p.paneTop = BlendColor(caption, window, 0.5);
    p.paneBottom = BlendColor(captionEnd, window, 0.3);
    p.headerLeft = window;
    p.headerRight = BlendColor(window, captionEnd, 0.4);
    p.headerText = ReadableShade(caption, {p.headerLeft, p.headerRight}, kText);
    p.specialLeft = caption;
    p.specialRight = BlendColor(caption, captionEnd, 0.5);
    p.specialText = ReadableShade(sysColor(COLOR_CAPTIONTEXT), {p.specialLeft, p.specialRight}, kText);
    p.body = BlendColor(window, captionEnd, 0.2);
    p.specialBody = BlendColor(window, captionEnd, 0.08);
    p.border = window;
    p.text = ReadableShade(windowText, {p.body, p.specialBody}, kText);
    p.link = LinkColor({hot, sysColor(COLOR_HIGHLIGHT), caption}, {p.body, p.specialBody}, kLink, p.text);
    p.linkHot = ReadableShade(BlendColor(p.link, window, 0.25), {p.body, p.specialBody}, kLink);
    return p;
}

TaskPanePalette TaskPanePalette::FromSystem() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    const bool highContrast =
        ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
    return Make(highContrast, [](int index) { return ::GetSysColor(index); });
}

}  // namespace ardmoor
