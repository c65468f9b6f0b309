#pragma once
// The one place where long work lets pending window messages run, and the program's main loop.

namespace ardmoor {

// Dispatches every message already queued for this thread, then returns. Returns false when a
// WM_QUIT was seen (it is posted again so that the main loop still ends).
bool PumpPendingMessages();

// Handles the messages other threads have sent to this thread's windows (they wait for the
// answer), and nothing else: no posted message, input or paint is taken.
void AnswerSentMessages();

// For long work that calls it often: pumps pending messages when `intervalMs` have passed since it
// last did, so that the window keeps painting without the work paying for a repaint each time.
class PumpThrottle {
public:
    explicit PumpThrottle(unsigned intervalMs = 50);
    // Returns false when WM_QUIT was seen (as PumpPendingMessages).
    bool Tick();

private:
    unsigned long long interval_;
    unsigned long long last_;
};

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace ardmoor
