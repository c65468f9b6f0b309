#include "controls/progress_bar/progress_bar.h"

#include <commctrl.h>
#include <olectl.h>

namespace ardmoor {

namespace {
constexpr const wchar_t* kClass = L"ArdmoorProgressBar";
constexpr uint32_t kUnset = 0xFFFFFFFF;

COLORREF PlainRgb(uint32_t oleColor) {
    COLORREF rgb = 0;
    if (FAILED(::OleTranslateColor(oleColor, nullptr, &rgb))) return CLR_DEFAULT;
    return rgb;
}

void SetExStyleBit(HWND hwnd, DWORD bit, bool on) {
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, on ? (ex | bit) : (ex & ~static_cast<LONG_PTR>(bit)));
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

template <class T>
T Read(const PropertyBag& bag, const wchar_t* name, T fallback) {
    const auto it = bag.find(name);
    return it == bag.end() ? fallback : static_cast<T>(it->second);
}
}  // namespace

ProgressBar::~ProgressBar() = default;

bool ProgressBar::Create(HWND parent, int id, int x, int y, int width, int height) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    if (!Window::Create(kClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), CS_HREDRAW | CS_VREDRAW, nullptr,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    Recreate();
    return bar_ != nullptr;
}

void ProgressBar::InitProperties(uint32_t containerBackColor) {
    orientation_ = 0;
    smooth_ = false;
    borderStyle_ = 1;
    min_ = 1;
    max_ = 100;
    step_ = 1;
    foreColor_ = kHighlight;
    backColor_ = containerBackColor;
    if (hwnd()) Recreate();
}

void ProgressBar::ReadProperties(const PropertyBag& bag) {
    smooth_ = Read<int64_t>(bag, L"Smooth", 0) != 0;
    orientation_ = Read<int32_t>(bag, L"Orientation", 0);
    borderStyle_ = Read<int32_t>(bag, L"BorderStyle", 1);
    foreColor_ = Read<uint32_t>(bag, L"ForeColor", kHighlight);
    backColor_ = Read<uint32_t>(bag, L"BackColor", kButtonFace);
    min_ = Read<int32_t>(bag, L"Min", 0);
    max_ = Read<int32_t>(bag, L"Max", 100);
    step_ = Read<int32_t>(bag, L"Step", 1);
    value_ = Read<int32_t>(bag, L"Value", -1);
    if (hwnd()) Recreate();
}

void ProgressBar::WriteProperties(PropertyBag& bag) const {
    bag[L"Smooth"] = smooth_ ? 1 : 0;
    bag[L"Orientation"] = orientation_;
    bag[L"BorderStyle"] = borderStyle_;
    bag[L"ForeColor"] = foreColor_;
    bag[L"BackColor"] = backColor_;
    bag[L"Min"] = min_;
    bag[L"Max"] = max_;
    bag[L"Step"] = step_;
    bag[L"Value"] = value_;
}

void ProgressBar::CreateBar() {
    if (bar_) {
        ::DestroyWindow(bar_);
        bar_ = nullptr;
    }
    if (!hwnd()) return;
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (orientation_ == 1) style |= PBS_VERTICAL;
    if (smooth_) style |= PBS_SMOOTH;
    RECT inner{};
    ::GetClientRect(hwnd(), &inner);
    bar_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", style, 0, 0, inner.right, inner.bottom, hwnd(), nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    if (bar_) ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(value_), 0);
}

void ProgressBar::Recreate() {
    const int32_t border = borderStyle_;
    const int32_t value = value_;
    const uint32_t back = backColor_;
    const uint32_t fore = foreColor_;
    CreateBar();
    ApplyRange();
    // Each setter passes its value on only when it differs from the stored one.
    const bool wasChanged = changed_;
    value_ = -1;
    SetValue(value);
    borderStyle_ = -1;
    SetBorderStyle(border);
    backColor_ = kUnset;
    SetBackColor(back);
    foreColor_ = kUnset;
    SetForeColor(fore);
    changed_ = wasChanged;
}

void ProgressBar::ApplyRange() {
    if (!bar_) return;
    ::SendMessageW(bar_, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    PBRANGE range{};
    ::SendMessageW(bar_, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    if (range.iLow != min_ || range.iHigh != max_)  // a progress window with 16-bit ranges only
        ::SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(LOWORD(min_), LOWORD(max_)));
}

void ProgressBar::ApplyBorder() {
    if (bar_) SetExStyleBit(bar_, WS_EX_STATICEDGE, borderStyle_ == 1);
    if (hwnd()) SetExStyleBit(hwnd(), WS_EX_CLIENTEDGE, borderStyle_ == 2);
    if (hwnd()) ::SendMessageW(hwnd(), WM_SIZE, 0, 0);  // the inner size changed with the edge
}

void ProgressBar::SetOrientation(int32_t value) {
    if (value == orientation_) return;
    orientation_ = value;
    Changed();
    if (hwnd()) Recreate();
}

void ProgressBar::SetSmooth(bool value) {
    if (value == smooth_) return;
    smooth_ = value;
    Changed();
    if (hwnd()) Recreate();
}

void ProgressBar::SetMin(int32_t value) {
    if (value == min_) return;
    min_ = value;
    Changed();
    ApplyRange();
}

void ProgressBar::SetMax(int32_t value) {
    if (value == max_) return;
    max_ = value;
    Changed();
    ApplyRange();
}

void ProgressBar::SetValue(int32_t value) {
    if (value == value_) return;
    value_ = value;
    Changed();
    if (bar_) ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void ProgressBar::SetStep(int32_t value) {
    if (value == step_) return;
    step_ = value;
    Changed();
    if (bar_) ::SendMessageW(bar_, PBM_SETSTEP, static_cast<WPARAM>(value), 0);
}

void ProgressBar::SetBorderStyle(int32_t value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    Changed();
    ApplyBorder();
}

void ProgressBar::SetForeColor(uint32_t value) {
    if (value == foreColor_) return;
    foreColor_ = value;
    Changed();
    if (bar_) ::SendMessageW(bar_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(PlainRgb(value)));
}

void ProgressBar::SetBackColor(uint32_t value) {
    if (value == backColor_) return;
    backColor_ = value;
    Changed();
    if (bar_) ::SendMessageW(bar_, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(PlainRgb(value)));
}

void ProgressBar::StepIt() {
    if (!bar_) {
        value_ += step_;
        Changed();
        return;
    }
    ::SendMessageW(bar_, PBM_STEPIT, 0, 0);
    value_ = static_cast<int32_t>(::SendMessageW(bar_, PBM_GETPOS, 0, 0));
}

bool ProgressBar::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_SIZE:
        if (bar_) {
            RECT inner{};
            ::GetClientRect(hwnd(), &inner);
            ::MoveWindow(bar_, 0, 0, inner.right, inner.bottom, TRUE);
        }
        result = 0;
        return true;
    case WM_NCDESTROY:
        bar_ = nullptr;  // destroyed with its parent
        return false;
    default:
        return false;
    }
}

}  // namespace ardmoor
