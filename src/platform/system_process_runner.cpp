#include "platform/system_process_runner.h"

#include <shellapi.h>

#include "platform/command_line.h"

namespace ardmoor {

namespace {

// ERROR_ELEVATION_REQUIRED; not every SDK's winerror.h has it.
constexpr DWORD kElevationRequired = 740;

struct Started {
    std::wstring program;
    UniqueKernelHandle process;
    UniqueKernelHandle thread;  // empty when the shell started it (and it runs already)
    bool elevated = false;
};

Result<Started> Launch(const std::wstring& commandLine, int showCommand, bool suspended) {
    auto resolved = ResolveCommandLine(commandLine);
    if (!resolved) return Error{resolved.error()};
    std::wstring line = QuotedCommandLine(*resolved);
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION pi{};
    // By its full path: the system never gets to guess where the program's name ends.
    if (::CreateProcessW(resolved->program.c_str(), line.data(), nullptr, nullptr, FALSE,
                         suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &si, &pi)) {
        return Started{resolved->program, UniqueKernelHandle(pi.hProcess), UniqueKernelHandle(pi.hThread), false};
    }
    const DWORD error = ::GetLastError();
    if (error != kElevationRequired) return Error{static_cast<long>(error)};
    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = resolved->program.c_str();
    info.lpParameters = resolved->arguments.empty() ? nullptr : resolved->arguments.c_str();
    info.nShow = showCommand;
    if (!::ShellExecuteExW(&info)) return Error{static_cast<long>(::GetLastError())};
    if (!info.hProcess) return Error{kElevationRequired};
    return Started{resolved->program, UniqueKernelHandle(info.hProcess), UniqueKernelHandle(), true};
}

}  // namespace

Status SystemProcessRunner::Start(const std::wstring& commandLine, int showCommand) {
    auto started = Launch(commandLine, showCommand, false);
    if (!started) return Error{started.error()};
    return {};
}

Status SystemProcessRunner::RunAndWait(const std::wstring& commandLine, int showCommand) {
    lastCount_ = 0;
    lastProgram_.clear();
    lastExitCode_ = STILL_ACTIVE;
    auto started = Launch(commandLine, showCommand, true);
    if (!started) return Error{started.error()};
    lastProgram_ = started->program;
    ProcessTree tree(std::move(started->process), useJob_ && !started->elevated);
    lastTracking_ = tree.How();
    if (started->thread) ::ResumeThread(started->thread.get());
    const bool waited = tree.WaitWhilePumping();
    lastCount_ = tree.ProcessesSeen();
    lastExitCode_ = tree.FirstExitCode();
    if (!waited) return Error{ERROR_CANCELLED};
    return {};
}

}  // namespace ardmoor
