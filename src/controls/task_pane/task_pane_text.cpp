#include "controls/task_pane/task_pane_text.h"

#include <algorithm>

namespace ardmoor {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Wraps one paragraph (no line breaks inside) into `out`.
void WrapParagraph(std::wstring_view para, int maxWidth, TaskPaneTextMeasurer& measurer, TaskPaneFontKind font,
                   std::vector<int>& widths, std::vector<WrappedLine>& out) {
    if (para.empty()) {
        out.push_back({});
        return;
    }
    measurer.PrefixWidths(para, font, widths);
    if (widths.size() != para.size() + 1) widths.assign(para.size() + 1, 0);
    const size_t n = para.size();
    auto emit = [&](size_t from, size_t to) {
        while (to > from && IsBlank(para[to - 1])) --to;
        WrappedLine line;
        line.text.assign(para.substr(from, to - from));
        for (wchar_t& c : line.text)
            if (c == L'\t') c = L' ';
        line.width = widths[to] - widths[from];
        out.push_back(std::move(line));
    };

    size_t start = 0;
    bool first = true;
    while (start < n) {
        if (!first)
            while (start < n && IsBlank(para[start])) ++start;
        if (start == n) break;
        first = false;
        const int base = widths[start];
        // Widths only grow, so the last character that still fits is found by bisection.
        auto limit = std::upper_bound(widths.begin() + static_cast<std::ptrdiff_t>(start) + 1, widths.end(),
                                      base + std::max(maxWidth, 0));
        size_t end = static_cast<size_t>(limit - widths.begin()) - 1;  // widths[end] fits
        if (end >= n) {
            emit(start, n);
            break;
        }
        // A blank just past the fitting part is a break as good as one inside it.
        size_t firstInk = start;
        while (firstInk < end && IsBlank(para[firstInk])) ++firstInk;
        size_t brk = end;
        while (brk > firstInk && !IsBlank(para[brk])) --brk;
        if (brk > firstInk) {
            emit(start, brk);
            start = brk + 1;
            continue;
        }
        // One word wider than the line: cut it, keeping surrogate pairs whole.
        if (end <= start) end = start + 1;
        if (end < n && IsLowSurrogate(para[end])) {
            if (end - 1 > start)
                --end;
            else
                ++end;
        }
        emit(start, end);
        start = end;
    }
}
}  // namespace

std::vector<WrappedLine> WrapTaskPaneText(std::wstring_view text, int maxWidth, TaskPaneTextMeasurer& measurer,
                                          TaskPaneFontKind font) {
    std::vector<WrappedLine> lines;
    if (text.empty()) return lines;
    std::vector<int> widths;
    size_t pos = 0;
    while (true) {
        const size_t brk = text.find_first_of(L"\r\n", pos);
        WrapParagraph(text.substr(pos, brk == std::wstring_view::npos ? std::wstring_view::npos : brk - pos),
                      maxWidth, measurer, font, widths, lines);
        if (brk == std::wstring_view::npos) break;
        pos = brk + 1;
        if (text[brk] == L'\r' && pos < text.size() && text[pos] == L'\n') ++pos;
    }
    return lines;
}

}  // namespace ardmoor
