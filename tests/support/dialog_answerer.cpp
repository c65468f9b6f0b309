#include "dialog_answerer.h"

#include "remote_ui.h"

namespace ardmoor::test {

DialogAnswerer::DialogAnswerer(DWORD pid, std::wstring className, std::wstring title,
                               std::function<void(HWND)> answer, std::chrono::milliseconds timeout) {
    thread_ = std::thread([this, pid, className = std::move(className), title = std::move(title),
                           answer = std::move(answer), timeout] {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            for (HWND h : TopLevelWindows(pid)) {
                if (!::IsWindowVisible(h) || ClassName(h) != className || WindowText(h) != title) continue;
                answer(h);
                answered_ = true;
                return;
            }
            ::Sleep(30);
        }
    });
}

DialogAnswerer::DialogAnswerer(DWORD pid, std::wstring title, int buttonId, std::chrono::milliseconds timeout)
    : DialogAnswerer(pid, L"#32770", std::move(title), [buttonId](HWND h) { PressDialogButton(h, buttonId); },
                     timeout) {}

DialogAnswerer::~DialogAnswerer() {
    if (thread_.joinable()) thread_.join();
}

bool DialogAnswerer::Wait() {
    if (thread_.joinable()) thread_.join();
    return answered_;
}

}  // namespace ardmoor::test
