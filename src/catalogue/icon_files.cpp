#include "catalogue/icon_files.h"

#include <windows.h>
#include <shlobj.h>

#include "catalogue/file_helpers.h"
#include "platform/unique_handle.h"
#include "resource_ids.h"

namespace ardmoor {

namespace {

struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes LoadCustomResource(int id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"CUSTOM");
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) return {};
    return {::LockResource(loaded), ::SizeofResource(module, found)};
}

bool WriteBoth(const std::wstring& folder) {
    if (folder.empty()) return false;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const ResourceBytes invalid = LoadCustomResource(IDR_INVALID_ICO);
    const ResourceBytes noicon = LoadCustomResource(IDR_NOICON_ICO);
    if (!invalid.data || !noicon.data) return false;
    return ReplaceFileContents(folder + kInvalidIconFile, invalid.data, invalid.size) &&
           ReplaceFileContents(folder + kNoIconFile, noicon.data, noicon.size);
}

}  // namespace

bool ReplaceFileContents(const std::wstring& path, const void* data, size_t size) {
    const std::wstring temp = path + L".new";
    {
        UniqueKernelHandle file(
            ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
            file.reset();
            ::DeleteFileW(temp.c_str());
            return false;
        }
    }
    if (!::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

std::wstring LocalAppDataFolder() {
    PWSTR path = nullptr;
    const HRESULT hr = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    const UniqueCoTaskMemory owned(path);
    return SUCCEEDED(hr) && path ? AddBackslash(path) + L"Ardmoor\\" : std::wstring();
}

std::wstring WriteEntryIconFiles(std::wstring_view preferredFolder, std::wstring_view fallbackFolder) {
    for (std::wstring_view candidate : {preferredFolder, fallbackFolder}) {
        if (candidate.empty()) continue;
        const std::wstring folder = AddBackslash(candidate);
        if (WriteBoth(folder)) return folder;
    }
    return {};
}

std::wstring WriteEntryIconFiles() { return WriteEntryIconFiles(ProgramFolder(), LocalAppDataFolder()); }

}  // namespace ardmoor
