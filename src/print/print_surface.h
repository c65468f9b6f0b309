#pragma once
// What the listing layouts print on: pages measured in twips (1/1440 inch) from the page's
// top-left corner, written line by line the way a printer object prints. A printer and a test
// recorder both implement the few drawing operations; the position rules live here once.
#include <windows.h>

#include <string_view>

#include "platform/result.h"

namespace ardmoor {

class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // The document. Nothing reaches the printer before StartDocument or after AbortDocument.
    [[nodiscard]] virtual Status StartDocument(std::wstring_view title) = 0;
    [[nodiscard]] virtual Status NewPage() = 0;
    [[nodiscard]] virtual Status EndDocument() = 0;
    virtual void AbortDocument() noexcept = 0;

    // The page, in twips.
    [[nodiscard]] virtual int PageWidth() const = 0;
    [[nodiscard]] virtual int PageHeight() const = 0;

    // The font keeps its face; only size (points) and weight change.
    void SetFontSize(int points);
    void SetBold(bool bold);
    [[nodiscard]] int FontSize() const noexcept { return fontSize_; }
    [[nodiscard]] bool Bold() const noexcept { return bold_; }
    // Width of a text in the current font, in twips.
    [[nodiscard]] virtual int TextWidth(std::wstring_view text) = 0;

    // Where the next line goes.
    void SetCurrentX(int twips) noexcept { x_ = twips; }
    void SetCurrentY(int twips) noexcept { y_ = twips; }
    [[nodiscard]] int CurrentX() const noexcept { return x_; }
    [[nodiscard]] int CurrentY() const noexcept { return y_; }

    // Prints the text with its top-left corner at the current position, then moves down one line
    // of the current font and back to the left edge (x 0). An empty text only moves.
    [[nodiscard]] Status PrintLine(std::wstring_view text);
    // Draws the icon scaled into the rectangle (twips). A null icon, or one the device cannot
    // take, leaves the square empty: the rest of the page still prints.
    virtual void DrawPicture(HICON icon, int left, int top, int width, int height) = 0;

protected:
    // Height of one line of the current font, in twips.
    [[nodiscard]] virtual int LineHeight() = 0;
    [[nodiscard]] virtual Status DrawTextAt(int x, int y, std::wstring_view text) = 0;
    // The size or weight changed.
    virtual void FontChanged() = 0;

private:
    int x_ = 0;
    int y_ = 0;
    int fontSize_ = 8;
    bool bold_ = false;
};

}  // namespace ardmoor
