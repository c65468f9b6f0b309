#pragma once
// Reading a folder's entries one at a time, in the order the file system gives them, and the
// computer's logical drives. The ground of the file finder: no events, no filtering.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unique_handle.h"

namespace ardmoor {

struct DirectoryEntry {
    std::wstring_view name;  // valid until the next call of Next
    DWORD attributes = 0;
    uint64_t size = 0;  // all 64 bits
    FILETIME lastWrite{};

    [[nodiscard]] bool IsFolder() const noexcept { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // Junctions, symbolic links (and, under Wine, Unix symbolic links): never to be walked into,
    // since they can lead back to a folder above them.
    [[nodiscard]] bool IsReparsePoint() const noexcept { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

class DirectoryReader {
public:
    // Opens `folder` (with or without its trailing backslash) for listing. False when it cannot
    // be listed (missing, not a folder, access denied, no disc in the drive).
    [[nodiscard]] bool Open(std::wstring_view folder);
    // The next entry, the "." and ".." entries included where the file system has them; null at
    // the end or when reading fails.
    const DirectoryEntry* Next();

private:
    UniqueFindHandle find_;
    WIN32_FIND_DATAW data_{};
    DirectoryEntry entry_;
    bool pending_ = false;  // data_ holds an entry not handed out yet
};

struct LogicalDrive {
    std::wstring root;  // such as C:\ .
    UINT type = DRIVE_UNKNOWN;  // GetDriveTypeW's code: 2 removable, 3 fixed, 5 CD-ROM, ...
};

// The drives the system lists, in its order (alphabetical by letter); empty when the list cannot
// be read.
std::vector<LogicalDrive> LogicalDrives();

// Keeps the system from asking the user to insert a disc while drives are read; restores the
// thread's previous setting when it goes.
class NoDiscPrompts {
public:
    NoDiscPrompts() noexcept;
    ~NoDiscPrompts();
    NoDiscPrompts(const NoDiscPrompts&) = delete;
    NoDiscPrompts& operator=(const NoDiscPrompts&) = delete;

private:
    DWORD previous_ = 0;
    bool set_ = false;
};

}  // namespace ardmoor
