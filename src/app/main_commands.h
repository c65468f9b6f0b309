#pragma once
// Control and command identifiers of the main window, and small texts it composes.
#include <string>

#include <windows.h>

namespace ardmoor {

inline constexpr const wchar_t* kMainWindowClass = L"ArdmoorMainWindow";

enum MainWindowIds : int {
    kIdTitle = 100,
    kIdTaskPane = 101,
    kIdList = 102,
    kIdStatus = 103,

    // Popup menu of the list.
    kIdMenuUninstall = 1000,
    kIdMenuRemove = 1001,
    kIdMenuRefresh = 1003,
    kIdMenuExport = 700,  // the export's own range (resource_ids.h)
    // Its View submenu.
    kIdViewIcons = 1100,
    kIdViewList = 1101,
    kIdViewDetails = 1102,
    kIdViewGroups = 1104,
};

std::wstring WindowTextOf(HWND hwnd);
// The current date and time in the user's short formats, as the system shows a date-time.
std::wstring CurrentDateTimeText();
// Doubles every '&' so that a name shows as written in a menu.
std::wstring EscapeMenuText(const std::wstring& text);

}  // namespace ardmoor
