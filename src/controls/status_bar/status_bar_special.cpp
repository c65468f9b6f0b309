#include "controls/status_bar/status_bar_special.h"

namespace ardmoor {

namespace {

std::wstring FormatTime(const SYSTEMTIME& time, const wchar_t* locale) {
    wchar_t buf[128];
    const int n = ::GetTimeFormatEx(locale, TIME_NOSECONDS, &time, nullptr, buf, static_cast<int>(std::size(buf)));
    return n > 0 ? std::wstring(buf, static_cast<size_t>(n - 1)) : std::wstring();
}

std::wstring FormatDate(const SYSTEMTIME& date, const wchar_t* locale) {
    wchar_t buf[128];
    const int n = ::GetDateFormatEx(locale, 0, &date, L"dd-MMM-yy", buf, static_cast<int>(std::size(buf)), nullptr);
    return n > 0 ? std::wstring(buf, static_cast<size_t>(n - 1)) : std::wstring();
}

SpecialPanelState KeyPanel(const wchar_t* text, const KeyStates& keys, int vk) {
    return {text, (keys[static_cast<size_t>(vk)] & 0x01) != 0};
}

}  // namespace

std::wstring ShortTimeText(const SYSTEMTIME& time, const wchar_t* locale) { return FormatTime(time, locale); }

std::wstring MediumDateText(const SYSTEMTIME& date, const wchar_t* locale) { return FormatDate(date, locale); }

SpecialPanelState ComputeSpecialPanel(long style, const SYSTEMTIME& now, const KeyStates& keys,
                                      const wchar_t* locale) {
    switch (style) {
    case kStyleCapsLock:
        return KeyPanel(L"CAPS", keys, VK_CAPITAL);
    case kStyleNumLock:
        return KeyPanel(L"NUM", keys, VK_NUMLOCK);
    case kStyleInsert:
        return KeyPanel(L"OVR", keys, VK_INSERT);
    case kStyleScrollLock:
        return KeyPanel(L"SCRL", keys, VK_SCROLL);
    case kStyleTime:
        return {FormatTime(now, locale), true};
    case kStyleDate:
        return {FormatDate(now, locale), true};
    case kStyleDateTime: {
        const std::wstring date = FormatDate(now, locale);
        const std::wstring time = FormatTime(now, locale);
        return {date.empty() || time.empty() ? date + time : date + L" " + time, true};
    }
    default:
        return {};
    }
}

KeyStates CurrentKeyStates() {
    KeyStates keys{};
    if (!::GetKeyboardState(keys.data())) keys.fill(0);
    return keys;
}

SYSTEMTIME CurrentLocalTime() {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return st;
}

void DrawSpecialPanel(HDC dc, const RECT& rect, HFONT font, const SpecialPanelState& state) {
    if (state.text.empty()) return;
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    if (font) ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(state.text.size());
    SIZE size{};
    ::GetTextExtentPoint32W(dc, state.text.c_str(), length, &size);
    const int x = rect.left + (rect.right - rect.left - size.cx) / 2;
    const int y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    if (state.on) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::ExtTextOutW(dc, x, y, 0, nullptr, state.text.c_str(), static_cast<UINT>(length), nullptr);
    } else {
        ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(state.text.c_str()), static_cast<WPARAM>(length),
                     x, y, size.cx, size.cy, DST_TEXT | DSS_DISABLED);
    }
    ::RestoreDC(dc, saved);
}

}  // namespace ardmoor
