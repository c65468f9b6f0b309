#pragma once
// Keeps a modal window's keyboard focus on its control across activation, as the system's dialogs
// do: the control that had the focus when a message box or another dialog came on top gets it
// back, and the first activation gives it to the control the window chose.
#include <windows.h>

namespace ardmoor {

class FocusKeeper {
public:
    void SetInitial(HWND control) noexcept { saved_ = control; }
    // For WM_ACTIVATE; true when the focus was placed (the message is then handled).
    bool OnActivate(HWND window, WPARAM wp) noexcept {
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(window, focus)) saved_ = focus;
            return false;
        }
        if (!saved_ || !::IsWindow(saved_) || !::IsChild(window, saved_)) return false;
        ::SetFocus(saved_);
        return true;
    }

private:
    HWND saved_ = nullptr;
};

}  // namespace ardmoor
