#pragma once
// A started process and every process it starts, followed until the last of them has ended.
//
// Uninstallers hand their work on: an NSIS uninstaller copies itself to %TEMP%, starts the copy
// and exits at once; others start msiexec or a helper. Waiting for the first process alone would
// end the wait while the uninstall still runs.
//
// The processes are followed through a job object, which children join when they start. Where
// the system gives no job (the process cannot be put in one, as an elevated process cannot, or
// the job cannot list its processes), the tree is followed through parent process ids instead:
// a process belongs to it when its parent does and it started after that parent.
#include <windows.h>

#include <map>
#include <vector>

#include "platform/unique_handle.h"

namespace ardmoor {

class ProcessTree {
public:
    enum class Tracking { Job, ParentChain };

    // Takes over `process` (the first process, best still suspended so that no child of it can
    // start outside the job). With useJob false the parent chain is used from the start.
    ProcessTree(UniqueKernelHandle process, bool useJob = true);

    [[nodiscard]] Tracking How() const noexcept { return tracking_; }

    // Returns when every process of the tree has ended. Meanwhile this thread sleeps until one of
    // them ends or a message arrives, and lets its messages run (message_pump.h). Returns false
    // when WM_QUIT arrived first (it is posted again for the main loop).
    bool WaitWhilePumping();

    // Processes seen in the tree so far, the first one included.
    [[nodiscard]] size_t ProcessesSeen() const noexcept { return members_.size(); }
    // The first process's exit code (STILL_ACTIVE while it runs).
    [[nodiscard]] DWORD FirstExitCode() const;

private:
    struct Member {
        UniqueKernelHandle handle;  // empty when the process could not be opened
        ULONGLONG started = 0;      // creation time (FILETIME ticks)
    };
    // Brings members_ up to date; fills the handles to wait on. Returns false when nothing of the
    // tree runs any more. `poll` is set when some running process cannot be waited on.
    bool Refresh(std::vector<HANDLE>& waitOn, bool& poll);
    bool RefreshFromJob(std::vector<HANDLE>& waitOn, bool& poll);
    bool RefreshFromParents(std::vector<HANDLE>& waitOn, bool& poll);
    Member& Add(DWORD pid, UniqueKernelHandle handle);

    Tracking tracking_ = Tracking::ParentChain;
    UniqueKernelHandle job_;
    DWORD rootId_ = 0;
    std::map<DWORD, Member> members_;
};

}  // namespace ardmoor
