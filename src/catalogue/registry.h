#pragma once
// Registry access over the Win32 registry API.
//
// A key is named by a path that begins with a backslash and the root key's name:
//   "\HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
//   "\HKEY_CURRENT_USER\Software\Quillfen Software\Ardmoor\Settings"
// The root name is compared case-insensitively; any other root (or no leading backslash) fails
// with kRegBadPath. Trailing backslashes are ignored. "\HKEY_CURRENT_USER" alone is the root key.
//
// Every operation that can fail returns Result<T> or Status. A key that does not exist fails with
// kRegKeyNotFound (35006); index 0 or past the end with kRegBadIndex; other failures carry the
// Win32 error code (for instance ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND for a missing value).
//
// Keys are opened for reading (KEY_READ). An operation that changes something opens the key again
// with just the write right it needs, for that call only, so reading HKLM works without
// administrator rights and a write without rights fails with ERROR_ACCESS_DENIED.
//
// Value data and its text form: see registry_value.h.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/registry_value.h"
#include "platform/result.h"
#include "platform/unique_handle.h"

namespace ardmoor {

namespace detail {
// An open key handle; a predefined root handle is held but never closed.
using KeyHandle = UniqueHKey;

// Opens root\sub with `access`. Returns 0, kRegKeyNotFound, or the Win32 error code.
long OpenKeyHandle(HKEY root, const std::wstring& sub, REGSAM access, KeyHandle& out);
// Maps a Win32 status of a key open/create to the layer's codes (ERROR_FILE_NOT_FOUND -> 35006).
long KeyError(LSTATUS status);
// Reads one value by name (retrying while it grows); returns 0 or the Win32 error code.
long QueryValue(HKEY key, const wchar_t* name, DWORD& type, std::vector<BYTE>& data);
}  // namespace detail

class RegKey {
public:
    // Opens the key named by `path` for reading.
    static Result<RegKey> Open(std::wstring_view path);

    // The key's own last path component (the root's name for a root key).
    [[nodiscard]] const std::wstring& Name() const noexcept { return name_; }
    // The key's path in the form Open accepts: "\HKEY_...\a\b" (root spelled in capitals).
    [[nodiscard]] std::wstring FullPath() const;
    // The key one level up; a root key has none (kRegKeyNotFound).
    [[nodiscard]] Result<RegKey> Parent() const;

    // Subkeys. Index is 1-based, in the registry's enumeration order.
    [[nodiscard]] Result<uint32_t> SubkeyCount() const;
    // The counts of subkeys and of values, in one call (for readers that need both).
    struct Counts {
        uint32_t subkeys = 0;
        uint32_t values = 0;
    };
    [[nodiscard]] Result<Counts> SubkeyAndValueCounts() const;
    [[nodiscard]] Result<RegKey> SubkeyAt(uint32_t index) const;
    // The name alone, without opening the subkey.
    [[nodiscard]] Result<std::wstring> SubkeyNameAt(uint32_t index) const;
    [[nodiscard]] Result<RegKey> Subkey(std::wstring_view name) const;
    // Creates the subkey (an existing one is left as it is) and returns it opened for reading.
    [[nodiscard]] Result<RegKey> AddSubkey(std::wstring_view name) const;
    // Deletes the subkey with everything below it.
    Status RemoveSubkey(std::wstring_view name) const;

    // Values. Index is 1-based, in the registry's enumeration order. "" names the default value.
    [[nodiscard]] Result<uint32_t> ValueCount() const;
    [[nodiscard]] Result<RegValue> ValueAt(uint32_t index) const;
    // Fails with ERROR_FILE_NOT_FOUND when no value has that name.
    [[nodiscard]] Result<RegValue> Value(std::wstring_view name) const;
    // Creates the value with `data` converted for `type` (registry_value.h). When a value of that
    // name exists it keeps its data and type, and the call succeeds without writing.
    Status AddValue(std::wstring_view name, std::wstring_view data, DWORD type) const;
    Status RemoveValue(std::wstring_view name) const;

    // The open read handle, for bulk readers such as the entry loader. Owned by this object.
    [[nodiscard]] HKEY handle() const noexcept { return h_.get(); }

private:
    RegKey(HKEY root, std::wstring sub, detail::KeyHandle h);
    HKEY root_;
    std::wstring sub_;  // path below the root, no leading or trailing backslash
    std::wstring name_;
    detail::KeyHandle h_;
};

}  // namespace ardmoor
