#pragma once
// The program's progress bar: a control window of its own holding the system's progress window
// ("msctls_progress32"), which always fills it. Every property lives in the control, so the
// progress window can be made again whenever a property that needs a new one changes
// (Orientation, Smooth). Properties can be kept the way a form file keeps them: a bag of named
// numbers.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/window.h"

namespace ardmoor {

using PropertyBag = std::map<std::wstring, int64_t>;

class ProgressBar : public Window {
public:
    // OLE colours of the system's highlight and button face.
    static constexpr uint32_t kHighlight = 0x8000000D;
    static constexpr uint32_t kButtonFace = 0x8000000F;

    ProgressBar() = default;
    ~ProgressBar() override;

    // Creates the control (pixels in the parent's client area) with the properties it has,
    // and its progress window.
    bool Create(HWND parent, int id, int x, int y, int width, int height);

    // A newly placed control: horizontal, segmented, border style 1, range 1 to 100, step 1,
    // highlight bar on the container's back colour (given as an OLE colour).
    void InitProperties(uint32_t containerBackColor = kButtonFace);
    // Takes the properties from a form file; missing ones get their defaults (range 0 to 100,
    // Value -1: an empty bar).
    void ReadProperties(const PropertyBag& bag);
    // Stores every property under its own name.
    void WriteProperties(PropertyBag& bag) const;
    // True once a property was changed through its setter (the form file is out of date).
    [[nodiscard]] bool PropertiesChanged() const noexcept { return changed_; }

    [[nodiscard]] int32_t Orientation() const noexcept { return orientation_; }  // 0 horizontal, 1 vertical
    void SetOrientation(int32_t value);
    [[nodiscard]] bool Smooth() const noexcept { return smooth_; }
    void SetSmooth(bool value);
    [[nodiscard]] int32_t Min() const noexcept { return min_; }
    void SetMin(int32_t value);
    [[nodiscard]] int32_t Max() const noexcept { return max_; }
    void SetMax(int32_t value);
    // The position. After StepIt it follows the window's position.
    [[nodiscard]] int32_t Value() const noexcept { return value_; }
    void SetValue(int32_t value);
    [[nodiscard]] int32_t Step() const noexcept { return step_; }
    void SetStep(int32_t value);
    // 0 none, 1 a thin edge on the bar, 2 a sunken edge on the control.
    [[nodiscard]] int32_t BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(int32_t value);
    [[nodiscard]] uint32_t ForeColor() const noexcept { return foreColor_; }  // OLE colours
    void SetForeColor(uint32_t value);
    [[nodiscard]] uint32_t BackColor() const noexcept { return backColor_; }
    void SetBackColor(uint32_t value);
    // The progress window (null before Create).
    [[nodiscard]] HWND hWnd() const noexcept { return bar_; }

    void StepIt();

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void CreateBar();
    void Recreate();
    void ApplyRange();
    void ApplyBorder();
    void Changed() noexcept { changed_ = true; }

    int32_t orientation_ = 0;
    bool smooth_ = false;
    int32_t min_ = 0;
    int32_t max_ = 100;
    int32_t value_ = -1;
    int32_t step_ = 1;
    int32_t borderStyle_ = 1;
    uint32_t foreColor_ = kHighlight;
    uint32_t backColor_ = kButtonFace;
    bool changed_ = false;
    HWND bar_ = nullptr;  // a child of the control's window, destroyed with it
};

}  // namespace ardmoor
