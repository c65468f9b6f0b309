#pragma once
// Starting programs: the uninstall commands of entries and the setup programs of the install
// wizard. Workflows take a ProcessRunner so that tests can see what would run.
//
// Command lines are those the registry and the user give: "C:\Program Files\X\unins.exe" /S,
// MsiExec.exe /I{...}, C:\Program Files\X\unins.exe /S (unquoted, with spaces). The program part is
// resolved the way the system's own panel does it and never to a file the command does not name:
// see SystemProcessRunner.
#include <windows.h>

#include <string>

#include "platform/result.h"

namespace ardmoor {

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Starts the command line with the given show code and returns at once. Fails (with the
    // system's error code) when nothing could be started.
    virtual Status Start(const std::wstring& commandLine, int showCommand) = 0;
    // Starts the command line and returns when it and every process it started have ended. The
    // calling thread's window messages keep running meanwhile (no CPU is spent waiting). Fails
    // when nothing could be started.
    virtual Status RunAndWait(const std::wstring& commandLine, int showCommand) = 0;
};

}  // namespace ardmoor
