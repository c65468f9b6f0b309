#pragma once
// Folders whose loss would harm the system or the user. An entry's InstallLocation may name one
// (a careless or hostile installer writes "C:\" or "%ProgramFiles%"); the clean-up never offers
// such a folder for deletion.
#include <string>
#include <string_view>
#include <vector>

namespace ardmoor {

// The folders of this computer and user, read when the object is made.
class ProtectedFolders {
public:
    ProtectedFolders();
    // As IsProtectedFolder.
    [[nodiscard]] bool Cover(std::wstring_view path) const;

private:
    std::wstring windows_;
    std::wstring users_;
    std::vector<std::wstring> folders_;
};

// True for a path that is not a plain absolute path (relative, wildcards, "\\?\" forms); a drive or
// share root; the Windows folder and everything in it; Program Files (both, and their Common
// Files); ProgramData; the Users folder, every user's profile and the public profile; the user's
// known folders (Documents, Desktop, Downloads, AppData, Start Menu, ...) and the public ones; and
// any folder holding one of these. Subfolders of the others (C:\Program Files\Vendor) are not.
[[nodiscard]] bool IsProtectedFolder(std::wstring_view path);

}  // namespace ardmoor
