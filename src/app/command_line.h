#pragma once
// The command line, for scripts: the listing to standard output or to a file, with no window.
//   ardmoor /list [/csv | /json]   the listing on standard output (tab-separated by default)
//   ardmoor /export FILE           the listing in FILE, in the format its extension names
//   ardmoor /?                     the usage
// Switches may start with "/" or "-" and are read without regard to case. With no arguments the
// program opens its window.
#include <string>
#include <vector>

#include "catalogue/export_formats.h"
#include "platform/output_file.h"

namespace ardmoor {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitNothingRead = 1;
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitCannotWrite = 3;

struct CommandLine {
    enum class Action { Window, Usage, List, Export, Bad };
    Action action = Action::Window;
    ExportFormat format = ExportFormat::Tsv;
    std::wstring file;     // for Export
    std::wstring problem;  // for Bad: what is wrong, for the user
};

// `args` without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::wstring>& args);
// The arguments this process was started with, without the program's own name.
std::vector<std::wstring> ProcessArguments();

// Runs any action but Window and returns the process's exit code: 0 success, 1 nothing could be
// read, 2 bad arguments (with the usage on `err`), 3 the output could not be written.
int RunCommandLine(const CommandLine& command, const std::vector<std::wstring>& roots, ByteSink& out, ByteSink& err);
// The same on the process's own standard streams and the machine's listing.
int RunCommandLine(const CommandLine& command);

}  // namespace ardmoor
