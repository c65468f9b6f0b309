#include "install/clsFind.h"

#include <shlwapi.h>

#include <utility>

namespace ardmoor {


clsFind::clsFind(DriveSource drives) : drives_(std::move(drives)) {}

std::wstring clsFind::Normalised(std::wstring root) {
    if (root.empty() || root.back() != L'\\') root.push_back(L'\\');
    return root;
}

bool clsFind::Walkable(const DirectoryEntry& entry) noexcept {
    return entry.IsFolder() && !entry.IsReparsePoint() && !entry.name.empty() && entry.name.front() != L'.';
}

void clsFind::MaybeYield() {
    if (!LetMessagesRun) return;
    const unsigned long long now = ::GetTickCount64();
    if (yieldIntervalMs_ != 0 && now - lastYield_ < yieldIntervalMs_) return;
    lastYield_ = now;
    LetMessagesRun();
}

void clsFind::EnumerateDrives() {
    if (stop_) return;
    const std::vector<LogicalDrive> drives = drives_ ? drives_() : std::vector<LogicalDrive>{};
    for (const LogicalDrive& drive : drives) {
        if (stop_) return;
        if (DriveFound) DriveFound(drive.root, static_cast<int32_t>(drive.type));
    }
}

void clsFind::EnumerateFolders(std::wstring sRoot, bool bRecurse) {
    const std::wstring root = Normalised(std::move(sRoot));
    if (!bRecurse) {
        // Nothing below it is wanted: the folder itself is all there is to report.
        if (FolderFound) FolderFound(root);
        return;
    }
    Capture capture;
    capture.folder = &root;
    {
        // Put back the capture of an enclosing walk however the handler returns.
        struct Restore {
            Capture*& slot;
            Capture* saved;
            ~Restore() { slot = saved; }
        } restore{capture_, std::exchange(capture_, &capture)};
        if (FolderFound) FolderFound(root);
    }
    if (stop_) return;
    if (capture.state == Capture::State::Empty) ReadSubfolders(root, capture);
    if (capture.state != Capture::State::Complete) return;
    for (const std::wstring& name : capture.subfolders) {
        EnumerateFolders(root + name, true);
        if (stop_) return;
    }
}

void clsFind::ReadSubfolders(const std::wstring& root, Capture& capture) {
    DirectoryReader reader;
    if (!reader.Open(root)) {
        capture.state = Capture::State::Unreadable;
        return;
    }
    while (const DirectoryEntry* entry = reader.Next()) {
        if (Walkable(*entry)) capture.subfolders.emplace_back(entry->name);
        MaybeYield();
        if (stop_) return;
    }
    capture.state = Capture::State::Complete;
}

void clsFind::EnumerateFiles(std::wstring sRoot, const std::wstring& szPattern) {
    const std::wstring root = Normalised(std::move(sRoot));
    DirectoryReader reader;
    const bool opened = reader.Open(root);
    if (stop_) return;
    // The listing doubles as the walk's reading of this folder when its FolderFound is being raised.
    Capture* capture = capture_ && capture_->state == Capture::State::Empty && *capture_->folder == root ? capture_
                                                                                                          : nullptr;
    if (!opened) {
        if (capture) capture->state = Capture::State::Unreadable;
        return;
    }
    std::wstring name;
    std::wstring fullPath;
    while (const DirectoryEntry* entry = reader.Next()) {
        if (entry->IsFolder()) {
            if (capture && Walkable(*entry)) capture->subfolders.emplace_back(entry->name);
        } else if (::PathMatchSpecW(entry->name.data(), szPattern.c_str())) {  // the name is NUL-terminated
            name.assign(entry->name);
            fullPath.assign(root).append(name);
            const uint64_t size = entry->size;
            const FILETIME modified = entry->lastWrite;
            if (FileFound) FileFound(name, root, fullPath, size, modified);
        }
        MaybeYield();
        if (stop_) return;
    }
    if (capture) capture->state = Capture::State::Complete;
}

}  // namespace ardmoor
