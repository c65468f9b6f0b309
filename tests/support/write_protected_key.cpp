#include "write_protected_key.h"

#include <sddl.h>

namespace ardmoor::test {

namespace {
// Everyone: read, read and write the access list. Protected: nothing inherited from the parent.
constexpr const wchar_t* kReadOnly = L"D:P(A;;KRRCWD;;;WD)";

LSTATUS SetDacl(HKEY root, const std::wstring& sub, PSECURITY_DESCRIPTOR sd) {
    HKEY key = nullptr;
    LSTATUS rc = ::RegOpenKeyExW(root, sub.c_str(), 0, WRITE_DAC, &key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    ::RegCloseKey(key);
    return rc;
}
}  // namespace

WriteProtectedKey::WriteProtectedKey(HKEY root, std::wstring subPath, const wchar_t* accessList)
    : root_(root), sub_(std::move(subPath)) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root_, sub_.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return;
    DWORD size = 0;
    ::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    const bool saved = size && ::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) ==
                                   ERROR_SUCCESS;
    ::RegCloseKey(key);
    if (!saved) return;
    PSECURITY_DESCRIPTOR sd = nullptr;
    const wchar_t* list = accessList ? accessList : kReadOnly;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(list, SDDL_REVISION_1, &sd, nullptr)) return;
    ok_ = SetDacl(root_, sub_, sd) == ERROR_SUCCESS;
    ::LocalFree(sd);
}

WriteProtectedKey::~WriteProtectedKey() {
    if (ok_) (void)SetDacl(root_, sub_, saved_.data());
}

}  // namespace ardmoor::test
