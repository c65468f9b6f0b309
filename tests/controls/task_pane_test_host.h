#pragma once
// A real top-level window holding a button and a task pane, with helpers that drive it through
// real input (SendInput) and wait for the messages to arrive.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/task_pane/task_pane.h"
#include "platform/window.h"
#include "remote_ui.h"

namespace ardmoor::taskpane_test {

class HostWindow final : public Window {
public:
    // A window with the client size given, a "Before" button at the top right and the pane down
    // the left side (paneWidth x paneHeight; 0 height fills the client height).
    HostWindow(int clientWidth, int clientHeight, int paneWidth, int paneHeight = 0);
    ~HostWindow() override;

    TaskPane& pane() { return *pane_; }
    HWND button() const { return button_; }
    // Destroys the pane's window and object, as a host might from inside a click.
    void DestroyPane() { pane_.reset(); }
    bool HasPane() const { return pane_ != nullptr; }

    // Clicks received, in order, as item keys.
    std::vector<std::wstring> clicks;
    // Runs inside the click handler after the click is recorded (may change or destroy things).
    std::function<void(TaskPaneItem&)> onClick;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    std::unique_ptr<TaskPane> pane_;
    HWND button_ = nullptr;
};

// Fills the pane as the main window does at start-up; with entryName set, also as it looks
// after an entry's details were shown.
void PopulateLikeMainWindow(TaskPane& pane, const std::wstring& entryName = L"");

using test::PumpFor;
using test::PumpUntil;

// Real input (through the shared helpers), each followed by letting the messages run.
void MoveMouse(POINT screen);
void ClickAt(POINT screen);
void PressAt(POINT screen);
void ReleaseAt(POINT screen);
void Wheel(POINT screen, int delta);
void PressKey(WORD vk);
// The point in the middle of a client rectangle of `hwnd`, in screen coordinates.
POINT ScreenCenter(HWND hwnd, const RECT& client);
// The middle of an item's first line of text, in screen coordinates (the middle of a wrapped
// item's whole rectangle may fall beside a short last line, which is not the item).
POINT FirstLineCenter(TaskPane& pane, const TaskPaneItem& item);
// Moves the pointer off every test window.
void ParkMouse();

// Brings the window to the front so that keyboard input reaches it; false when it did not work.
bool BringToFront(HWND hwnd);

// Captures the window as it is on the screen, to check its pixels.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    [[nodiscard]] COLORREF At(int x, int y) const;
};
Capture CaptureWindow(HWND hwnd);
// Saves what the screen shows of the window as a .bmp in the screenshot folder; returns the path
// written, or empty on failure.
std::wstring SaveScreenshot(HWND hwnd, const std::wstring& fileName);

}  // namespace ardmoor::taskpane_test
