// The registry layer's data conversions, without touching the registry. (Data shorter than its type
// promises, or without its NULs, is read back from the real registry in registry_malformed_test.cpp.)
#include <gtest/gtest.h>

#include "catalogue/registry_value.h"
#include "catalogue_test_util.h"

using namespace ardmoor;
using test::ByteList;
using test::Z;
using test::Utf16Bytes;

namespace {
// The bytes the write path makes of a text (empty when it refuses the text).
std::vector<BYTE> Written(DWORD type, const std::wstring& text) {
    auto data = TextToData(type, text);
    EXPECT_TRUE(data.ok()) << "type " << type << " refused " << testing::PrintToString(text);
    return data.ok() ? data.value() : std::vector<BYTE>{};
}
// Text for the bytes, then bytes for that text: the write path inverting the read form.
std::vector<BYTE> RoundTrip(DWORD type, const std::vector<BYTE>& data) { return Written(type, DataToText(type, data)); }
int32_t Int32(DWORD type, const std::vector<BYTE>& data) {
    auto v = DataToInt32(type, data);
    EXPECT_TRUE(v.ok()) << "type " << type;
    return v.ok() ? v.value() : 0;
}
}  // namespace

TEST(RegistryConvert, StringsAsStored) {
    EXPECT_EQ(DataToText(REG_SZ, Utf16Bytes(Z(L"abc\0"))), L"abc");
    EXPECT_EQ(DataToText(REG_SZ, Utf16Bytes(Z(L"ab\0cd\0"))), L"ab");
    EXPECT_EQ(DataToText(REG_SZ, std::vector<BYTE>{}), L"");
    // REG_EXPAND_SZ stays raw (unexpanded) in the registry layer.
    EXPECT_EQ(DataToText(REG_EXPAND_SZ, Utf16Bytes(Z(L"%SystemRoot%\\x.exe\0"))), L"%SystemRoot%\\x.exe");
    EXPECT_EQ(DataToText(REG_SZ, Utf16Bytes(Z(L"\u65e5\u672c\u8a9e \u0420\u0443\u0441\0"))),
              L"\u65e5\u672c\u8a9e \u0420\u0443\u0441");

    // Written with one NUL.
    EXPECT_EQ(Written(REG_SZ, L"Hi"), ByteList({'H', 0, 'i', 0, 0, 0}));
    EXPECT_EQ(DataToText(REG_EXPAND_SZ, Written(REG_EXPAND_SZ, L"%TEMP%")), L"%TEMP%");
    EXPECT_EQ(Written(REG_SZ, L""), ByteList({0, 0}));
}

TEST(RegistryConvert, NumbersAsDecimalDigitsBothWays) {
    EXPECT_EQ(DataToText(REG_DWORD, ByteList({5, 0, 0, 0})), L"5");
    EXPECT_EQ(DataToText(REG_DWORD, ByteList({0xff, 0xff, 0xff, 0xff})), L"4294967295");
    EXPECT_EQ(DataToText(REG_DWORD, ByteList({1, 0, 0, 0, 9, 9})), L"1");  // long data: the first four
    EXPECT_EQ(DataToText(REG_QWORD, ByteList({0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff})),
              L"18446744073709551615");
    EXPECT_EQ(DataToText(REG_QWORD, ByteList({0, 0, 0, 0, 1, 0, 0, 0})), L"4294967296");

    EXPECT_EQ(Written(REG_DWORD, L"42"), ByteList({42, 0, 0, 0}));
    EXPECT_EQ(Written(REG_DWORD, L" -1 "), ByteList({0xff, 0xff, 0xff, 0xff}));
    EXPECT_EQ(Written(REG_DWORD, L"4294967295"), ByteList({0xff, 0xff, 0xff, 0xff}));
    EXPECT_EQ(Written(REG_DWORD, L"-2147483648"), ByteList({0, 0, 0, 0x80}));
    for (const wchar_t* bad : {L"", L" ", L"abc", L"1.2.3", L"4294967296", L"-2147483649", L"12a", L"0x10", L"+"}) {
        auto r = TextToData(REG_DWORD, bad);
        EXPECT_FALSE(r.ok()) << "DWORD accepted \"" << testing::PrintToString(std::wstring(bad)) << "\"";
        EXPECT_EQ(r.error(), kRegNotANumber);
    }
    EXPECT_EQ(Written(REG_QWORD, L"18446744073709551615"), std::vector<BYTE>(8, 0xff));
    EXPECT_EQ(Written(REG_QWORD, L"-1"), std::vector<BYTE>(8, 0xff));
    EXPECT_FALSE(TextToData(REG_QWORD, L"18446744073709551616").ok());
    EXPECT_FALSE(TextToData(REG_QWORD, L"-9223372036854775809").ok());
    EXPECT_TRUE(TextToData(REG_QWORD, L"-9223372036854775808").ok());
}

