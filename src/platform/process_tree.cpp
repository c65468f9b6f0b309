#include "platform/process_tree.h"

#include <tlhelp32.h>

#include <algorithm>

#include "platform/message_pump.h"

namespace ardmoor {

namespace {
// How often to look again when a running process of the tree cannot be waited on (it could not
// be opened). Only then; otherwise the wait sleeps until something happens.
constexpr DWORD kPollMs = 250;
constexpr DWORD kOpenAccess = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION;

ULONGLONG StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool HasEnded(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }
}  // namespace

ProcessTree::ProcessTree(UniqueKernelHandle process, bool useJob) {
    rootId_ = ::GetProcessId(process.get());
    HANDLE root = process.get();
    Add(rootId_, std::move(process));
    if (!useJob) return;
    UniqueKernelHandle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) return;
    // A child that asks to leave the job may: an uninstaller must never fail for our sake.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    (void)::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    if (!::AssignProcessToJobObject(job.get(), root)) return;  // followed by its parent chain
    job_ = std::move(job);
    tracking_ = Tracking::Job;
}

ProcessTree::Member& ProcessTree::Add(DWORD pid, UniqueKernelHandle handle) {
    Member& m = members_[pid];
    m.started = StartTime(handle.get());
    m.handle = std::move(handle);
    return m;
}

DWORD ProcessTree::FirstExitCode() const {
    DWORD code = STILL_ACTIVE;
    const auto it = members_.find(rootId_);
    if (it != members_.end() && it->second.handle) ::GetExitCodeProcess(it->second.handle.get(), &code);
    return code;
}

bool ProcessTree::Refresh(std::vector<HANDLE>& waitOn, bool& poll) {
    waitOn.clear();
    poll = false;
    if (tracking_ == Tracking::Job) return RefreshFromJob(waitOn, poll);
    return RefreshFromParents(waitOn, poll);
}

bool ProcessTree::RefreshFromJob(std::vector<HANDLE>& waitOn, bool& poll) {
    std::vector<BYTE> buffer(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) + 64 * sizeof(ULONG_PTR));
    JOBOBJECT_BASIC_PROCESS_ID_LIST* list = nullptr;
    for (int attempt = 0;; ++attempt) {
        list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
        const BOOL ok = ::QueryInformationJobObject(job_.get(), JobObjectBasicProcessIdList, list,
                                                    static_cast<DWORD>(buffer.size()), nullptr);
        const bool complete = ok && list->NumberOfProcessIdsInList >= list->NumberOfAssignedProcesses;
        if (complete) break;
        if ((ok || ::GetLastError() == ERROR_MORE_DATA) && attempt < 4) {
            buffer.resize(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) +
                          (static_cast<size_t>(list->NumberOfAssignedProcesses) + 64) * sizeof(ULONG_PTR));
            continue;
        }
        // The job does not say who is in it: follow parent ids from here on.
        tracking_ = Tracking::ParentChain;
        return RefreshFromParents(waitOn, poll);
    }
    for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i) {
        const DWORD pid = static_cast<DWORD>(list->ProcessIdList[i]);
        auto it = members_.find(pid);
        if (it == members_.end()) {
            Add(pid, UniqueKernelHandle(::OpenProcess(kOpenAccess, FALSE, pid)));
            it = members_.find(pid);
        }
        HANDLE h = it->second.handle.get();
        if (!h) {
            poll = true;  // listed but not ours to wait on
        } else if (!HasEnded(h)) {
            waitOn.push_back(h);
        } else {
            poll = true;  // ended, and about to leave the job's list
        }
    }
    return list->NumberOfProcessIdsInList > 0;
}

bool ProcessTree::RefreshFromParents(std::vector<HANDLE>& waitOn, bool& poll) {
    UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot) {
        std::vector<std::pair<DWORD, DWORD>> processes;  // (id, parent id)
        PROCESSENTRY32W entry{sizeof(entry)};
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
            processes.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
        // Until nothing new turns up: a grandchild may come before its parent in the snapshot.
        for (bool grew = true; grew;) {
            grew = false;
            for (const auto& [pid, parent] : processes) {
                if (pid == parent || members_.count(pid)) continue;
                const auto up = members_.find(parent);
                if (up == members_.end()) continue;
                UniqueKernelHandle h(::OpenProcess(kOpenAccess, FALSE, pid));
                const ULONGLONG started = StartTime(h.get());
                // A process started before its parent is a stranger that reuses an old id.
                if (!h || started < up->second.started) continue;
                Add(pid, std::move(h));
                grew = true;
            }
        }
    } else {
        poll = true;  // no snapshot this time: look again shortly
    }
    // Children of a running process that the snapshot missed are found when their parent ends.
    bool running = false;
    for (auto& [pid, member] : members_) {
        if (!member.handle || HasEnded(member.handle.get())) continue;
        waitOn.push_back(member.handle.get());
        running = true;
    }
    return running;
}

bool ProcessTree::WaitWhilePumping() {
    std::vector<HANDLE> waitOn;
    bool poll = false;
    while (Refresh(waitOn, poll)) {
        // One wait covers at most 63 processes; the others are looked at when one of these ends.
        const DWORD count = static_cast<DWORD>(std::min<size_t>(waitOn.size(), MAXIMUM_WAIT_OBJECTS - 1));
        const DWORD timeout = poll || count == 0 ? kPollMs : INFINITE;
        const DWORD r = ::MsgWaitForMultipleObjectsEx(count, waitOn.data(), timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_FAILED) ::Sleep(kPollMs);  // never spin, even if the wait itself fails
        if (!PumpPendingMessages()) return false;
    }
    return true;
}

}  // namespace ardmoor
