#pragma once
// Removing an uninstall entry from the listing, and telling whether its key is still there.
// Keys are named by full paths ("\HKEY_LOCAL_MACHINE\...\Uninstall\Name", registry.h); entries
// of the current user ("\HKEY_CURRENT_USER\...") work the same way.
#include <string>
#include <string_view>

#include "platform/result.h"

namespace ardmoor {

// True when the key can be opened; any failure (a missing key, a misspelt root) answers false.
[[nodiscard]] bool pKeyExists(std::wstring_view sKey);

// Deletes the entry's key with everything below it. A key that is already gone counts as removed.
// Otherwise fails with a Win32 error code (ERROR_ACCESS_DENIED without the rights, ...), and the
// key is still there. A key directly below a root is never deleted (ERROR_INVALID_PARAMETER).
Status RemoveEntryKey(std::wstring_view sKey);

}  // namespace ardmoor
