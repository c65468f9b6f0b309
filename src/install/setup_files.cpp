#include "install/setup_files.h"

#include "platform/strings.h"

namespace ardmoor {

std::wstring ExtensionOf(std::wstring_view name) {
    const size_t dot = name.find_last_of(L'.');
    return ToLower(dot == std::wstring_view::npos ? name : name.substr(dot + 1));
}

std::wstring BareName(std::wstring_view name) {
    const size_t slash = name.find_last_of(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? name : name.substr(slash + 1));
}

bool IsSetupProgramName(std::wstring_view name) {
    if (ExtensionOf(name) != L"exe") return false;
    const std::wstring lower = ToLower(name);
    if (lower.find(L"uninstall") != std::wstring::npos) return false;
    return lower.find(L"setup") != std::wstring::npos || lower.find(L"install") != std::wstring::npos;
}

std::wstring FormatSize(uint64_t bytes) {
    const std::wstring digits = std::to_wstring(bytes);
    NUMBERFMTW format{};
    wchar_t decimal[8] = L".", thousand[8] = L",", grouping[16] = L"3;0";
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousand, 8);
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
    // NUMBERFMT's form of the locale's grouping: "3;0" (groups of three) is 3, "3;2;0" is 32, and
    // "3" alone (one group, then none) is 30.
    std::wstring spec(grouping);
    const bool repeats = EndsWith(spec, L";0");
    if (repeats) spec.resize(spec.size() - 2);
    UINT groups = 0;
    for (wchar_t c : spec)
        if (c >= L'0' && c <= L'9') groups = groups * 10 + (c - L'0');
    if (!repeats) groups *= 10;
    format.NumDigits = 0;
    format.LeadingZero = 1;
    format.Grouping = groups;
    format.lpDecimalSep = decimal;
    format.lpThousandSep = thousand;
    format.NegativeOrder = 1;
    wchar_t out[64];
    const int n = ::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, out, 64);
    return n > 0 ? std::wstring(out) : digits;
}

std::wstring FormatModified(const FILETIME& utc) {
    FILETIME local{};
    SYSTEMTIME t{};
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &t)) return {};
    wchar_t date[128] = L"", time[128] = L"";
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, 128, nullptr);
    if (t.wHour == 0 && t.wMinute == 0 && t.wSecond == 0) return date;
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &t, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

}  // namespace ardmoor
