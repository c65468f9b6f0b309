#pragma once
// The program's remembered settings: two view settings of the main window and four search
// settings of the install wizard, kept under the current user's registry hive.
#include <cstdint>
#include <string>

namespace ardmoor {

struct Options {
    int32_t ViewMode = 0;  // list view mode: 0 icons, 1 details, 3 list
    bool ShowGroups = false;
    int32_t SearchFixed = 0;
    int32_t SearchCD = 0;
    int32_t SearchFloppy = 0;
    int32_t IncludeZip = 0;
};

namespace modOptions {

inline constexpr const wchar_t* kOptionsRoot = L"\\HKEY_CURRENT_USER\\Software\\Quillfen Software\\Ardmoor";

// The live option fields, for the whole process.
Options& Current();

// Creates the keys and default values that are missing, then reads the stored values.
// `root` is the program's key; tests pass a key of their own.
void LoadOptions(const std::wstring& root = kOptionsRoot);
// Writes the fields back.
void SaveOptions(const std::wstring& root = kOptionsRoot);

}  // namespace modOptions
}  // namespace ardmoor
