#include "app/command_line.h"

#include <windows.h>

#include <cstdlib>

#include "app/console_output.h"
#include "app/export_command.h"
#include "platform/strings.h"

namespace ardmoor {

namespace {

constexpr std::string_view kUsage =
    "Ardmoor lists the programs installed on this computer.\r\n"
    "\r\n"
    "  ardmoor                 opens the window\r\n"
    "  ardmoor /list           writes the listing to standard output, one line per program:\r\n"
    "                          name, version, publisher and registry key, separated by tabs\r\n"
    "  ardmoor /list /csv      writes it as CSV (UTF-8)\r\n"
    "  ardmoor /list /json     writes it as JSON (UTF-8)\r\n"
    "  ardmoor /export FILE    writes it to FILE in the format its extension names:\r\n"
    "                          .csv, .json, .html or .htm\r\n"
    "  ardmoor /?              shows this text\r\n"
    "\r\n"
    "Exit codes: 0 success, 1 nothing could be read, 2 bad arguments,\r\n"
    "3 the output could not be written.\r\n";

bool IsSwitch(const std::wstring& arg) { return arg.size() > 1 && (arg[0] == L'/' || arg[0] == L'-'); }

// A switch's name in lower case (switches are ASCII; the system's case mapping lives in user32,
// which the command line does without).
std::wstring SwitchName(const std::wstring& arg) {
    std::wstring name = arg.substr(1);
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return name;
}

CommandLine Bad(std::wstring problem) {
    CommandLine c;
    c.action = CommandLine::Action::Bad;
    c.problem = std::move(problem);
    return c;
}

void Say(ByteSink& sink, std::wstring_view text) { (void)sink.Write(WideToUtf8(text)); }

std::wstring Reason(long error) {
    std::wstring text = SystemErrorText(static_cast<unsigned long>(error));
    return text.empty() ? L"error " + std::to_wstring(error) : text;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    CommandLine c;
    if (args.empty()) return c;
    // A request for help anywhere wins over everything else on the line.
    for (const std::wstring& arg : args) {
        const std::wstring name = IsSwitch(arg) ? SwitchName(arg) : std::wstring();
        if (name == L"?" || name == L"h" || name == L"help" || name == L"-help") {
            c.action = CommandLine::Action::Usage;
            return c;
        }
    }
    bool list = false, exportFile = false, csv = false, json = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (!IsSwitch(arg)) return Bad(L"unexpected argument \"" + arg + L"\"");
        const std::wstring name = SwitchName(arg);
        bool* seen = nullptr;
        if (name == L"list") {
            seen = &list;
        } else if (name == L"csv") {
            seen = &csv;
        } else if (name == L"json") {
            seen = &json;
        } else if (name == L"export") {
            seen = &exportFile;
            if (i + 1 >= args.size() || args[i + 1].empty()) return Bad(L"/export needs a file name");
            c.file = args[++i];
        } else {
            return Bad(L"unknown switch \"" + arg + L"\"");
        }
        if (*seen) return Bad(L"\"" + arg + L"\" is given twice");
        *seen = true;
    }
    if (list && exportFile) return Bad(L"/list and /export do not go together");
    if (csv && json) return Bad(L"/csv and /json do not go together");
    if (list) {
        c.action = CommandLine::Action::List;
        c.format = csv ? ExportFormat::Csv : json ? ExportFormat::Json : ExportFormat::Tsv;
        return c;
    }
    if (csv || json) return Bad(L"/csv and /json go with /list");
    if (!exportFile) return Bad(L"nothing to do");
    const auto format = FormatForFile(c.file);
    if (!format) return Bad(L"\"" + c.file + L"\" does not end in .csv, .json, .html or .htm");
    c.action = CommandLine::Action::Export;
    c.format = *format;
    return c;
}

std::vector<std::wstring> ProcessArguments() {
    // As the C runtime split them (the shell's splitter would load the window's libraries).
    std::vector<std::wstring> args;
    for (int i = 1; __wargv && i < __argc; ++i) args.emplace_back(__wargv[i]);
    return args;
}

int RunCommandLine(const CommandLine& command, const std::vector<std::wstring>& roots, ByteSink& out, ByteSink& err) {
    switch (command.action) {
    case CommandLine::Action::Usage:
        (void)out.Write(kUsage);
        return kExitSuccess;
    case CommandLine::Action::Bad:
        Say(err, L"ardmoor: " + command.problem + L"\r\n\r\n");
        (void)err.Write(kUsage);
        return kExitBadArguments;
    case CommandLine::Action::List: {
        ExportListing listing(roots);
        if (const Status read = listing.Read(); !read) {
            Say(err, L"ardmoor: nothing could be read: none of the uninstall keys can be opened\r\n");
            return kExitNothingRead;
        }
        if (const Status written = WriteListing(listing.Records(), command.format, out); !written) {
            Say(err, L"ardmoor: standard output could not be written: " + Reason(written.error()) + L"\r\n");
            return kExitCannotWrite;
        }
        return kExitSuccess;
    }
    case CommandLine::Action::Export: {
        const ExportFileResult result = ExportToFile(roots, command.file, command.format, ExportHeadingNow());
        if (result.failure == ExportFileResult::Failure::Read) {
            Say(err, L"ardmoor: nothing could be read: none of the uninstall keys can be opened\r\n");
            return kExitNothingRead;
        }
        if (result.failure == ExportFileResult::Failure::Write) {
            Say(err, L"ardmoor: \"" + result.file + L"\" could not be written: " + Reason(result.error) + L"\r\n");
            return kExitCannotWrite;
        }
        return kExitSuccess;
    }
    default:
        return kExitBadArguments;
    }
}

int RunCommandLine(const CommandLine& command) {
    ProcessStreams streams;
    return RunCommandLine(command, DefaultUninstallRoots(), streams.Out(), streams.Err());
}

}  // namespace ardmoor
