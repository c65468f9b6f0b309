#include "uninstall/system_shell.h"

#include <shellapi.h>

#include "uninstall/mShellExecute.h"

namespace ardmoor {

bool SystemShell::Open(const std::wstring& file, int showCommand, const std::wstring& parameters,
                       const std::wstring& folder, const std::wstring& operation, HWND owner, ShellError* error) {
    return ShellOpen(file, showCommand, parameters, folder, operation, owner, error);
}

Status SystemShell::Recycle(const std::wstring& path, HWND owner) {
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return Error{ERROR_INVALID_NAME};
    std::wstring from = path;
    from.push_back(L'\0');  // a list of one path, ended by a second NUL
    SHFILEOPSTRUCTW op{};
    op.hwnd = owner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO;
    const int rc = ::SHFileOperationW(&op);
    if (rc != 0) return Error{rc};
    if (op.fAnyOperationsAborted) return Error{ERROR_CANCELLED};
    return {};
}

}  // namespace ardmoor
