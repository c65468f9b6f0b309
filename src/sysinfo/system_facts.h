#pragma once
// What the system information report reads from the operating system, behind an interface so
// that tests can feed values this machine does not have (a CD drive, an old keyboard, another
// Windows version). LiveSystemFacts asks the system.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ardmoor {

struct DiskSpace {
    uint64_t total = 0;
    uint64_t free = 0;
};

// Sizes in bytes, 64-bit: machines have more than 4 GB.
struct MemoryFigures {
    uint64_t totalPhysical = 0;
    uint64_t availablePhysical = 0;
    uint64_t totalPageFile = 0;
    uint64_t availablePageFile = 0;
    uint64_t totalVirtual = 0;
    uint64_t availableVirtual = 0;
    uint32_t load = 0;  // percent
};

struct OsVersion {
    uint32_t platformId = 0;  // VER_PLATFORM_WIN32_NT (2) on every system this runs on
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::wstring servicePack;
    uint8_t productType = VER_NT_WORKSTATION;  // VER_NT_SERVER / VER_NT_DOMAIN_CONTROLLER for servers
};

struct ScreenMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0;
};

class SystemFacts {
public:
    virtual ~SystemFacts() = default;
    // Root of every drive ("C:\"), in the system's order.
    virtual std::vector<std::wstring> DriveRoots() = 0;
    // GetDriveType's answer: DRIVE_FIXED (3), DRIVE_CDROM (5), ...
    virtual UINT DriveType(const std::wstring& root) = 0;
    // Zero figures when the drive cannot be asked.
    virtual DiskSpace FreeSpace(const std::wstring& root) = 0;
    virtual std::wstring VolumeLabel(const std::wstring& root) = 0;
    virtual MemoryFigures Memory() = 0;
    virtual std::wstring UserName() = 0;
    virtual std::wstring ComputerName() = 0;
    // The true version, whatever the program's manifest claims to support.
    virtual OsVersion Version() = 0;
    // GetKeyboardType(0).
    virtual int KeyboardType() = 0;
    virtual ScreenMode Screen() = 0;
    // This computer's own IPv4 address: the first unicast address of the first adapter that is up
    // and is not the loopback one. Empty when there is none.
    virtual std::wstring IPv4Address() = 0;
};

class LiveSystemFacts : public SystemFacts {
public:
    std::vector<std::wstring> DriveRoots() override;
    UINT DriveType(const std::wstring& root) override;
    DiskSpace FreeSpace(const std::wstring& root) override;
    std::wstring VolumeLabel(const std::wstring& root) override;
    MemoryFigures Memory() override;
    std::wstring UserName() override;
    std::wstring ComputerName() override;
    OsVersion Version() override;
    int KeyboardType() override;
    ScreenMode Screen() override;
    std::wstring IPv4Address() override;
};

}  // namespace ardmoor
