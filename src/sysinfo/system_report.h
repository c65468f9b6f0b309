#pragma once
// The rows of the system information window: drives, memory, user, operating system, browser,
// processor, keyboard, screen and network address, gathered from SystemFacts and the registry.
// Each row is a label, a value and the kind of row (which picks its icon and its group).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sysinfo/system_facts.h"

namespace ardmoor {

// The icon index of each kind of row in the window's image list.
enum class RowKind : int {
    OperatingSystem = 0,
    User = 1,
    Memory = 2,
    Drive = 3,
    InternetExplorer = 4,
    Processor = 5,
    Keyboard = 6,
    Screen = 7,
    Network = 8,
};
inline constexpr int kRowKindCount = 9;

// The list's groups, in the order they first appear.
enum class RowGroup : int { Drives, Memory, User, OperatingSystem, General };
RowGroup GroupOf(RowKind kind);
const wchar_t* GroupCaption(RowGroup group);

struct ReportRow {
    std::wstring name;
    std::wstring value;
    RowKind kind = RowKind::OperatingSystem;
    bool operator==(const ReportRow&) const = default;
};

// Registry keys the report reads its system facts from (tests point them at keys of their own).
struct ReportKeys {
    std::wstring currentVersion = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    // Where NT systems keep the product id.
    std::wstring ntCurrentVersion = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    std::wstring internetExplorer = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer";
    std::wstring processor = L"\\HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
};

struct VersionInfo {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::wstring servicePack;
    std::wstring name;
};

// A size as text: "1,023 bytes", "1.50 KB", "512.00 MB", "37.25 GB", "128.00 TB", then PB; with
// `withBytes` the exact count follows sizes of 1 KB and more: "1.50 KB (1,536 bytes)". Digit
// grouping and the decimal symbol are the locale's (the user's by default).
std::wstring FormatBytes(uint64_t bytes, bool withBytes, const wchar_t* locale = LOCALE_NAME_USER_DEFAULT);

// "IBM enhanced 101/102-key or Microsoft Natural PS/2 Keyboard" for type 4; empty for types
// the table does not know.
std::wstring KeyboardTypeName(int type);

// "Windows 95" to "Windows 11" and the Server editions; empty for a version the table does not know.
std::wstring WindowsVersionName(const OsVersion& version);

class SystemReport {
public:
    explicit SystemReport(SystemFacts& facts, ReportKeys keys = {});

    // The whole report, in the window's order. A value the system does not have leaves its row
    // empty; the rows after it still come.
    [[nodiscard]] std::vector<ReportRow> pWindows();

    // The fixed drives: "SYSTEM (C:)" with "12.34 GB free space (37.26 GB capacity)".
    [[nodiscard]] std::vector<ReportRow> GetDrives();
    void GetUserInfo(std::wstring& szUser, std::wstring& szComputer);
    [[nodiscard]] MemoryFigures GetMemoryInfo();
    [[nodiscard]] VersionInfo GetVersionInfo();
    [[nodiscard]] std::wstring GetKeyboardInfo();
    // "1024x768 with 32 bpp at 60hz refresh rate"
    [[nodiscard]] std::wstring GetScreenInfo();
    [[nodiscard]] std::wstring GetIP();

private:
    SystemFacts& facts_;
    ReportKeys keys_;
};

}  // namespace ardmoor
