#pragma once
// The two icon files the listing names as entry icons: one for an entry without uninstall
// information, one as the last resort. They are written from the program's resources at every
// refresh, next to the program when that folder is writable, else in the user's local
// application-data folder, so that a program installed under Program Files keeps its icons.
#include <string>
#include <string_view>

namespace ardmoor {

inline constexpr const wchar_t* kInvalidIconFile = L"invalid.ico";
inline constexpr const wchar_t* kNoIconFile = L"noicon.ico";

// %LOCALAPPDATA%\Ardmoor\ (empty when the system cannot say where that is).
std::wstring LocalAppDataFolder();

// Writes both files into the first of the folders where both could be written whole, replacing
// what was there. Returns that folder with a trailing backslash, or empty when neither worked.
std::wstring WriteEntryIconFiles(std::wstring_view preferredFolder, std::wstring_view fallbackFolder);
// The same with the program's folder and LocalAppDataFolder().
std::wstring WriteEntryIconFiles();

// Writes `size` bytes to `path` through a temporary file in the same folder, so that a failed
// write never leaves a cut-off file behind. False on failure.
bool ReplaceFileContents(const std::wstring& path, const void* data, size_t size);

}  // namespace ardmoor
