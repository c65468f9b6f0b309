#pragma once
// What makes a file a setup program, and how the wizard shows a found file.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace ardmoor {

// The text after the last full stop, lower-cased; a name without a full stop is its own extension.
std::wstring ExtensionOf(std::wstring_view name);

// The part of a stored name or path after its last backslash.
std::wstring BareName(std::wstring_view name);

// A setup program: extension "exe" in any case, "setup" or "install" in the name, and not
// "uninstall" (Setup.EXE, INSTALL.exe, mysetup_v2.exe; not uninstall.exe, unins000.exe, readme.exe).
bool IsSetupProgramName(std::wstring_view name);

// A size in bytes with the user's digit grouping and no decimals: 1234567 as 1,234,567.
std::wstring FormatSize(uint64_t bytes);

// A file time in local time as the system's general date shows it: the short date and the long
// time (the date alone at midnight).
std::wstring FormatModified(const FILETIME& utc);

}  // namespace ardmoor
