#pragma once
// Per-user, per-session lock that tells whether another instance of the program runs.
#include "platform/unique_handle.h"

#include <string>

namespace ardmoor {

class SingleInstanceGuard {
public:
    // The lock's name is scoped to the logon session, so other users' instances do not count.
    explicit SingleInstanceGuard(const std::wstring& name = L"Local\\QuillfenSoftware.Ardmoor.Instance");

    // True when this process holds the lock, false when another instance already does.
    [[nodiscard]] bool IsFirstInstance() const noexcept { return first_; }

private:
    UniqueKernelHandle mutex_;
    bool first_ = false;
};

}  // namespace ardmoor
