#pragma once
// Drives another process's windows from outside, as a user or an accessibility tool would:
// start the real exe, find its windows, read its list view and status bar, press buttons.
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace ardmoor::test {

using namespace std::chrono_literals;

// A started process; killed on destruction if still running.
class AppProcess {
public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    bool Start(const std::wstring& exe, const std::wstring& args = L"");
    [[nodiscard]] DWORD pid() const { return pi_.dwProcessId; }
    [[nodiscard]] bool Running() const;
    // Waits for the process to end; false on time-out.
    bool WaitExit(std::chrono::milliseconds timeout, DWORD* exitCode = nullptr);
    // Top-level window of this process with the given class (and title when not empty).
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title, std::chrono::milliseconds timeout) const;

private:
    PROCESS_INFORMATION pi_{};
};

// Enumerates top-level windows of a process (of every process for 0).
std::vector<HWND> TopLevelWindows(DWORD pid);
HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text = nullptr);
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
// Texts of every child window (static labels, buttons, edits) of a dialog, in Z order.
std::vector<std::wstring> ChildTexts(HWND dialog);

// Lets this thread's messages run for the given time, or until `done` holds (false on time-out).
void PumpFor(DWORD milliseconds);
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
template <class Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds timeout = 10s) {
    return PumpUntil(pred, static_cast<DWORD>(timeout.count()));
}
// Lets the input sent so far reach this thread's windows: runs messages until none is queued.
bool SettleInput();

// A list view in another process.
class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    [[nodiscard]] int Count() const;
    [[nodiscard]] std::wstring Text(int index0, int subItem = 0) const;
    [[nodiscard]] int Selected() const;  // 0-based, -1 when none
    [[nodiscard]] RECT ItemRect(int index0) const;  // client coordinates
    // A point on the row's first column in screen coordinates, scrolled into view.
    [[nodiscard]] POINT RowPoint(int index0) const;
    [[nodiscard]] int Image(int index0) const;
    [[nodiscard]] std::vector<std::wstring> Column(int subItem = 0) const;

private:
    HWND list_;
    HANDLE process_ = nullptr;
    void* remote_ = nullptr;
    static constexpr size_t kRemoteSize = 64 * 1024;
};

// Text of one part of a status window in another process.
std::wstring RemoteStatusText(HWND status, int part);

// A #32770 message box or dialog of a process (optionally with the given title).
HWND FindDialog(DWORD pid, const wchar_t* title = nullptr);
// Presses a dialog button by its command id, as a click would.
void PressDialogButton(HWND dialog, int id);

// Saves what the screen shows of a window as a .bmp file.
bool SaveWindowScreenshot(HWND hwnd, const std::wstring& path);
// <build>\screenshots\ (created on demand).
std::wstring ScreenshotFolder();

// What a window of this process shows in a client rectangle, as its window DC reads it.
struct ClientPixels {
    RECT rect{};
    std::vector<COLORREF> colors;  // row by row
    // The colour at a client point; CLR_INVALID outside the rectangle.
    [[nodiscard]] COLORREF At(int x, int y) const;
    // How many pixels of a client rectangle `match` accepts.
    [[nodiscard]] int Count(const RECT& r, const std::function<bool(COLORREF)>& match) const;
};
ClientPixels CapturePixels(HWND hwnd, const RECT& client);

// Real input through SendInput. Each mouse event carries its own position: Wine does not order
// SetCursorPos with queued input.
INPUT MouseInput(POINT screen, DWORD flags);
// One mouse event: a move, or a button going down or up (MOUSEEVENTF_LEFTDOWN, ...).
void MouseAt(POINT screen, DWORD flags = 0);
void ClickAt(POINT screen, bool right = false, bool doubleClick = false);
// Presses and releases a key with modifier keys (VK_SHIFT, VK_CONTROL, VK_MENU) held around it.
void PressKey(WORD vk, std::initializer_list<WORD> modifiers = {});

}  // namespace ardmoor::test
