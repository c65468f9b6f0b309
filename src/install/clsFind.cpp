#include "install/clsFind.h"

#include <shlwapi.h>

#include <string_view>
#include <utility>
#include <vector>

namespace ardmoor {

namespace {
// A file pattern as the shell reads it (several separated by semicolons, case ignored). The shell's
// matching costs more than the rest of a drive's walk per file, so patterns that are all of the
// usual "*.ext" kind are matched as suffixes; the others, and names whose ending is not plain
// ASCII, still go to the shell.
class NamePattern {
public:
    explicit NamePattern(const std::wstring& spec) : spec_(spec) {
        for (size_t start = 0;;) {
            const size_t end = spec.find(L';', start);
            const std::wstring_view part =
                std::wstring_view(spec).substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
            if (part.size() < 3 || part[0] != L'*' || part[1] != L'.' || !AddSuffix(part.substr(1))) {
                suffixes_.clear();
                return;
            }
            if (end == std::wstring::npos) break;
            start = end + 1;
        }
    }

    // `name` is NUL-terminated.
    [[nodiscard]] bool Matches(std::wstring_view name) const {
        if (suffixes_.empty()) return ::PathMatchSpecW(name.data(), spec_.c_str());
        for (const std::wstring& suffix : suffixes_) {
            if (name.size() < suffix.size()) continue;
            const std::wstring_view tail = name.substr(name.size() - suffix.size());
            size_t i = 0;
            for (; i < tail.size(); ++i) {
                if (tail[i] > 0x7F) return ::PathMatchSpecW(name.data(), spec_.c_str());
                if (Folded(tail[i]) != suffix[i]) break;
            }
            if (i == tail.size()) return true;
        }
        return false;
    }

private:
    static wchar_t Folded(wchar_t c) noexcept { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

    bool AddSuffix(std::wstring_view suffix) {
        std::wstring folded;
        for (wchar_t c : suffix) {
            if (c <= L' ' || c > 0x7E || c == L'*' || c == L'?') return false;
            folded.push_back(Folded(c));
        }
        suffixes_.push_back(std::move(folded));
        return true;
    }

    std::wstring spec_;
    std::vector<std::wstring> suffixes_;  // lower-case, with their full stop; empty: the shell matches
};
}  // namespace


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
    const NamePattern pattern(szPattern);
    std::wstring name;
    std::wstring fullPath;
    while (const DirectoryEntry* entry = reader.Next()) {
        if (entry->IsFolder()) {
            if (capture && Walkable(*entry)) capture->subfolders.emplace_back(entry->name);
        } else if (pattern.Matches(entry->name)) {
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
