#pragma once
// Helpers the tests share: temp folders, test-owned registry keys, files, fixture programs.
#include <windows.h>

#include <string>
#include <string_view>

namespace ardmoor::test {

// A fresh folder under %TEMP%, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::wstring& path() const { return path_; }
    // path() + "\" + name
    [[nodiscard]] std::wstring operator/(std::wstring_view name) const;

private:
    std::wstring path_;
};

// Writes bytes to a file, creating folders on the way; returns false on failure.
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
std::string ReadFileBytes(const std::wstring& path);
void RemoveTree(const std::wstring& path);

// A registry key owned by one test: created fresh under `root`\`parent`, deleted with its subtree
// when the object goes. fullPath() is in the "\HKEY_...\..." form the program uses.
class TestRegistryKey {
public:
    explicit TestRegistryKey(HKEY root = HKEY_CURRENT_USER,
                             const std::wstring& parent = L"Software\\ArdmoorTests");
    ~TestRegistryKey();
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    [[nodiscard]] HKEY handle() const { return key_; }
    [[nodiscard]] const std::wstring& subPath() const { return sub_; }  // below the root
    [[nodiscard]] std::wstring fullPath() const;

    // Raw writes, bypassing the program's registry layer.
    void SetRaw(const std::wstring& subkey, const std::wstring& name, DWORD type, const void* data, DWORD size);
    void SetString(const std::wstring& subkey, const std::wstring& name, const std::wstring& value,
                   DWORD type = REG_SZ);
    void SetDword(const std::wstring& subkey, const std::wstring& name, DWORD value);
    void CreateSubkey(const std::wstring& subkey);

private:
    HKEY root_;
    std::wstring sub_;
    HKEY key_ = nullptr;
};

// Folder of the running test exe, with a trailing backslash, as the system names it.
std::wstring ExeFolder();
// A file or folder of the build folder ("fixtures\\x.exe"), in a form every file function takes.
std::wstring BuildPath(std::wstring_view relative);
// A helper program built from tests/fixtures/<name>.cpp.
std::wstring FixtureExe(std::wstring_view name);
// The built ardmoor.exe.
std::wstring ArdmoorExe();

}  // namespace ardmoor::test
