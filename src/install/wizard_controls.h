#pragma once
// The small windows the install wizard is built from: page panels that pass their controls'
// commands up to the wizard, one-line text areas drawn like the program's picture boxes, and the
// wizard's side picture.
#include <windows.h>

#include <string>

#include "platform/unique_handle.h"
#include "platform/window.h"

namespace ardmoor {

// A child panel holding controls. Their WM_COMMAND and WM_NOTIFY go to the top-level window.
class WizardPanel : public Window {
public:
    // `etchedTop` draws an etched line along the top edge (the button strip).
    bool Create(HWND parent, int id, const RECT& rect, bool etchedTop = false);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool etchedTop_ = false;
    HFONT font_ = nullptr;  // the wizard's, for the controls placed on the panel
};

// A one-line area that draws its window text with DrawPictureText (WM_SETTEXT changes it, and
// WM_GETTEXT reads it, also from outside the program).
class PictureText : public Window {
public:
    static constexpr UINT kPathFlags = DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS;  // 16420

    bool Create(HWND parent, int id, const RECT& rect, UINT flags = kPathFlags);
    void SetText(const std::wstring& text);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    UINT flags_ = kPathFlags;
    HFONT font_ = nullptr;  // the parent's, not owned
};

// The picture along the wizard's left edge, drawn in code.
class SidePicture : public Window {
public:
    bool Create(HWND parent, int id, const RECT& rect);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint(HDC dc, const RECT& area);
    UniqueIcon icon_;
};

}  // namespace ardmoor
