#pragma once
// Resource identifiers shared by the .rc file and the code.
#define IDI_ARDMOOR 1
#define IDR_INVALID_ICO 101
#define IDR_NOICON_ICO 102

// Each part of the program keeps its resources in its own range, so they never collide:
//   200-299 uninstall dialogs        300-399 properties window and value dialog
//   400-499 print dialog             500-599 install wizard
//   600-699 system information, About box
//   700-799 export (the popup menu's "Export listing..." command)
