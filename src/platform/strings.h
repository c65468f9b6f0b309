#pragma once
// UTF-16 text helpers. The program works in std::wstring; UTF-8 appears only at file-format edges.
#include <string>
#include <string_view>
#include <cstdint>

namespace ardmoor {

std::wstring Utf8ToWide(std::string_view utf8);
// A lone surrogate (malformed data, as registry strings can hold) becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

inline constexpr char32_t kReplacementChar = 0xFFFD;
// The code point that starts at s[i], i moved past it; a lone surrogate reads as U+FFFD.
char32_t NextCodePoint(std::wstring_view s, size_t& i) noexcept;
void AppendUtf8(std::string& out, char32_t codePoint);
void AppendUtf8(std::string& out, std::wstring_view wide);

// Case mapping by the system's rules (CharLowerBuffW/CharUpperBuffW), so any script folds.
std::wstring ToLower(std::wstring_view s);
std::wstring ToUpper(std::wstring_view s);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

// Removes every occurrence of ch.
std::wstring RemoveChar(std::wstring_view s, wchar_t ch);
bool EndsWith(std::wstring_view s, std::wstring_view suffix);
bool StartsWith(std::wstring_view s, std::wstring_view prefix);
std::wstring Trim(std::wstring_view s);

// Strict decimal parse of a whole text (optional sign, surrounding blanks allowed); false when
// the text is not a number or does not fit in 32 bits.
bool ParseInt32(std::wstring_view s, int32_t& out);

// Text of a Win32 error code from the system's message table, without the trailing line break.
std::wstring SystemErrorText(unsigned long code);

}  // namespace ardmoor
