// The registry layer's data conversions, without touching the registry.
#include <gtest/gtest.h>

#include "catalogue/registry_value.h"
#include "catalogue_test_util.h"

using namespace ardmoor;
using test::ByteList;
using test::Z;
using test::Utf16Bytes;

namespace {
// Text for the bytes, then bytes for that text: the write path inverting the read form.
std::vector<BYTE> RoundTrip(DWORD type, const std::vector<BYTE>& data) {
    auto back = TextToData(type, DataToText(type, data));
    EXPECT_TRUE(back.ok()) << "type " << type;
    return back.ok() ? back.value() : std::vector<BYTE>{};
}
}  // namespace

TEST(RegistryConvert, StringsAsStored) {
    EXPECT_EQ(DataToText(REG_SZ, Utf16Bytes(Z(L"abc\0"))), L"abc");
    EXPECT_EQ(DataToText(REG_SZ, Utf16Bytes(L"abc")), L"abc");  // no terminating NUL
    EXPECT_EQ(DataToText(REG_SZ, Utf16Bytes(Z(L"ab\0cd\0"))), L"ab");
    EXPECT_EQ(DataToText(REG_SZ, std::vector<BYTE>{}), L"");
    // An odd trailing byte is ignored.
    EXPECT_EQ(DataToText(REG_SZ, ByteList({'a', 0, 'b', 0, 'c'})), L"ab");
    EXPECT_EQ(DataToText(REG_SZ, ByteList({'a'})), L"");
    // REG_EXPAND_SZ stays raw (unexpanded) in the registry layer.
    EXPECT_EQ(DataToText(REG_EXPAND_SZ, Utf16Bytes(Z(L"%SystemRoot%\\x.exe\0"))), L"%SystemRoot%\\x.exe");
    EXPECT_EQ(DataToText(REG_SZ, Utf16Bytes(Z(L"\u65e5\u672c\u8a9e \u0420\u0443\u0441\0"))),
              L"\u65e5\u672c\u8a9e \u0420\u0443\u0441");
}

TEST(RegistryConvert, StringWritesTextAndNul) {
    auto data = TextToData(REG_SZ, L"Hi");
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(data.value(), ByteList({'H', 0, 'i', 0, 0, 0}));
    auto expand = TextToData(REG_EXPAND_SZ, L"%TEMP%");
    ASSERT_TRUE(expand.ok());
    EXPECT_EQ(DataToText(REG_EXPAND_SZ, expand.value()), L"%TEMP%");
    auto empty = TextToData(REG_SZ, L"");
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.value(), ByteList({0, 0}));
}

TEST(RegistryConvert, NumbersAsDecimalDigits) {
    EXPECT_EQ(DataToText(REG_DWORD, ByteList({5, 0, 0, 0})), L"5");
    EXPECT_EQ(DataToText(REG_DWORD, ByteList({0xff, 0xff, 0xff, 0xff})), L"4294967295");
    EXPECT_EQ(DataToText(REG_DWORD, ByteList({0x34, 0x12})), L"4660");  // short data: the bytes there are
    EXPECT_EQ(DataToText(REG_DWORD, std::vector<BYTE>{}), L"0");
    EXPECT_EQ(DataToText(REG_DWORD, ByteList({1, 0, 0, 0, 9, 9})), L"1");  // long data: the first four
    EXPECT_EQ(DataToText(REG_QWORD, ByteList({0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff})),
              L"18446744073709551615");
    EXPECT_EQ(DataToText(REG_QWORD, ByteList({0, 0, 0, 0, 1, 0, 0, 0})), L"4294967296");
}

TEST(RegistryConvert, NumberTextWrites) {
    auto v = TextToData(REG_DWORD, L"42");
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), ByteList({42, 0, 0, 0}));
    v = TextToData(REG_DWORD, L" -1 ");
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), ByteList({0xff, 0xff, 0xff, 0xff}));
    v = TextToData(REG_DWORD, L"4294967295");
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), ByteList({0xff, 0xff, 0xff, 0xff}));
    v = TextToData(REG_DWORD, L"-2147483648");
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), ByteList({0, 0, 0, 0x80}));
    for (const wchar_t* bad : {L"", L" ", L"abc", L"1.2.3", L"4294967296", L"-2147483649", L"12a", L"0x10", L"+"}) {
        auto r = TextToData(REG_DWORD, bad);
        EXPECT_FALSE(r.ok()) << "DWORD accepted \"" << testing::PrintToString(std::wstring(bad)) << "\"";
        EXPECT_EQ(r.error(), kRegNotANumber);
    }
    auto q = TextToData(REG_QWORD, L"18446744073709551615");
    ASSERT_TRUE(q.ok());
    EXPECT_EQ(q.value(), std::vector<BYTE>(8, 0xff));
    q = TextToData(REG_QWORD, L"-1");
    ASSERT_TRUE(q.ok());
    EXPECT_EQ(q.value(), std::vector<BYTE>(8, 0xff));
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
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"a\0bc"))), L"a\r\nbc");    // no NUL at all
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"\0\0"))), L"");
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"\0"))), L"");
    EXPECT_EQ(DataToText(REG_MULTI_SZ, std::vector<BYTE>{}), L"");
    EXPECT_EQ(DataToText(REG_MULTI_SZ, Utf16Bytes(Z(L"a\0\0b\0\0"))), L"a\r\n\r\nb");  // empty string inside

    auto data = TextToData(REG_MULTI_SZ, L"one\r\ntwo");
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(data.value(), Utf16Bytes(Z(L"one\0two\0\0")));
    auto empty = TextToData(REG_MULTI_SZ, L"");
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.value(), Utf16Bytes(Z(L"\0\0")));
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
    auto compact = TextToData(REG_NONE, L"001FA0ff");
    ASSERT_TRUE(compact.ok());
    EXPECT_EQ(compact.value(), bytes);
    for (const wchar_t* bad : {L"0g", L"abc", L"0 1", L"zz", L"1"}) {
        auto r = TextToData(REG_NONE, bad);
        EXPECT_FALSE(r.ok()) << testing::PrintToString(std::wstring(bad));
        EXPECT_EQ(r.error(), kRegNotANumber);
    }
}

TEST(RegistryConvert, Int32Reading) {
    auto v = DataToInt32(REG_DWORD, ByteList({0xff, 0xff, 0xff, 0xff}));
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), -1);
    v = DataToInt32(REG_DWORD, ByteList({7, 0, 0, 0}));
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), 7);
    v = DataToInt32(REG_SZ, Utf16Bytes(Z(L"123\0")));
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), 123);
    v = DataToInt32(REG_EXPAND_SZ, Utf16Bytes(Z(L" -5 \0")));
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v.value(), -5);
    EXPECT_EQ(DataToInt32(REG_SZ, Utf16Bytes(Z(L"1.2.3\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_SZ, Utf16Bytes(Z(L"\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_SZ, Utf16Bytes(Z(L"4294967295\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_QWORD, ByteList({1, 0, 0, 0, 0, 0, 0, 0})).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_BINARY, ByteList({'1', 0})).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_MULTI_SZ, Utf16Bytes(Z(L"1\0\0"))).error(), kRegNotANumber);
    EXPECT_EQ(DataToInt32(REG_NONE, ByteList({1})).error(), kRegNotANumber);
}
