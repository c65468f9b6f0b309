#pragma once
// Module helpers shared by several windows: file existence, backslashes, special
// folders, the program's own folder. All Unicode, so paths in any script work.
#include <string>
#include <string_view>

namespace ardmoor {

// True when FindFirstFileW on the path succeeds, so a folder, or a wildcard pattern that matches
// something, also counts. The search handle is closed at once. An empty path is false.
bool FileExists(std::wstring_view path);

// Appends "\" unless the text already ends with one (an empty text becomes "\").
std::wstring AddBackslash(std::wstring_view path);
// Removes one trailing "\", if there is one.
std::wstring RemoveBackslash(std::wstring_view path);

// Folder number 999: the temporary folder (GetTempPathW). Any other number: the shell's folder
// path for that CSIDL (SHGetFolderPathW with no window, the default-user token -1 and flags 0,;
// so per-user folders such as CSIDL_LOCAL_APPDATA resolve to the Default User
// profile: use SHGetKnownFolderPath for the current user's). On success the path ends with a
// backslash; on failure the result is empty. Numbers the loader uses:
inline constexpr int kFolderSystem = 37;   // CSIDL_SYSTEM, e.g. C:\Windows\System32\ .
inline constexpr int kFolderWindows = 36;  // CSIDL_WINDOWS, e.g. C:\Windows\ .
inline constexpr int kFolderTemp = 999;
std::wstring GetSpecialFolderPath(int folder);

// The folder of the program's own file (GetModuleFileNameW of the exe), with a trailing backslash.
std::wstring ProgramFolder();

}  // namespace ardmoor
