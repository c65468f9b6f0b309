#include "app/single_instance.h"

namespace ardmoor {

SingleInstanceGuard::SingleInstanceGuard(const std::wstring& name) {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
    // Without a lock at all (out of resources) we let the program run rather than refuse it.
    first_ = !mutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace ardmoor
