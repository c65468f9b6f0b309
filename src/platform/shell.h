#pragma once
// The Windows shell as the program uses it: opening documents, folders and links, and sending a
// left-over folder to the Recycle Bin. Workflows take a Shell so that tests can see what would be
// opened or deleted.
#include <windows.h>

#include <string>

#include "platform/result.h"

namespace ardmoor {

// What a failed open reports: an error number and a message (see ShellOpen).
struct ShellError {
    long number = 0;
    std::wstring source;
    std::wstring message;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Hands `file` to the shell with the verb `operation`. True when the shell accepted it; false
    // with `error` filled (when given) otherwise. Shows nothing of its own.
    virtual bool Open(const std::wstring& file, int showCommand, const std::wstring& parameters,
                      const std::wstring& folder, const std::wstring& operation, HWND owner,
                      ShellError* error = nullptr) = 0;
    // Sends a file or folder to the Recycle Bin through the shell's file operation, with the
    // shell's own confirmation, progress and error dialogs. Fails when the shell reported failure
    // or the user cancelled.
    virtual Status Recycle(const std::wstring& path, HWND owner) = 0;
};

}  // namespace ardmoor
