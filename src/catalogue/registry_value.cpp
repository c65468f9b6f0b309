#include "catalogue/registry_value.h"

#include <cstring>
#include <limits>

#include "catalogue/registry.h"
#include "platform/strings.h"

namespace ardmoor {

namespace {

// UTF-16 code units of the data, low byte first; an odd trailing byte is left out.
std::wstring Units(const BYTE* data, size_t size) {
    std::wstring out(size / 2, L'\0');
    if (!out.empty()) std::memcpy(out.data(), data, out.size() * sizeof(wchar_t));
    return out;
}

uint64_t LittleEndian(const BYTE* data, size_t size, size_t width) {
    uint64_t v = 0;
    const size_t n = size < width ? size : width;
    for (size_t i = 0; i < n; ++i) v |= static_cast<uint64_t>(data[i]) << (8 * i);
    return v;
}

void AppendUnits(std::vector<BYTE>& out, std::wstring_view s) {
    const size_t at = out.size();
    out.resize(at + s.size() * sizeof(wchar_t));
    if (!s.empty()) std::memcpy(out.data() + at, s.data(), s.size() * sizeof(wchar_t));
}

void AppendNul(std::vector<BYTE>& out) {
    out.push_back(0);
    out.push_back(0);
}

std::wstring ReplaceAll(std::wstring_view s, std::wstring_view from, std::wstring_view to) {
    std::wstring out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = s.find(from, pos);
        if (hit == std::wstring_view::npos) break;
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

// Strict decimal: optional sign, digits, surrounding blanks. Magnitude must fit in 64 bits.
bool ParseDecimal(std::wstring_view text, bool& negative, uint64_t& magnitude) {
    const std::wstring t = Trim(text);
    size_t i = 0;
    negative = false;
    if (!t.empty() && (t[0] == L'+' || t[0] == L'-')) {
        negative = t[0] == L'-';
        i = 1;
    }
    if (i == t.size()) return false;
    uint64_t v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < L'0' || t[i] > L'9') return false;
        const unsigned digit = static_cast<unsigned>(t[i] - L'0');
        if (v > (std::numeric_limits<uint64_t>::max() - digit) / 10) return false;
        v = v * 10 + digit;
    }
    magnitude = v;
    return true;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

std::wstring DataToText(DWORD type, const BYTE* data, size_t size) {
    if (!data) size = 0;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::wstring s = Units(data, size);
            const size_t nul = s.find(L'\0');
            if (nul != std::wstring::npos) s.resize(nul);
            return s;
        }
        case REG_DWORD:
            return std::to_wstring(static_cast<uint32_t>(LittleEndian(data, size, 4)));
        case REG_QWORD:
            return std::to_wstring(LittleEndian(data, size, 8));
        case REG_BINARY: {
            std::wstring s = Units(data, size);
            if (size % 2) s.push_back(static_cast<wchar_t>(data[size - 1]));
            return s;
        }
        case REG_MULTI_SZ: {
            std::wstring s = Units(data, size);
            // Drop the last string's NUL, then the list's closing NUL.
            for (int i = 0; i < 2 && !s.empty() && s.back() == L'\0'; ++i) s.pop_back();
            if (s.empty()) return {};
            std::wstring out;
            size_t pos = 0;
            for (;;) {
                const size_t nul = s.find(L'\0', pos);
                const std::wstring_view part = std::wstring_view(s).substr(pos, nul - pos);
                out += ReplaceAll(part, L"\r\n", std::wstring_view(L"\r\0\n", 3));
                if (nul == std::wstring::npos) break;
                out += L"\r\n";
                pos = nul + 1;
            }
            return out;
        }
        default: {
            static const wchar_t kHex[] = L"0123456789abcdef";
            std::wstring out;
            out.reserve(size * 3);
            for (size_t i = 0; i < size; ++i) {
                if (i) out.push_back(L' ');
                out.push_back(kHex[data[i] >> 4]);
                out.push_back(kHex[data[i] & 15]);
            }
            return out;
        }
    }
}

