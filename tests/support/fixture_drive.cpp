#include "fixture_drive.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

#include "test_support.h"

namespace ardmoor::test {

namespace {
// Wine's mount manager interface (its ddk/mountmgr.h), as winecfg uses it.
struct MountmgrUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;
    USHORT device_offset;
    USHORT label_offset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// The Unix path of a Windows path (Wine only); empty elsewhere.
std::string UnixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* unix = convert(path.c_str());
    if (!unix) return {};
    std::string out(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return out;
}

// Defines the drive (type and Unix folder) or, with type DRIVE_NO_ROOT_DIR and no folder, removes it.
bool Define(wchar_t letter, UINT type, const std::string& unixFolder) {
    std::vector<char> buffer(sizeof(MountmgrUnixDrive) + unixFolder.size() + 1, '\0');
    auto* drive = reinterpret_cast<MountmgrUnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->type = type;
    drive->letter = static_cast<WCHAR>(towlower(letter));
    if (!unixFolder.empty()) {
        drive->mount_point_offset = sizeof(MountmgrUnixDrive);
        std::memcpy(buffer.data() + sizeof(MountmgrUnixDrive), unixFolder.c_str(), unixFolder.size());
    }
    HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      nullptr, 0, &returned, nullptr);
    ::CloseHandle(manager);
    return ok != FALSE;
}
}  // namespace

FixtureDrive::FixtureDrive(wchar_t letter, const std::wstring& folder, UINT type) : letter_(letter) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::string unix = UnixPath(folder);
    ok_ = !unix.empty() && Define(letter, type, unix) && ::GetDriveTypeW(root().c_str()) == type;
}

FixtureDrive::~FixtureDrive() {
    if (ok_) Define(letter_, DRIVE_NO_ROOT_DIR, {});
}

}  // namespace ardmoor::test
