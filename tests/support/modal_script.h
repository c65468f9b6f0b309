#pragma once
// Drives a modal window of this thread while its ShowModal runs: the steps run from a thread
// timer inside the window's own message loop, so keys still go through its dialog manager.
#include <windows.h>

#include <functional>
#include <vector>

namespace ardmoor::test {

class ModalScript {
public:
    ~ModalScript();
    // A step is asked every 20 ms until it answers true, then the next one starts.
    ModalScript& Step(std::function<bool()> done);
    // Starts the steps (call before ShowModal). A step still waiting after 10 s fails the test
    // and closes the program's modal windows, so that ShowModal returns.
    void Start();
    [[nodiscard]] bool Finished() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    ULONGLONG stepStarted_ = 0;
    bool busy_ = false;
};

}  // namespace ardmoor::test