Result<int32_t> DataToInt32(DWORD type, const BYTE* data, size_t size) {
    if (!data) size = 0;
    if (type == REG_DWORD) return static_cast<int32_t>(static_cast<uint32_t>(LittleEndian(data, size, 4)));
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        int32_t v = 0;
        if (ParseInt32(DataToText(type, data, size), v)) return v;
    }
    return Error{kRegNotANumber};
}

Result<std::vector<BYTE>> TextToData(DWORD type, std::wstring_view text) {
    std::vector<BYTE> out;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            AppendUnits(out, text);
            AppendNul(out);
            return out;
        case REG_DWORD:
        case REG_QWORD: {
            bool negative = false;
            uint64_t magnitude = 0;
            if (!ParseDecimal(text, negative, magnitude)) return Error{kRegNotANumber};
            uint64_t bits = 0;
            if (type == REG_DWORD) {
                if (negative ? magnitude > 0x80000000ULL : magnitude > 0xFFFFFFFFULL) return Error{kRegNotANumber};
                bits = negative ? (0x100000000ULL - magnitude) & 0xFFFFFFFFULL : magnitude;
            } else {
                if (negative && magnitude > 0x8000000000000000ULL) return Error{kRegNotANumber};
                bits = negative ? ~magnitude + 1 : magnitude;
            }
            const size_t width = type == REG_DWORD ? 4 : 8;
            for (size_t i = 0; i < width; ++i) out.push_back(static_cast<BYTE>(bits >> (8 * i)));
            return out;
        }
        case REG_BINARY:
            AppendUnits(out, text);
            return out;
        case REG_MULTI_SZ: {
            if (!text.empty()) {
                size_t pos = 0;
                for (;;) {
                    const size_t sep = text.find(L"\r\n", pos);
                    const std::wstring_view part = text.substr(pos, sep == std::wstring_view::npos ? sep : sep - pos);
                    AppendUnits(out, ReplaceAll(part, std::wstring_view(L"\r\0\n", 3), L"\r\n"));
                    AppendNul(out);
                    if (sep == std::wstring_view::npos) break;
                    pos = sep + 2;
                }
            } else {
                AppendNul(out);
            }
            AppendNul(out);
            return out;
        }
        default: {
            int high = -1;
            for (wchar_t c : text) {
                if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n') {
                    if (high >= 0) return Error{kRegNotANumber};  // a lone digit before a blank
                    continue;
                }
                const int d = HexDigit(c);
                if (d < 0) return Error{kRegNotANumber};
                if (high < 0) {
                    high = d;
                } else {
                    out.push_back(static_cast<BYTE>(high * 16 + d));
                    high = -1;
                }
            }
            if (high >= 0) return Error{kRegNotANumber};
            return out;
        }
    }
}

RegValue::RegValue(HKEY root, std::wstring subPath, std::wstring name, DWORD type, std::vector<BYTE> data)
    : root_(root), sub_(std::move(subPath)), name_(std::move(name)), type_(type), data_(std::move(data)) {}

Status RegValue::SetText(std::wstring_view text) {
    auto bytes = TextToData(type_, text);
    if (!bytes) return Error{bytes.error()};
    if (bytes->size() > std::numeric_limits<DWORD>::max()) return Error{ERROR_INVALID_PARAMETER};
    detail::KeyHandle key;
    if (const long rc = detail::OpenKeyHandle(root_, sub_, KEY_SET_VALUE, key)) return Error{rc};
    const LSTATUS rc = ::RegSetValueExW(key.get(), name_.c_str(), 0, type_, bytes->data(),
                                        static_cast<DWORD>(bytes->size()));
    if (rc != ERROR_SUCCESS) return Error{rc};
    data_ = std::move(bytes.value());
    return {};
}

}  // namespace ardmoor
