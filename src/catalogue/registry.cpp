#include "catalogue/registry.h"

#include <algorithm>

#include "platform/strings.h"

namespace ardmoor {

namespace {

constexpr std::wstring_view kLocalMachine = L"HKEY_LOCAL_MACHINE";
constexpr std::wstring_view kCurrentUser = L"HKEY_CURRENT_USER";
constexpr DWORD kMaxValueNameChars = 16384;  // 16,383 + NUL: the registry's limit
constexpr DWORD kMaxKeyNameChars = 512;      // 255 is the registry's limit
constexpr int kMaxAttempts = 16;             // re-reads of a value that keeps growing

std::wstring_view RootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? kLocalMachine : kCurrentUser; }

std::wstring TrimBackslashes(std::wstring_view s) {
    while (!s.empty() && s.back() == L'\\') s.remove_suffix(1);
    return std::wstring(s);
}

bool ParsePath(std::wstring_view path, HKEY& root, std::wstring& sub) {
    if (path.empty() || path[0] != L'\\') return false;
    path.remove_prefix(1);
    const size_t slash = path.find(L'\\');
    const std::wstring_view rootName = path.substr(0, slash);
    if (EqualsNoCase(rootName, kLocalMachine))
        root = HKEY_LOCAL_MACHINE;
    else if (EqualsNoCase(rootName, kCurrentUser))
        root = HKEY_CURRENT_USER;
    else
        return false;
    sub = slash == std::wstring_view::npos ? std::wstring() : TrimBackslashes(path.substr(slash + 1));
    return true;
}

std::wstring Join(const std::wstring& sub, std::wstring_view name) {
    return sub.empty() ? TrimBackslashes(name) : sub + L"\\" + TrimBackslashes(name);
}

}  // namespace

namespace detail {

long KeyError(LSTATUS status) {
    if (status == ERROR_SUCCESS) return 0;
    if (status == ERROR_FILE_NOT_FOUND) return kRegKeyNotFound;
    return status;
}

long OpenKeyHandle(HKEY root, const std::wstring& sub, REGSAM access, KeyHandle& out) {
    if (sub.empty()) {
        out = KeyHandle(root);
        return 0;
    }
    HKEY h = nullptr;
    const LSTATUS rc = ::RegOpenKeyExW(root, sub.c_str(), 0, access, &h);
    if (rc != ERROR_SUCCESS) return KeyError(rc);
    out = KeyHandle(h);
    return 0;
}

long QueryValue(HKEY key, const wchar_t* name, DWORD& type, std::vector<BYTE>& data) {
    if (data.size() < 256) data.resize(256);
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        DWORD cb = static_cast<DWORD>(data.size());
        const LSTATUS rc = ::RegQueryValueExW(key, name, nullptr, &type, data.data(), &cb);
        if (rc == ERROR_SUCCESS && cb <= data.size()) {
            data.resize(cb);
            return 0;
        }
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return rc;
        // The value is larger than the buffer (or grew since the last call): make room, read again.
        data.resize(std::max<size_t>(static_cast<size_t>(cb) + 64, data.size() * 2));
    }
    return ERROR_MORE_DATA;
}

}  // namespace detail

RegKey::RegKey(HKEY root, std::wstring sub, detail::KeyHandle h)
    : root_(root), sub_(std::move(sub)), h_(std::move(h)) {
    const size_t slash = sub_.find_last_of(L'\\');
    name_ = sub_.empty() ? std::wstring(RootName(root_))
                         : slash == std::wstring::npos ? sub_ : sub_.substr(slash + 1);
}

Result<RegKey> RegKey::Open(std::wstring_view path) {
    HKEY root = nullptr;
    std::wstring sub;
    if (!ParsePath(path, root, sub)) return Error{kRegBadPath};
    detail::KeyHandle h;
    if (const long rc = detail::OpenKeyHandle(root, sub, KEY_READ, h)) return Error{rc};
    return RegKey(root, std::move(sub), std::move(h));
}

std::wstring RegKey::FullPath() const {
    std::wstring path = L"\\";
    path += RootName(root_);
    if (!sub_.empty()) path += L"\\" + sub_;
    return path;
}

Result<RegKey> RegKey::Parent() const {
    if (sub_.empty()) return Error{kRegKeyNotFound};
    const size_t slash = sub_.find_last_of(L'\\');
    std::wstring parent = slash == std::wstring::npos ? std::wstring() : sub_.substr(0, slash);
    detail::KeyHandle h;
    if (const long rc = detail::OpenKeyHandle(root_, parent, KEY_READ, h)) return Error{rc};
    return RegKey(root_, std::move(parent), std::move(h));
}

