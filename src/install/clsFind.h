#pragma once
// The file finder: reports the computer's drives, a folder tree and the files of a folder that
// match a wildcard pattern, through events. It filters nothing else; the subscriber nests the calls
// (for each drive the folders, for each folder the files). A search stops at any time through
// Cease, also from a window event served while files are listed.
//
// Each folder is read from the disk once: when the FolderFound handler lists that same folder's
// files, the walk takes the subfolders from that listing instead of reading the folder again.
// Junctions and symbolic links are never entered, so a loop in the folder graph cannot make a
// walk endless.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/directory_reader.h"

namespace ardmoor {

class clsFind {
public:
    using DriveSource = std::function<std::vector<LogicalDrive>()>;

    // `drives` lists the drives EnumerateDrives reports: the system's by default.
    explicit clsFind(DriveSource drives = LogicalDrives);

    // Events, raised synchronously; a handler may call any method of this object.
    // szFolder ends with a backslash.
    std::function<void(const std::wstring& szFolder)> FolderFound;
    // szPath ends with one backslash; szFullPath is szPath followed by szFilename; dwSize has all
    // 64 bits; ftModified is the file's last-write time.
    std::function<void(const std::wstring& szFilename, const std::wstring& szPath, const std::wstring& szFullPath,
                       uint64_t dwSize, const FILETIME& ftModified)>
        FileFound;
    // szDrive is a root such as C:\ ; dwType the drive type code GetDriveTypeW gives.
    std::function<void(const std::wstring& szDrive, int32_t dwType)> DriveFound;

    // The host's operation that lets pending window messages run. It is called while folders are
    // read, whenever `YieldIntervalMs` have passed since the last call (0: at every entry), so
    // that the window answers even inside a folder of a hundred thousand files.
    std::function<void()> LetMessagesRun;
    void SetYieldIntervalMs(unsigned ms) noexcept { yieldIntervalMs_ = ms; }

    // Stops every running enumeration of this object at its next check; stays stopped until Reset.
    void Cease() noexcept { stop_ = true; }
    void Reset() noexcept { stop_ = false; }
    [[nodiscard]] bool Ceased() const noexcept { return stop_; }

    // DriveFound for each drive, in the order the system lists them.
    void EnumerateDrives();
    // FolderFound for sRoot (also when it cannot be read) and, with bRecurse, for every folder
    // below it, depth first, a folder before the folders inside it. Folders whose name begins
    // with a full stop are not entered.
    void EnumerateFolders(std::wstring sRoot, bool bRecurse = false);
    // FileFound for each file directly inside sRoot whose name matches szPattern (the shell's
    // wildcard rules: several patterns separated by semicolons, case ignored). Folders are never
    // reported.
    void EnumerateFiles(std::wstring sRoot, const std::wstring& szPattern);

private:
    // The subfolders of the folder whose FolderFound is being raised, filled by EnumerateFiles.
    struct Capture {
        const std::wstring* folder = nullptr;
        enum class State { Empty, Complete, Unreadable } state = State::Empty;
        std::vector<std::wstring> subfolders;
    };

    static std::wstring Normalised(std::wstring root);
    static bool Walkable(const DirectoryEntry& entry) noexcept;
    void ReadSubfolders(const std::wstring& root, Capture& capture);
    void MaybeYield();

    DriveSource drives_;
    bool stop_ = false;
    unsigned yieldIntervalMs_ = 30;
    unsigned long long lastYield_ = 0;
    Capture* capture_ = nullptr;
};

}  // namespace ardmoor