TEST(RegistryConvert, BinaryIsOneCharacterPerTwoBytes) {
    EXPECT_EQ(DataToText(REG_BINARY, ByteList({'A', 0, 'B', 0})), L"AB");
    EXPECT_EQ(DataToText(REG_BINARY, ByteList({0x01, 0x02, 0x00, 0x00, 0xff, 0xfe})), Z(L"\x0201\0\xfeff"));
    // An odd trailing byte becomes one more character holding it.
    EXPECT_EQ(DataToText(REG_BINARY, ByteList({'A', 0, 0x7f})), L"A\x7f");
    EXPECT_EQ(DataToText(REG_BINARY, std::vector<BYTE>{}), L"");
    // Write path: two bytes per character, so even-length data inverts exactly.
    const auto bin = ByteList({0x00, 0x11, 0x22, 0x33, 0x44, 0x00, 0x00, 0x00, 0xfe, 0xff});
    EXPECT_EQ(RoundTrip(REG_BINARY, bin), bin);
    EXPECT_EQ(RoundTrip(REG_BINARY, ByteList({'A', 0, 0x7f})), ByteList({'A', 0, 0x7f, 0}));
}

TEST(RegistryConvert, MultiStringOneLinePerString) {
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"a\0bc\0\0"))), L"a\r\nbc");
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"a\0bc\0"))), L"a\r\nbc");  // no closing NUL
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"\0\0"))), L"");
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"\0"))), L"");
    EXPECT_EQ(DataToText(REG_MULTI_SZ, std::vector<BYTE>{}), L"");
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"a\0\0b\0\0"))), L"a\r\n\r\nb");  // empty string inside

    EXPECT_EQ(Written(REG_MULTI_SZ, L"one\r\ntwo"), Utf16Bytes(Z(L"one\0two\0\0")));
    EXPECT_EQ(Written(REG_MULTI_SZ, L""), Utf16Bytes(Z(L"\0\0")));
}

TEST(RegistryConvert, MultiStringInvertsExactly) {
    for (const std::wstring& stored : {
             Z(L"a\0b\0\0"),
             Z(L"C:\\Program Files\\X\0%SystemRoot%\\y\0\0"),
             Z(L"a\0\0b\0\0"),       // empty string in the middle
             Z(L"a\0\0\0"),          // empty string at the end
             Z(L"\0\0\0"),           // two empty strings
             Z(L"x\r\ny\0z\0\0"),    // a string holding CR LF itself
             Z(L"\r\n\0\0"),
             Z(L"\u65e5\u672c\0\u0420\0\0"),
         }) {
        const auto bytes = Utf16Bytes(stored);
        EXPECT_EQ(RoundTrip(REG_MULTI_SZ, bytes), bytes) << testing::PrintToString(stored);
    }
    // The readable form of a string holding CR LF.
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"x\r\ny\0z\0\0"))), Z(L"x\r\0\ny\r\nz"));
}

TEST(RegistryConvert, OtherTypesAsHexBytes) {
    const auto bytes = ByteList({0x00, 0x1f, 0xa0, 0xff});
    for (DWORD type : {DWORD{REG_NONE}, DWORD{REG_DWORD_BIG_ENDIAN}, DWORD{REG_LINK}, DWORD{REG_RESOURCE_LIST},
                       DWORD{0x1234}}) {
        EXPECT_EQ(DataToText(type, bytes), L"00 1f a0 ff") << type;
        EXPECT_EQ(RoundTrip(type, bytes), bytes) << type;
    }
    EXPECT_EQ(DataToText(REG_NONE, std::vector<BYTE>{}), L"");
    EXPECT_EQ(RoundTrip(REG_NONE, std::vector<BYTE>{}), std::vector<BYTE>{});
    EXPECT_EQ(Written(REG_NONE, L"001FA0ff"), bytes);
    for (const wchar_t* bad : {L"0g", L"abc", L"0 1", L"zz", L"1"}) {
        auto r = TextToData(REG_NONE, bad);
        EXPECT_FALSE(r.ok()) << testing::PrintToString(std::wstring(bad));
        EXPECT_EQ(r.error(), kRegNotANumber);
    }
}

TEST(RegistryConvert, Int32Reading) {
    EXPECT_EQ(Int32(REG_DWORD, ByteList({0xff, 0xff, 0xff, 0xff})), -1);
    EXPECT_EQ(Int32(REG_DWORD, ByteList({7, 0, 0, 0})), 7);
    EXPECT_EQ(Int32(REG_SZ, Utf16Bytes(Z(L"123\0"))), 123);
    EXPECT_EQ(Int32(REG_EXPAND_SZ, Utf16Bytes(Z(L" -5 \0"))), -5);
    EXPECT_EQ(Int32(REG_SZ, Utf16Bytes(Z(L"-2147483648\0"))), INT32_MIN);
    EXPECT_EQ(DataToInt32(REG_SZ, Utf16Bytes(Z(L"2147483648\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_SZ, Utf16Bytes(Z(L"1.2.3\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_SZ, Utf16Bytes(Z(L"\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_SZ, Utf16Bytes(Z(L"4294967295\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_QWORD, ByteList({1, 0, 0, 0, 0, 0, 0, 0})).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_BINARY, ByteList({'1', 0})).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_MULTI_SZ, Utf16Bytes(Z(L"1\0\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_NONE, ByteList({1})).error(), kRegNotANumber);
}
