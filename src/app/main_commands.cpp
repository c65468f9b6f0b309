#include "app/main_commands.h"

namespace ardmoor {

std::wstring WindowTextOf(HWND hwnd) {
    const int n = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), n + 1)));
    return text;
}

std::wstring CurrentDateTimeText() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t date[128] = L"", time[128] = L"";
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 128, nullptr);
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

std::wstring EscapeMenuText(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out.push_back(c);
        if (c == L'&') out.push_back(L'&');
    }
    return out;
}

}  // namespace ardmoor
