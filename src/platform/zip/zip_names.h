#pragma once
// Entry names: decoding the stored bytes, and the rules that keep an entry inside its destination.
#include <string>
#include <string_view>
#include <vector>

namespace ardmoor::zip::detail {

// Decodes UTF-8 (malformed sequences become U+FFFD); false when the bytes are not valid UTF-8.
bool DecodeUtf8(std::string_view bytes, std::wstring& out);
std::wstring DecodeCp437(std::string_view bytes);
std::string EncodeUtf8(std::wstring_view text);

// Stored name to display text: separators become backslashes.
std::wstring ToBackslashes(std::wstring name);

// Splits a decoded name into the parts of a relative path, refusing (false) what could leave the
// destination or that Windows would not create as an ordinary file: absolute paths, drive
// letters, ".." and other all-dot parts, device names (with or without extension), alternate data
// streams and the characters Windows forbids. Both separators count; empty parts are dropped.
// The rules hold on every platform, so an archive behaves the same wherever it is tested.
bool SplitSafeName(std::wstring_view name, std::vector<std::wstring>& parts);

}  // namespace ardmoor::zip::detail
