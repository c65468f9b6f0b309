#pragma once
// The one place where long work lets pending window messages run, and the program's main loop.

namespace ardmoor {

// Dispatches every message already queued for this thread, then returns. Returns false when a
// WM_QUIT was seen (it is posted again so that the main loop still ends).
bool PumpPendingMessages();

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace ardmoor
