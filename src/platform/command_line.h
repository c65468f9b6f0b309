#pragma once
// Which program a command line names, resolved the way the system's own programs panel does it
// and never to a file the line does not name.
//
//   "C:\Program Files\X\unins.exe" /S   the quoted path is the program.
//   C:\Program Files\X\unins.exe /S     unquoted: the longest run of blank-separated words from
//                                       the start that names an existing file is the program.
//                                       "C:\Program" + ".exe" is never tried: a planted
//                                       C:\Program.exe must not run in place of unins.exe.
//   MsiExec.exe /I{...}                 a bare name (no folder): looked up in the system folder,
//                                       the Windows folder and then PATH, ".exe" added when the
//                                       name has no extension. Not in the current folder or the
//                                       program's own folder, where a planted copy could sit.
// A relative path with a folder part (sub\x.exe) names nothing certain and is not resolved.
#include <string>
#include <string_view>

#include "platform/result.h"

namespace ardmoor {

struct ResolvedCommand {
    std::wstring program;    // full path of an existing file (not a folder)
    std::wstring arguments;  // the rest of the line, leading blanks removed
};

// Fails with ERROR_FILE_NOT_FOUND when the line names no existing program (ERROR_INVALID_PARAMETER
// for an empty line).
[[nodiscard]] Result<ResolvedCommand> ResolveCommandLine(std::wstring_view commandLine);

// The line to start it with: the program's path in quotes, a blank and the arguments.
[[nodiscard]] std::wstring QuotedCommandLine(const ResolvedCommand& command);

}  // namespace ardmoor
