#pragma once
// Base of every modal window of the program (dialogs, the properties window, the wizard): a
// top-level window built in code, shown over its owner by one call that returns when it closes.
//
// While it is shown the owner is disabled, so nothing of it can be used. Keyboard handling is the
// dialog manager's: Tab moves between controls, Enter presses the default button (DefaultButtonId)
// and Esc sends WM_COMMAND IDCANCEL. The close box, Alt+F4 and WM_CLOSE all end the window the way
// its cancel does: derived classes set their "No"/"Cancelled" answer before showing and change it
// only from their buttons.
#include <windows.h>

#include <string>

#include "platform/unique_handle.h"
#include "platform/window.h"

namespace ardmoor {

class ModalWindow : public Window {
public:
    // Creates the window (client size in pixels at 96 DPI, scaled for the monitor), calls OnCreate,
    // shows it centred on the owner's monitor and runs its message loop until it closes. Returns
    // false when the window could not be created (nothing was shown). A WM_QUIT met meanwhile is
    // posted again and ends the loop.
    bool ShowModal(HWND owner);

    // Ends the modal loop and destroys the window (safe to call more than once).
    void EndModal() noexcept;

    [[nodiscard]] bool IsShown() const noexcept { return running_; }

protected:
    ModalWindow(std::wstring caption, int clientWidth, int clientHeight, DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);

    // Builds the controls. Returning false ends the window before it is shown (ShowModal gives false).
    virtual bool OnCreate() = 0;
    // The button Enter presses; 0 for none.
    [[nodiscard]] virtual int DefaultButtonId() const { return IDOK; }
    // Handles WM_COMMAND from controls and the keyboard (IDCANCEL for Esc).
    virtual void OnCommand(int id, int code, HWND control) {}
    // The window is about to close (close box, Alt+F4, WM_CLOSE); closing is never refused. Work
    // still running from one of its handlers sees it through its own state and unwinds.
    virtual void OnClose() {}
    // Messages not handled here (WM_PAINT, WM_NOTIFY, WM_SIZE, ...).
    virtual bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return false; }

    // The message font of the system at the window's DPI; owned by the window.
    [[nodiscard]] HFONT DialogFont() const noexcept { return font_.get(); }
    // Creates a child control with the dialog font (x, y, w, h in pixels at 96 DPI, scaled).
    HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id,
                    DWORD exStyle = 0);

    // The owner the window was shown over (null when none).
    [[nodiscard]] HWND Owner() const noexcept { return owner_; }

private:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) final;

    std::wstring caption_;
    int clientWidth_;
    int clientHeight_;
    DWORD style_;
    DWORD exStyle_;
    HWND owner_ = nullptr;
    bool running_ = false;
    UniqueFont font_;
};

}  // namespace ardmoor
