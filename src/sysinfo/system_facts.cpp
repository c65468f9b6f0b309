#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include "sysinfo/system_facts.h"

#include <memory>

#include "platform/unique_handle.h"

namespace ardmoor {

std::vector<std::wstring> LiveSystemFacts::DriveRoots() {
    std::vector<std::wstring> roots;
    std::wstring buffer(128, L'\0');
    // Drives may come and go between the two calls: a few tries, then what we have.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = ::GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (needed == 0) return roots;
        if (needed < buffer.size()) {
            buffer.resize(needed);
            break;
        }
        buffer.assign(static_cast<size_t>(needed) + 1, L'\0');
        if (attempt == 3) return roots;
    }
    for (size_t start = 0; start < buffer.size();) {
        const size_t end = buffer.find(L'\0', start);
        const size_t stop = end == std::wstring::npos ? buffer.size() : end;
        if (stop > start) roots.push_back(buffer.substr(start, stop - start));
        start = stop + 1;
    }
    return roots;
}

UINT LiveSystemFacts::DriveType(const std::wstring& root) { return ::GetDriveTypeW(root.c_str()); }

DiskSpace LiveSystemFacts::FreeSpace(const std::wstring& root) {
    ULARGE_INTEGER callerFree{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(root.c_str(), &callerFree, &total, &free)) return {};
    return {total.QuadPart, free.QuadPart};
}

std::wstring LiveSystemFacts::VolumeLabel(const std::wstring& root) {
    wchar_t label[MAX_PATH + 1] = L"";
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) return {};
    return label;
}

MemoryFigures LiveSystemFacts::Memory() {
    MEMORYSTATUSEX status{sizeof(status)};
    if (!::GlobalMemoryStatusEx(&status)) return {};
    return {status.ullTotalPhys,     status.ullAvailPhys,    status.ullTotalPageFile, status.ullAvailPageFile,
            status.ullTotalVirtual, status.ullAvailVirtual, status.dwMemoryLoad};
}

std::wstring LiveSystemFacts::UserName() {
    wchar_t name[257] = L"";  // UNLEN + 1
    DWORD size = 257;
    return ::GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

std::wstring LiveSystemFacts::ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return ::GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring();
}

OsVersion LiveSystemFacts::Version() {
    // GetVersionEx answers what the manifest claims to support; RtlGetVersion tells the truth.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(::GetProcAddress(ntdll, "RtlGetVersion")) : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) return {};
    OsVersion v;
    v.platformId = info.dwPlatformId;
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.build = info.dwBuildNumber;
    v.servicePack.assign(info.szCSDVersion, wcsnlen(info.szCSDVersion, std::size(info.szCSDVersion)));
    v.productType = info.wProductType;
    return v;
}

int LiveSystemFacts::KeyboardType() { return ::GetKeyboardType(0); }

ScreenMode LiveSystemFacts::Screen() {
    WindowDc dc(nullptr);
    if (!dc.get()) return {};
    return {::GetDeviceCaps(dc.get(), HORZRES), ::GetDeviceCaps(dc.get(), VERTRES),
            ::GetDeviceCaps(dc.get(), BITSPIXEL), ::GetDeviceCaps(dc.get(), VREFRESH)};
}

std::wstring LiveSystemFacts::IPv4Address() {
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER |
                             GAA_FLAG_SKIP_FRIENDLY_NAME;
    ULONG size = 16 * 1024;
    std::unique_ptr<unsigned char[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<unsigned char[]>(size);
        result = ::GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (result != NO_ERROR) return {};
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET) continue;
            const auto* bytes = reinterpret_cast<const unsigned char*>(
                &reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
            return std::to_wstring(bytes[0]) + L"." + std::to_wstring(bytes[1]) + L"." + std::to_wstring(bytes[2]) +
                   L"." + std::to_wstring(bytes[3]);
        }
    }
    return {};
}

}  // namespace ardmoor
