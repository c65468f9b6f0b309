#include "catalogue/entry_removal.h"

#include "catalogue/registry.h"

namespace ardmoor {

bool pKeyExists(std::wstring_view sKey) { return RegKey::Open(sKey).ok(); }

Status RemoveEntryKey(std::wstring_view sKey) {
    std::wstring path(sKey);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    const size_t slash = path.find_last_of(L'\\');
    // "\ROOT\Name" at least two levels down: a root's direct subkeys (SOFTWARE, ...) are not entries.
    if (slash == std::wstring::npos || slash == 0 || path.find(L'\\', 1) == slash) return Error{ERROR_INVALID_PARAMETER};
    const std::wstring name = path.substr(slash + 1);
    // Through the parent, so that the entry's own key need not be readable.
    auto parent = RegKey::Open(std::wstring_view(path).substr(0, slash));
    Status removed = parent ? parent->RemoveSubkey(name) : Status(Error{parent.error()});
    if (removed || !pKeyExists(path)) return {};
    // The layer's "key not found" here is about something below the entry (a dangling link).
    const long code = removed.error() == kRegKeyNotFound ? ERROR_FILE_NOT_FOUND : removed.error();
    return Error{code};
}

}  // namespace ardmoor
