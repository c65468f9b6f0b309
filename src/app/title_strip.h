#pragma once
// The strip across the top of the main window: product name, subtitle and logo.
#include <functional>
#include <string>

#include "platform/unique_handle.h"
#include "platform/window.h"

namespace ardmoor {

class TitleStrip : public Window {
public:
    bool Create(HWND parent, int id);
    // Height the strip wants at its DPI, in pixels.
    [[nodiscard]] int PreferredHeight() const;
    // Called when the logo is clicked.
    std::function<void()> OnLogoClick;
    // The logo's rectangle in client pixels (the window lays it out against the right edge).
    [[nodiscard]] RECT LogoRect() const;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint(HDC dc);
    void MakeFonts();
    UniqueFont titleFont_;
    UniqueFont subtitleFont_;
    UniqueIcon logo_;
};

inline constexpr const wchar_t* kProductName = L"Ardmoor";
inline constexpr const wchar_t* kSubtitle =
    L"Enhanced Replacement for the Add or Remove Programs Control Panel Applet";

}  // namespace ardmoor
