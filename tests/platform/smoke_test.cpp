#include <gtest/gtest.h>

#include "platform/strings.h"

using namespace ardmoor;

TEST(Strings, Utf8RoundTripAndParse) {
    const std::wstring text = L"Caf\u00e9 \u65e5\u672c \U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    int32_t v = 0;
    EXPECT_TRUE(ParseInt32(L" -2147483648 ", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(ParseInt32(L"2147483648", v));
    EXPECT_FALSE(ParseInt32(L"1.2.3", v));
    EXPECT_FALSE(ParseInt32(L"", v));
    EXPECT_EQ(ToLower(L"\u00c9COLE"), L"\u00e9cole");
}
