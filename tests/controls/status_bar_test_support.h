#pragma once
// Helpers for the status bar's window tests: a top-level window hosting the control, pumping,
// pixels, screenshots, real mouse and keyboard input, and the control's errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/status_bar/vbalStatusBar.h"
#include "platform/window.h"
#include "remote_ui.h"

namespace ardmoor::test {

// A visible top-level window with a status bar along its bottom.
class StatusBarHost : public Window {
public:
    ~StatusBarHost() override { Destroy(); }
    bool Open(int width, int height);
    vbalStatusBar bar;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// Text of a status window part as SB_GETTEXTW gives it, and the parts' right edges.
std::wstring StatusPartText(HWND status, int part);
std::vector<int> StatusPartEdges(HWND status);

// Pixels of a window's client rectangle, row by row, as 0x00RRGGBB.
std::vector<COLORREF> CapturePixels(HWND hwnd, const RECT& rect);
// Runs `action`, expecting the status bar's error with this number and message.
void ExpectStatusBarError(const std::function<void()>& action, long number, const std::wstring& message);

}  // namespace ardmoor::test
