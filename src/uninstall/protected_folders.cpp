#include "uninstall/protected_folders.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/strings.h"

namespace ardmoor {

namespace {

const KNOWNFOLDERID* const kFolders[] = {
    &FOLDERID_Windows, &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramFilesX64,
    &FOLDERID_ProgramFilesCommon, &FOLDERID_ProgramFilesCommonX86, &FOLDERID_ProgramFilesCommonX64,
    &FOLDERID_ProgramData, &FOLDERID_UserProfiles, &FOLDERID_Profile, &FOLDERID_Public, &FOLDERID_Desktop,
    &FOLDERID_Documents, &FOLDERID_Downloads, &FOLDERID_Music, &FOLDERID_Pictures, &FOLDERID_Videos,
    &FOLDERID_Favorites, &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData, &FOLDERID_LocalAppDataLow,
    &FOLDERID_UserProgramFiles, &FOLDERID_StartMenu, &FOLDERID_Programs, &FOLDERID_Startup, &FOLDERID_Templates,
    &FOLDERID_SavedGames, &FOLDERID_Contacts, &FOLDERID_Links, &FOLDERID_PublicDesktop,
    &FOLDERID_PublicDocuments, &FOLDERID_PublicDownloads, &FOLDERID_PublicMusic, &FOLDERID_PublicPictures,
    &FOLDERID_PublicVideos, &FOLDERID_CommonStartMenu, &FOLDERID_CommonPrograms, &FOLDERID_CommonStartup,
    &FOLDERID_CommonTemplates,
};

std::wstring DropTrailingBackslash(std::wstring p) {
    while (p.size() > 3 && p.back() == L'\\') p.pop_back();
    return p;
}

// Full, long, lower-case form for comparing; nothing when the path is not a plain absolute one.
std::optional<std::wstring> Canonical(std::wstring_view path) {
    if (path.size() < 3 || path.find_first_of(L"*?\"<>|") != std::wstring_view::npos) return std::nullopt;
    const bool drive = path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool unc = path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.';
    if (!drive && !unc) return std::nullopt;
    const std::wstring in(path);
    std::wstring full(::GetFullPathNameW(in.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD n = full.empty() ? 0 : ::GetFullPathNameW(in.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return std::nullopt;
    full.resize(n);
    // Short names (C:\PROGRA~1) name the same folders.
    std::wstring longer(::GetLongPathNameW(full.c_str(), nullptr, 0), L'\0');
    const DWORD m = longer.empty() ? 0 : ::GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
    if (m > 0 && m < longer.size()) full.assign(longer.data(), m);
    return ToLower(DropTrailingBackslash(full));
}

bool IsRoot(const std::wstring& p) {
    if (p.size() <= 3) return true;  // "c:\"
    if (p.rfind(L"\\\\", 0) != 0) return false;
    const size_t server = p.find(L'\\', 2);
    return server == std::wstring::npos || p.find(L'\\', server + 1) == std::wstring::npos;  // \\server\share
}

bool Inside(const std::wstring& p, const std::wstring& folder) {
    return p.size() > folder.size() && p.compare(0, folder.size(), folder) == 0 && p[folder.size()] == L'\\';
}

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR raw = nullptr;
    std::wstring out;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &raw)) && raw)
        if (auto c = Canonical(raw)) out = *c;
    ::CoTaskMemFree(raw);
    return out;
}

}  // namespace

ProtectedFolders::ProtectedFolders()
    : windows_(KnownFolder(FOLDERID_Windows)), users_(KnownFolder(FOLDERID_UserProfiles)) {
    for (const KNOWNFOLDERID* id : kFolders)
        if (std::wstring folder = KnownFolder(*id); !folder.empty()) folders_.push_back(std::move(folder));
}

bool ProtectedFolders::Cover(std::wstring_view path) const {
    const auto p = Canonical(path);
    if (!p || IsRoot(*p)) return true;
    if (!windows_.empty() && Inside(*p, windows_)) return true;
    // Every user's profile, not only this user's.
    if (!users_.empty() && Inside(*p, users_) && p->find(L'\\', users_.size() + 1) == std::wstring::npos) return true;
    for (const std::wstring& folder : folders_)
        if (*p == folder || Inside(folder, *p)) return true;
    return false;
}

bool IsProtectedFolder(std::wstring_view path) { return ProtectedFolders().Cover(path); }

}  // namespace ardmoor
