#pragma once
// Base class of every window the program registers: WM_NCCREATE stores `this`, the window
// procedure is noexcept and keeps exceptions from crossing into the system.
#include <windows.h>

#include <string>

namespace ardmoor {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }

    // Registers the class once per process (by name) and creates the window.
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId, UINT classStyle = CS_HREDRAW | CS_VREDRAW,
                HICON icon = nullptr, HBRUSH background = nullptr);

    // Destroys the window if it still exists.
    void Destroy() noexcept;

    // Dots per inch of the monitor the window is on (96 before the window exists).
    [[nodiscard]] UINT Dpi() const noexcept;
    [[nodiscard]] int Scale(int pixelsAt96) const noexcept;

protected:
    // Typed dispatch point: return true with `result` set when the message was handled.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;
    // Called after WM_NCDESTROY, when hwnd() is already null.
    virtual void OnDestroyed() {}

    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) noexcept;

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

// Converts twips (1/1440 inch) to pixels at a given DPI, and back.
int TwipsToPixels(int twips, UINT dpi) noexcept;
int PixelsToTwips(int pixels, UINT dpi) noexcept;

}  // namespace ardmoor
