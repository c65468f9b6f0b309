#include "test_support.h"

#include <objbase.h>

#include <atomic>
#include <string>

namespace ardmoor::test {

namespace {
// The program's thread runs in a single-threaded COM apartment (the shell's icon and file
// functions and screen-reader objects rely on it); the tests' main thread does the same.
struct ComApartment {
    ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE); }
} const comApartment;

std::wstring UniqueName(const wchar_t* prefix) {
    static std::atomic<unsigned> counter{0};
    return std::wstring(prefix) + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(::GetTickCount64()) + L"_" + std::to_wstring(counter++);
}

void CreateParents(const std::wstring& path) {
    for (size_t i = 3; i < path.size(); ++i)
        if (path[i] == L'\\') ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}
}  // namespace

TempDir::TempDir() {
    wchar_t temp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + UniqueName(L"ardmoor_test_");
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

std::wstring TempDir::operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(path.c_str());
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    CreateParents(path);
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof(buf), &got, nullptr) && got) out.append(buf, got);
    ::CloseHandle(h);
    return out;
}

TestRegistryKey::TestRegistryKey(HKEY root, const std::wstring& parent)
    : root_(root), sub_(parent + L"\\" + UniqueName(L"k")) {
    ::RegCreateKeyExW(root_, sub_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
}

TestRegistryKey::~TestRegistryKey() {
    if (key_) ::RegCloseKey(key_);
    ::RegDeleteTreeW(root_, sub_.c_str());
    ::RegDeleteKeyW(root_, sub_.c_str());
}

std::wstring TestRegistryKey::fullPath() const {
    const wchar_t* rootName = root_ == HKEY_LOCAL_MACHINE ? L"\\HKEY_LOCAL_MACHINE\\" : L"\\HKEY_CURRENT_USER\\";
    return rootName + sub_;
}

void TestRegistryKey::SetRaw(const std::wstring& subkey, const std::wstring& name, DWORD type, const void* data,
                             DWORD size) {
    HKEY k = nullptr;
    if (::RegCreateKeyExW(key_, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) ==
        ERROR_SUCCESS) {
        ::RegSetValueExW(k, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(k);
    }
}

void TestRegistryKey::SetString(const std::wstring& subkey, const std::wstring& name, const std::wstring& value,
                                DWORD type) {
    SetRaw(subkey, name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void TestRegistryKey::SetDword(const std::wstring& subkey, const std::wstring& name, DWORD value) {
    SetRaw(subkey, name, REG_DWORD, &value, sizeof(value));
}

void TestRegistryKey::CreateSubkey(const std::wstring& subkey) {
    HKEY k = nullptr;
    if (::RegCreateKeyExW(key_, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) ==
        ERROR_SUCCESS)
        ::RegCloseKey(k);
}

std::wstring ExeFolder() {
    wchar_t buf[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
    std::wstring path(buf, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring BuildPath(std::wstring_view relative) {
    std::wstring path = ExeFolder() + L"..\\" + std::wstring(relative);
    // Wine names a program outside every drive by its "\??\unix\..." path without the prefix,
    // which reads as a relative path; with the prefix back the file functions take it.
    if (path.rfind(L"unix\\", 0) == 0) path.insert(0, L"\\\\?\\");
    // After "\\?\" the file functions resolve no "..": resolve it here.
    wchar_t buf[MAX_PATH * 4];
    const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(buf)), buf, nullptr);
    return n && n < std::size(buf) ? std::wstring(buf, n) : path;
}

std::wstring FixtureExe(std::wstring_view name) { return BuildPath(L"fixtures\\" + std::wstring(name) + L".exe"); }

std::wstring ArdmoorExe() { return BuildPath(L"ardmoor.exe"); }

}  // namespace ardmoor::test
