#pragma once
// A drive letter of the test prefix for the length of a test, with the drive type the test needs
// (fixed, removable, CD-ROM). Wine's mount manager defines it the way winecfg does, while the
// wineserver runs: a link in dosdevices plus the type, both removed again when the object goes.
#include <windows.h>

#include <string>

namespace ardmoor::test {

class FixtureDrive {
public:
    // Maps `letter` to `folder` (created when missing) as a drive of `type` (DRIVE_FIXED, ...).
    FixtureDrive(wchar_t letter, const std::wstring& folder, UINT type);
    ~FixtureDrive();
    FixtureDrive(const FixtureDrive&) = delete;
    FixtureDrive& operator=(const FixtureDrive&) = delete;

    // False when the drive could not be defined (not under Wine, or the mount manager refused).
    [[nodiscard]] bool ok() const noexcept { return ok_; }
    // "W:\"
    [[nodiscard]] std::wstring root() const { return std::wstring(1, letter_) + L":\\"; }

private:
    wchar_t letter_;
    bool ok_ = false;
};

}  // namespace ardmoor::test