Result<uint32_t> RegKey::SubkeyCount() const {
    DWORD count = 0;
    const LSTATUS rc = ::RegQueryInfoKeyW(h_.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return Error{detail::KeyError(rc)};
    return static_cast<uint32_t>(count);
}

Result<RegKey::Counts> RegKey::SubkeyAndValueCounts() const {
    DWORD subkeys = 0, values = 0;
    const LSTATUS rc = ::RegQueryInfoKeyW(h_.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                          nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return Error{detail::KeyError(rc)};
    return Counts{static_cast<uint32_t>(subkeys), static_cast<uint32_t>(values)};
}

Result<RegKey> RegKey::SubkeyAt(uint32_t index) const {
    auto name = SubkeyNameAt(index);
    if (!name) return Error{name.error()};
    return Subkey(*name);
}

Result<std::wstring> RegKey::SubkeyNameAt(uint32_t index) const {
    if (index == 0) return Error{kRegBadIndex};
    wchar_t name[kMaxKeyNameChars];
    DWORD len = kMaxKeyNameChars;
    const LSTATUS rc = ::RegEnumKeyExW(h_.get(), index - 1, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return Error{kRegBadIndex};
    if (rc != ERROR_SUCCESS) return Error{detail::KeyError(rc)};
    return std::wstring(name, len);
}

Result<RegKey> RegKey::Subkey(std::wstring_view name) const {
    const std::wstring rel = TrimBackslashes(name);
    if (rel.empty()) return Error{kRegBadName};
    HKEY h = nullptr;
    const LSTATUS rc = ::RegOpenKeyExW(h_.get(), rel.c_str(), 0, KEY_READ, &h);
    if (rc != ERROR_SUCCESS) return Error{detail::KeyError(rc)};
    return RegKey(root_, Join(sub_, rel), detail::KeyHandle(h));
}

Result<RegKey> RegKey::AddSubkey(std::wstring_view name) const {
    const std::wstring rel = TrimBackslashes(name);
    if (rel.empty()) return Error{kRegBadName};
    detail::KeyHandle parent;
    if (const long rc = detail::OpenKeyHandle(root_, sub_, KEY_CREATE_SUB_KEY, parent)) return Error{rc};
    HKEY h = nullptr;
    const LSTATUS rc =
        ::RegCreateKeyExW(parent.get(), rel.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS) return Error{detail::KeyError(rc)};
    return RegKey(root_, Join(sub_, rel), detail::KeyHandle(h));
}

Status RegKey::RemoveSubkey(std::wstring_view name) const {
    const std::wstring rel = TrimBackslashes(name);
    if (rel.empty()) return Error{kRegBadName};  // "" would empty this key itself
    detail::KeyHandle parent;
    if (const long rc = detail::OpenKeyHandle(
            root_, sub_, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE, parent))
        return Error{rc};
    LSTATUS rc = ::RegDeleteTreeW(parent.get(), rel.c_str());
    if (rc != ERROR_SUCCESS) return Error{detail::KeyError(rc)};
    // RegDeleteTreeW removes the key itself as well; make sure of it.
    rc = ::RegDeleteKeyW(parent.get(), rel.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return Error{rc};
    return {};
}

Result<uint32_t> RegKey::ValueCount() const {
    DWORD count = 0;
    const LSTATUS rc = ::RegQueryInfoKeyW(h_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                          nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return Error{detail::KeyError(rc)};
    return static_cast<uint32_t>(count);
}

Result<RegValue> RegKey::ValueAt(uint32_t index) const {
    if (index == 0) return Error{kRegBadIndex};
    std::wstring name(kMaxValueNameChars, L'\0');
    std::vector<BYTE> data(1024);
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        DWORD nameLen = kMaxValueNameChars;
        DWORD cb = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS rc =
            ::RegEnumValueW(h_.get(), index - 1, name.data(), &nameLen, nullptr, &type, data.data(), &cb);
        if (rc == ERROR_SUCCESS && cb <= data.size() && nameLen < kMaxValueNameChars) {
            name.resize(nameLen);
            data.resize(cb);
            return RegValue(root_, sub_, std::move(name), type, std::move(data));
        }
        if (rc == ERROR_NO_MORE_ITEMS) return Error{kRegBadIndex};
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return Error{detail::KeyError(rc)};
        data.resize(std::max<size_t>(static_cast<size_t>(cb) + 64, data.size() * 2));
    }
    return Error{ERROR_MORE_DATA};
}

Result<RegValue> RegKey::Value(std::wstring_view name) const {
    std::wstring n(name);
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (const long rc = detail::QueryValue(h_.get(), n.c_str(), type, data)) return Error{rc};
    return RegValue(root_, sub_, std::move(n), type, std::move(data));
}

Status RegKey::AddValue(std::wstring_view name, std::wstring_view data, DWORD type) const {
    const std::wstring n(name);
    const LSTATUS exists = ::RegQueryValueExW(h_.get(), n.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (exists == ERROR_SUCCESS) return {};  // an existing value keeps its data
    if (exists != ERROR_FILE_NOT_FOUND) return Error{detail::KeyError(exists)};
    auto bytes = TextToData(type, data);
    if (!bytes) return Error{bytes.error()};
    detail::KeyHandle key;
    if (const long rc = detail::OpenKeyHandle(root_, sub_, KEY_SET_VALUE, key)) return Error{rc};
    const LSTATUS rc =
        ::RegSetValueExW(key.get(), n.c_str(), 0, type, bytes->data(), static_cast<DWORD>(bytes->size()));
    if (rc != ERROR_SUCCESS) return Error{rc};
    return {};
}

Status RegKey::RemoveValue(std::wstring_view name) const {
    detail::KeyHandle key;
    if (const long rc = detail::OpenKeyHandle(root_, sub_, KEY_SET_VALUE, key)) return Error{rc};
    const LSTATUS rc = ::RegDeleteValueW(key.get(), std::wstring(name).c_str());
    if (rc != ERROR_SUCCESS) return Error{rc};
    return {};
}

}  // namespace ardmoor
