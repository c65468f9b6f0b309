#pragma once
// Answers a dialog that is about to appear, from a thread of its own: the dialog's modal loop may
// run on the very thread that waits for the answer (the shell's delete confirmation, a message
// box, the uninstall dialogs in-process).
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace ardmoor::test {

class DialogAnswerer {
public:
    // Waits for a visible top-level window of process `pid` with this class and title, then
    // calls `answer` with it once. Gives up after `timeout`.
    DialogAnswerer(DWORD pid, std::wstring className, std::wstring title, std::function<void(HWND)> answer,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Presses the button `buttonId` of a #32770 dialog with this title.
    DialogAnswerer(DWORD pid, std::wstring title, int buttonId,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Waits for the thread; true when the window was found and answered.
    bool Wait();

private:
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

}  // namespace ardmoor::test
