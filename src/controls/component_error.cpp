#include "controls/component_error.h"

#include <windows.h>

#include "platform/strings.h"

namespace ardmoor {

ComponentError::ComponentError(long number, std::wstring source, std::wstring message)
    : number_(number), source_(std::move(source)), message_(std::move(message)), what_(WideToUtf8(message_)) {}

std::wstring ComponentSource(std::wstring_view component) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            path.clear();
            break;
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name + L"." + std::wstring(component);
}

}  // namespace ardmoor
