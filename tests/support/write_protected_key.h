#pragma once
// Makes an existing registry key refuse changes for as long as the object lives: its access list
// is replaced by one that lets everyone read it (and change the list back) but not set or delete
// values, create subkeys or delete it; or, with kNoAccess, by one that lets nobody even read it.
// The old access list comes back on destruction.
//
// Wine 8 honours such a list for reading and changing values, but not for deleting the key.
#include <windows.h>

#include <string>
#include <vector>

namespace ardmoor::test {

// Everyone may only read the access list and change it back.
inline constexpr const wchar_t* kNoAccess = L"D:P(A;;RCWD;;;WD)";

class WriteProtectedKey {
public:
    WriteProtectedKey(HKEY root, std::wstring subPath, const wchar_t* accessList = nullptr);
    ~WriteProtectedKey();
    WriteProtectedKey(const WriteProtectedKey&) = delete;
    WriteProtectedKey& operator=(const WriteProtectedKey&) = delete;

    // True when the access list was replaced.
    [[nodiscard]] bool ok() const noexcept { return ok_; }

private:
    HKEY root_;
    std::wstring sub_;
    std::vector<BYTE> saved_;  // the self-relative descriptor the key had
    bool ok_ = false;
};

}  // namespace ardmoor::test
