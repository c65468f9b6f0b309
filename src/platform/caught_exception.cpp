#include "platform/caught_exception.h"

#include <windows.h>

#include <exception>
#include <string>

namespace ardmoor {

void ReportCaughtException(const wchar_t* where) noexcept {
    try {
        std::wstring text = L"Ardmoor: ";
        text += where ? where : L"?";
        text += L": ";
        try {
            throw;
        } catch (const std::exception& e) {
            const char* what = e.what();
            const int n = ::MultiByteToWideChar(CP_UTF8, 0, what, -1, nullptr, 0);
            std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
            if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, what, -1, wide.data(), n);
            wide.resize(wide.find(L'\0'));
            text += wide;
        } catch (...) {
            text += L"an exception that is not a std::exception";
        }
        text += L"\n";
        ::OutputDebugStringW(text.c_str());
    } catch (...) {
        ::OutputDebugStringW(L"Ardmoor: an exception was caught and could not be described\n");
    }
}

}  // namespace ardmoor
