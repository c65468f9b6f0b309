#pragma once
// The panels the status bar draws itself: key states and the date and time. Their texts are
// computed here from a given time and keyboard state, so that they can be checked for any of them.
#include <windows.h>

#include <array>
#include <string>

namespace ardmoor {

// Panel styles up to this value are the status window's own drawing flags; above it are the
// control's special panels.
inline constexpr long kLastStatusWindowStyle = 4096;
inline constexpr long kStyleCapsLock = 4097;
inline constexpr long kStyleNumLock = 4098;
inline constexpr long kStyleInsert = 4099;
inline constexpr long kStyleScrollLock = 4100;
inline constexpr long kStyleTime = 4101;
inline constexpr long kStyleDate = 4102;
inline constexpr long kStyleDateTime = 4103;

// Any style above the status window's own is drawn by the control; unknown ones draw no text.
[[nodiscard]] constexpr bool IsSpecialStyle(long style) noexcept { return style > kLastStatusWindowStyle; }

// One byte per virtual key, as GetKeyboardState fills it.
using KeyStates = std::array<BYTE, 256>;

struct SpecialPanelState {
    std::wstring text;
    bool on = true;  // false draws the text greyed
};

// Text and state of a special panel. Lock keys count as on while toggled. Dates and times use the
// given locale's formats: "short time" is its time format without seconds, "medium date" its
// day, abbreviated month and two-digit year ("dd-MMM-yy").
SpecialPanelState ComputeSpecialPanel(long style, const SYSTEMTIME& now, const KeyStates& keys,
                                      const wchar_t* locale = LOCALE_NAME_USER_DEFAULT);

std::wstring ShortTimeText(const SYSTEMTIME& time, const wchar_t* locale = LOCALE_NAME_USER_DEFAULT);
std::wstring MediumDateText(const SYSTEMTIME& date, const wchar_t* locale = LOCALE_NAME_USER_DEFAULT);

// The current keyboard state of this thread and the local time.
KeyStates CurrentKeyStates();
SYSTEMTIME CurrentLocalTime();

// Draws a special panel's text centred in `rect` with a transparent background, in the disabled
// (greyed) look when it is off.
void DrawSpecialPanel(HDC dc, const RECT& rect, HFONT font, const SpecialPanelState& state);

}  // namespace ardmoor
