#pragma once
// Line breaking of the task pane's texts, measured through an interface so that it can be run on
// any font (or none).
#include <string>
#include <string_view>
#include <vector>

namespace ardmoor {

enum class TaskPaneFontKind { Normal, Bold };

class TaskPaneTextMeasurer {
public:
    virtual ~TaskPaneTextMeasurer() = default;
    // Height of one line of text, line spacing included.
    virtual int LineHeight(TaskPaneFontKind font) = 0;
    // out[i] = width of the first i characters of text; out.size() == text.size() + 1.
    virtual void PrefixWidths(std::wstring_view text, TaskPaneFontKind font, std::vector<int>& out) = 0;
};

struct WrappedLine {
    std::wstring text;
    int width = 0;
};

// Breaks text into lines no wider than maxWidth: CR LF, a lone CR and a lone LF end a line; a
// line breaks at the last blank that fits; a word wider than maxWidth is cut where it stops
// fitting (never inside a surrogate pair, and at least one character per line). Blanks where a
// line breaks are dropped; tabs count as blanks. An empty text gives no lines; an empty line
// between line breaks gives an empty line.
std::vector<WrappedLine> WrapTaskPaneText(std::wstring_view text, int maxWidth, TaskPaneTextMeasurer& measurer,
                                          TaskPaneFontKind font);

}  // namespace ardmoor
