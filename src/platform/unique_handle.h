#pragma once
// One move-only owner for every kind of Windows handle the program holds.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <utility>

namespace ardmoor {

template <class Traits>
class UniqueHandle {
public:
    using handle_type = typename Traits::handle_type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(handle_type h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    [[nodiscard]] handle_type get() const noexcept { return h_; }
    [[nodiscard]] explicit operator bool() const noexcept { return Traits::valid(h_); }

    // For out-parameters: closes what is held and hands out the slot.
    handle_type* put() noexcept {
        reset();
        return &h_;
    }
    handle_type release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(handle_type h = Traits::invalid()) noexcept {
        if (Traits::valid(h_)) Traits::close(h_);
        h_ = h;
    }

private:
    handle_type h_ = Traits::invalid();
};

namespace handle_traits {
template <class H>
struct NullIsInvalid {
    using handle_type = H;
    static constexpr H invalid() noexcept { return nullptr; }
    static bool valid(H h) noexcept { return h != nullptr; }
};
struct Kernel : NullIsInvalid<HANDLE> {
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct Find {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};
struct RegKey : NullIsInvalid<HKEY> {
    // The predefined roots (HKEY_LOCAL_MACHINE, ...) belong to the system and are never closed.
    static bool valid(HKEY h) noexcept {
        return h != nullptr && !(reinterpret_cast<ULONG_PTR>(h) >= reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT) &&
                                 reinterpret_cast<ULONG_PTR>(h) <= reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_USER_LOCAL_SETTINGS));
    }
    static void close(HKEY h) noexcept { ::RegCloseKey(h); }
};
struct Icon : NullIsInvalid<HICON> {
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};
struct ImageList : NullIsInvalid<HIMAGELIST> {
    static void close(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
};
template <class G>
struct Gdi : NullIsInvalid<G> {
    static void close(G h) noexcept { ::DeleteObject(h); }
};
struct Dc : NullIsInvalid<HDC> {
    static void close(HDC h) noexcept { ::DeleteDC(h); }
};
struct Menu : NullIsInvalid<HMENU> {
    static void close(HMENU h) noexcept { ::DestroyMenu(h); }
};
struct Window : NullIsInvalid<HWND> {
    static void close(HWND h) noexcept { ::DestroyWindow(h); }
};
struct Module : NullIsInvalid<HMODULE> {
    static void close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
// Memory the system allocated for the caller: FormatMessage's buffers, and COM's task memory.
struct LocalMemory : NullIsInvalid<HLOCAL> {
    static void close(HLOCAL h) noexcept { ::LocalFree(h); }
};
struct CoTaskMemory : NullIsInvalid<void*> {
    static void close(void* p) noexcept { ::CoTaskMemFree(p); }
};
}  // namespace handle_traits

using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;
using UniqueFindHandle = UniqueHandle<handle_traits::Find>;
using UniqueHKey = UniqueHandle<handle_traits::RegKey>;
using UniqueIcon = UniqueHandle<handle_traits::Icon>;
using UniqueImageList = UniqueHandle<handle_traits::ImageList>;
using UniqueFont = UniqueHandle<handle_traits::Gdi<HFONT>>;
using UniqueBitmap = UniqueHandle<handle_traits::Gdi<HBITMAP>>;
using UniqueBrush = UniqueHandle<handle_traits::Gdi<HBRUSH>>;
using UniquePen = UniqueHandle<handle_traits::Gdi<HPEN>>;
using UniqueRegion = UniqueHandle<handle_traits::Gdi<HRGN>>;
using UniqueDc = UniqueHandle<handle_traits::Dc>;
using UniqueMenu = UniqueHandle<handle_traits::Menu>;
using UniqueWindow = UniqueHandle<handle_traits::Window>;
using UniqueModule = UniqueHandle<handle_traits::Module>;
using UniqueLocalMemory = UniqueHandle<handle_traits::LocalMemory>;
using UniqueCoTaskMemory = UniqueHandle<handle_traits::CoTaskMemory>;

// A DC from GetDC (or GetDCEx with `flags`), given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDc(HWND hwnd, DWORD flags) noexcept : hwnd_(hwnd), dc_(::GetDCEx(hwnd, nullptr, flags)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT, with the window's client area at hand.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) { ::GetClientRect(hwnd, &client_); }
    ~PaintDc() { ::EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return dc_; }
    [[nodiscard]] const RECT& client() const noexcept { return client_; }
    [[nodiscard]] const RECT& dirty() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
    RECT client_{};
};

// Selects an object into a DC for the lifetime of the guard.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (old_) ::SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace ardmoor
