#pragma once
// Running a command and waiting for it (uninstallers, setup programs), and handing documents and
// links to the shell with its failure codes turned into an error number and message.
#include <windows.h>

#include <string>

#include "platform/process_runner.h"
#include "platform/result.h"
#include "platform/shell.h"

namespace ardmoor {

// Runs `command` with the show code `windowStyle` and returns when it and every process it started
// have ended; the thread's messages keep running meanwhile. A command that is exactly one existing
// file (no arguments) is put in double quotes first, and `command` keeps them. Fails when nothing
// could be started (then nothing was waited for) or when WM_QUIT ended the wait.
Status ShellAndWait(ProcessRunner& runner, std::wstring& command, int windowStyle);

// The error a shell result from 0 to 32 stands for. Source: the program's file name without its
// extension, then ".GShell".
ShellError ShellOpenError(INT_PTR shellCode);

// The shell's execute operation, as ShellExecuteW takes it; tests put their own in its place.
using ShellExecuteFunction = INT_PTR (*)(HWND owner, const wchar_t* operation, const wchar_t* file,
                                         const wchar_t* parameters, const wchar_t* folder, int showCommand);

// Hands `file` to the shell with the verb `operation` and returns at once. True when the shell
// accepted it; otherwise false with `error` (when given) filled from ShellOpenError. Shows nothing
// of its own: whatever the user sees comes from the shell.
//   - A file whose name contains ".EXE" (any case) is started hidden (show code 0) when parameters
//     or a working folder are given.
//   - Without parameters and working folder the show code plays no part: the shell gets 1.
bool ShellOpen(const std::wstring& file, int showCode, const std::wstring& parameters, const std::wstring& folder,
               const std::wstring& operation, HWND owner, ShellError* error = nullptr,
               ShellExecuteFunction execute = nullptr);

}  // namespace ardmoor
