#pragma once
// The real Shell: ShellOpen for documents and links, and the shell's own delete operation with
// undo for the Recycle Bin.
#include "platform/shell.h"

namespace ardmoor {

class SystemShell : public Shell {
public:
    bool Open(const std::wstring& file, int showCommand, const std::wstring& parameters, const std::wstring& folder,
              const std::wstring& operation, HWND owner, ShellError* error = nullptr) override;
    // SHFileOperationW(FO_DELETE) with FOF_ALLOWUNDO only: the shell asks for confirmation, shows
    // its progress and reports its own errors. A path holding wildcards is refused (it would
    // delete everything it matches).
    Status Recycle(const std::wstring& path, HWND owner) override;
};

}  // namespace ardmoor
