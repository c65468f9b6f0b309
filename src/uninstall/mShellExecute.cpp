#include "uninstall/mShellExecute.h"

#include <shellapi.h>

#include "catalogue/file_helpers.h"
#include "platform/strings.h"

namespace ardmoor {

namespace {

constexpr long kObjectErrorBase = -2147220456;  // 0x80040000 + 1048, as a signed 32-bit number

std::wstring ProgramBaseName() {
    wchar_t buf[MAX_PATH * 2];
    std::wstring path(buf, ::GetModuleFileNameW(nullptr, buf, MAX_PATH * 2));
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

INT_PTR SystemShellExecute(HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* folder, int showCommand) {
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, operation, file, parameters, folder, showCommand));
}

const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

}  // namespace

Status ShellAndWait(ProcessRunner& runner, std::wstring& command, int windowStyle) {
    if (FileExists(command)) {
        if (command.front() != L'"') command.insert(command.begin(), L'"');
        if (command.size() < 2 || command.back() != L'"') command.push_back(L'"');
    }
    return runner.RunAndWait(command, windowStyle);
}

ShellError ShellOpenError(INT_PTR shellCode) {
    ShellError e;
    e.source = ProgramBaseName() + L".GShell";
    const long code = static_cast<long>(shellCode);
    switch (code) {
    case 0:
    case SE_ERR_OOM:
        e.number = 7;
        e.message = L"Out of memory";
        break;
    case SE_ERR_FNF:
        e.number = 53;
        e.message = L"File not found";
        break;
    case SE_ERR_PNF:
        e.number = 76;
        e.message = L"Path not found";
        break;
    case SE_ERR_ACCESSDENIED:
        e.number = 75;
        e.message = L"Path/file access error";
        break;
    case ERROR_BAD_FORMAT:
        e.number = kObjectErrorBase + code;
        e.message = L"The executable file is invalid or corrupt";
        break;
    case SE_ERR_SHARE:
        e.number = 75;
        e.message = L"A sharing violation occurred.";
        break;
    case SE_ERR_ASSOCINCOMPLETE:
        e.number = kObjectErrorBase + code;
        e.message = L"This file type does not have a valid file association.";
        break;
    case SE_ERR_DDETIMEOUT:
        e.number = 286;
        e.message = L"The file could not be opened due to time out.  Please try again in a moment.";
        break;
    case SE_ERR_DDEFAIL:
        e.number = 285;
        e.message = L"The file could not be opened because the DDE transaction failed.  Please try again in a moment.";
        break;
    case SE_ERR_DDEBUSY:
        e.number = 285;
        e.message = L"The file could not be opened because the target application is busy.  Please try again in a moment.";
        break;
    case SE_ERR_NOASSOC:
        e.number = kObjectErrorBase + code;
        e.message = L"No application is associated with this file type.";
        break;
    case SE_ERR_DLLNOTFOUND:
        e.number = 48;
        e.message = L"The specified dynamic-link library was not found.";
        break;
    default:
        e.number = kObjectErrorBase + code;
        e.message = L"An error occurred occurred whilst trying to open or print the selected file.";
        break;
    }
    return e;
}

bool ShellOpen(const std::wstring& file, int showCode, const std::wstring& parameters, const std::wstring& folder,
               const std::wstring& operation, HWND owner, ShellError* error, ShellExecuteFunction execute) {
    if (!execute) execute = SystemShellExecute;
    if (ToUpper(file).find(L".EXE") != std::wstring::npos) showCode = SW_HIDE;
    INT_PTR result = 0;
    if (!parameters.empty() || !folder.empty())
        result = execute(owner, OrNull(operation), file.c_str(), OrNull(parameters), OrNull(folder), showCode);
    else
        result = execute(owner, OrNull(operation), file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (result < 0 || result > 32) return true;
    if (error) *error = ShellOpenError(result);
    return false;
}

}  // namespace ardmoor
