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

// System information window: its nine row icons in row-kind order, then the banner's picture.
#define IDI_SYSINFO_FIRST 600
#define IDI_SYSINFO_OS 600
#define IDI_SYSINFO_USER 601
#define IDI_SYSINFO_MEMORY 602
#define IDI_SYSINFO_DRIVE 603
#define IDI_SYSINFO_BROWSER 604
#define IDI_SYSINFO_PROCESSOR 605
#define IDI_SYSINFO_KEYBOARD 606
#define IDI_SYSINFO_SCREEN 607
#define IDI_SYSINFO_NETWORK 608
#define IDI_SYSINFO_BANNER 609
