#pragma once
// A one-line text area of a window's header: it draws its text with DrawPictureText (cut with an
// ellipsis when too long) and, when it holds a link, shows it as one (link colour, hand pointer)
// and reports clicks. The window text is the text shown, so screen readers and tests read it.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/window.h"

namespace ardmoor {

class PictureArea : public Window {
public:
    // x, y, w, h in pixels of the parent's client area.
    bool Create(HWND parent, int id, int x, int y, int w, int h, HFONT font);
    void SetText(std::wstring_view text);
    [[nodiscard]] const std::wstring& Text() const noexcept { return text_; }
    // A link area shows its text in the link colour with a hand pointer, and clicks reach OnClick.
    void SetLink(bool link);
    [[nodiscard]] bool IsLink() const noexcept { return link_; }
    void SetFont(HFONT font);
    // Width in pixels that the text needs in the area's font, with the room DrawPictureText keeps free.
    [[nodiscard]] int TextWidth(std::wstring_view text) const;
    void SetWidth(int width);

    std::function<void()> OnClick;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint(HDC dc);
    std::wstring text_;
    HFONT font_ = nullptr;  // the parent's
    bool link_ = false;
    bool pressed_ = false;
};

}  // namespace ardmoor
