#pragma once
// Registry values: one value's name, type and data, and the conversions between stored data and
// text that every Part uses (display, editing, the entry loader, the application-cache reader).
//
// Text form of the data, by type (DataToText), and how writing text stores it (TextToData):
//
//   REG_SZ, REG_EXPAND_SZ  The string as stored, up to its first NUL (all of it when it has no
//                          terminating NUL). REG_EXPAND_SZ is NOT expanded here: the layer is also
//                          used for display and editing; the entry record expands (arItem).
//                          An odd trailing byte is ignored. Writing stores the text and one NUL.
//   REG_DWORD              Unsigned decimal digits ("4294967295"). Writing accepts a decimal
//                          number from -2147483648 to 4294967295 (surrounding blanks allowed;
//                          negatives are stored as two's complement) and fails with
//                          kRegNotANumber otherwise, storing nothing. Data shorter or longer than
//                          4 bytes reads as the first (up to) 4 bytes, little-endian.
//   REG_QWORD              The same with 64 bits (-9223372036854775808 to 18446744073709551615).
//   REG_BINARY             One UTF-16 character per two bytes of data, in order (low byte first),
//                          NULs included. An odd trailing byte becomes one more character holding
//                          that byte. Writing stores two bytes per character, so an even-length
//                          value round-trips exactly (an odd-length one comes back one zero byte
//                          longer).
//   REG_MULTI_SZ           The strings joined by CR LF, one per line. Storage "a\0b\0\0" reads as
//                          "a\r\nb"; the final string's NUL and the list's closing NUL are dropped,
//                          empty strings inside the list are kept as empty lines. Should a string
//                          itself hold CR LF, that pair reads as CR NUL LF so that the form stays
//                          exact. Writing splits at CR LF, turns CR NUL LF back into CR LF, and
//                          stores each string with its NUL plus the closing NUL ("" stores the
//                          empty list "\0\0").
//   anything else          (REG_NONE, REG_DWORD_BIG_ENDIAN, REG_LINK, REG_RESOURCE_LIST, unknown
//                          codes) Lower-case hex bytes separated by one blank: "00 1f a0".
//                          Writing accepts hex digit pairs with or without blanks and fails with
//                          kRegNotANumber on anything else, storing nothing.
//
// Reading as a 32-bit integer (DataToInt32): REG_DWORD as is (bit pattern); REG_SZ or
// REG_EXPAND_SZ holding a decimal number that fits in 32 bits converts; everything else fails
// with kRegNotANumber.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace ardmoor {

// The program's own failure codes (the rest are Win32 error codes).
inline constexpr long kRegKeyNotFound = 35006;               // the key does not exist
inline constexpr long kRegBadPath = ERROR_BAD_PATHNAME;      // not "\HKEY_LOCAL_MACHINE\..." / "\HKEY_CURRENT_USER\..."
inline constexpr long kRegBadIndex = ERROR_NO_MORE_ITEMS;    // 1-based index 0 or past the end
inline constexpr long kRegNotANumber = ERROR_INVALID_DATA;   // text/data does not convert for the type
inline constexpr long kRegBadName = ERROR_INVALID_PARAMETER; // empty subkey name for add/remove

// Conversions (pure; no registry access).
std::wstring DataToText(DWORD type, const BYTE* data, size_t size);
inline std::wstring DataToText(DWORD type, const std::vector<BYTE>& data) {
    return DataToText(type, data.data(), data.size());
}
Result<int32_t> DataToInt32(DWORD type, const BYTE* data, size_t size);
inline Result<int32_t> DataToInt32(DWORD type, const std::vector<BYTE>& data) {
    return DataToInt32(type, data.data(), data.size());
}
Result<std::vector<BYTE>> TextToData(DWORD type, std::wstring_view text);

// One value as read: a snapshot of its name, type and data, plus where it lives so that it can be
// written back. Made by RegKey::Value / RegKey::ValueAt.
class RegValue {
public:
    RegValue(HKEY root, std::wstring subPath, std::wstring name, DWORD type, std::vector<BYTE> data);

    [[nodiscard]] const std::wstring& Name() const noexcept { return name_; }
    [[nodiscard]] DWORD Type() const noexcept { return type_; }
    [[nodiscard]] const std::vector<BYTE>& Data() const noexcept { return data_; }
    [[nodiscard]] std::wstring Text() const { return DataToText(type_, data_); }
    [[nodiscard]] Result<int32_t> Int32() const { return DataToInt32(type_, data_); }

    // Stores text as the value's data, keeping the value's type (conversion as above). Opens the
    // key with write access for this call only; on any failure nothing is written and the
    // snapshot keeps its old data.
    Status SetText(std::wstring_view text);

private:
    HKEY root_;
    std::wstring sub_;
    std::wstring name_;
    DWORD type_;
    std::vector<BYTE> data_;
};

}  // namespace ardmoor
