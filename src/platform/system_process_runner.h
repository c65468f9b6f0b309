#pragma once
// The real ProcessRunner: resolves the program a command line names (command_line.h), starts it
// by its full path, and for RunAndWait follows it and every process it starts (process_tree.h).
//
// A program that asks for elevation (ERROR_ELEVATION_REQUIRED) is started through the shell,
// which shows the system's consent prompt; such a process cannot join our job, so its tree is
// followed by parent ids.
#include "platform/process_runner.h"
#include "platform/process_tree.h"

namespace ardmoor {

class SystemProcessRunner : public ProcessRunner {
public:
    Status Start(const std::wstring& commandLine, int showCommand) override;
    // Fails with the system's error when nothing could be started, and with ERROR_CANCELLED when
    // WM_QUIT ended the wait (the processes go on running).
    Status RunAndWait(const std::wstring& commandLine, int showCommand) override;

    // For tests: follow the processes by their parent ids even where a job would do.
    void SetUseJob(bool useJob) noexcept { useJob_ = useJob; }
    // About the last RunAndWait: the program it started, how it followed its processes, how many
    // it saw, and the first process's exit code.
    [[nodiscard]] const std::wstring& LastProgram() const noexcept { return lastProgram_; }
    [[nodiscard]] ProcessTree::Tracking LastTracking() const noexcept { return lastTracking_; }
    [[nodiscard]] size_t LastProcessCount() const noexcept { return lastCount_; }
    [[nodiscard]] DWORD LastExitCode() const noexcept { return lastExitCode_; }

private:
    bool useJob_ = true;
    std::wstring lastProgram_;
    DWORD lastExitCode_ = STILL_ACTIVE;
    ProcessTree::Tracking lastTracking_ = ProcessTree::Tracking::Job;
    size_t lastCount_ = 0;
};

}  // namespace ardmoor
