#pragma once
// Routes chosen messages of a window to an object, ahead of (or after) the window's own procedure.
// Built on the system's per-window subclass chain, so several objects can watch one window.
#include <windows.h>

namespace ardmoor {

// How a subclassed message is combined with the window's own procedure. Read from the object
// each time one of its messages arrives.
enum class EMsgResponse : int {
    // Only ISubclass_WindowProc runs; its result is the answer.
    emrConsume = 0,
    // The window's own procedure runs first, then ISubclass_WindowProc; ours is the answer.
    emrPostProcess = 1,
    // ISubclass_WindowProc runs first, then the window's own procedure; the window's is the answer.
    emrPreProcess = 2,
};

class ISubclass {
public:
    ISubclass() = default;
    ISubclass(const ISubclass&) = delete;
    ISubclass& operator=(const ISubclass&) = delete;

    virtual LRESULT ISubclass_WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual EMsgResponse ISubclass_MsgResponse() { return EMsgResponse::emrConsume; }

protected:
    // Detaches from every window still attached, so that no message can reach a dead object.
    virtual ~ISubclass();
};

// Sends one message of one window (of the calling thread) to `target`. Attaching the same
// message twice is harmless. False when the window is gone or belongs to another thread.
[[nodiscard]] bool AttachMessage(ISubclass* target, HWND hwnd, UINT msg);
// Stops sending that message; the last message detached releases the window. False when it
// was not attached.
bool DetachMessage(ISubclass* target, HWND hwnd, UINT msg);
// Detaches every message of every window from `target`.
void DetachAll(ISubclass* target) noexcept;
[[nodiscard]] bool IsAttached(ISubclass* target, HWND hwnd, UINT msg);

// From inside ISubclass_WindowProc (with emrConsume): lets the window's own procedure handle the
// message after all and returns its answer.
LRESULT CallOldWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace ardmoor
