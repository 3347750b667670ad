#include "framework/core/text.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"

namespace pogoda {
namespace {

// Sources are compiled as Windows-1251, so these literals are single-byte Cyrillic.
TEST(AnsiCase, CyrillicLettersFoldBothWays) {
    EXPECT_EQ(AnsiUpperCase("погода ёж Tobolsk"), "ПОГОДА ЁЖ TOBOLSK");
    EXPECT_EQ(AnsiLowerCase("ПОГОДА ЁЖ Ї Є І"), "погода ёж ї є і");
    EXPECT_TRUE(AnsiSameText("Тобольск", "тОБОЛЬСК"));
    EXPECT_FALSE(AnsiSameText("Тобольск", "Тобольс"));
    EXPECT_LT(AnsiCompareText("абв", "АБГ"), 0);
    EXPECT_GT(AnsiCompareText("abc", "AB"), 0);
    // ASCII-only helpers leave Cyrillic alone.
    EXPECT_EQ(UpperCase("abc где"), "ABC где");
    EXPECT_FALSE(SameText("где", "ГДЕ"));
}

TEST(Trim, RemovesEverythingUpToSpace) {
    EXPECT_EQ(Trim(std::string("\t\r\n \x01 a b \x1f\0", 10)), "a b");
    EXPECT_EQ(TrimLeft("  x  "), "x  ");
    EXPECT_EQ(TrimRight("  x  "), "  x");
    EXPECT_EQ(Trim("   "), "");
}

TEST(StrToInt, AcceptsWhatTheRuntimeAccepts) {
    struct Case {
        const char* text;
        bool ok;
        int64_t value;
    };
    const Case cases[] = {
        {"0", true, 0},          {"  42", true, 42},      {"-17", true, -17},
        {"+8", true, 8},         {"$1F", true, 31},       {"0x10", true, 16},
        {"-0X10", true, -16},    {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483648LL},
        {"2147483648", false, 0}, {"42 ", false, 0},     {"", false, 0},
        {" ", false, 0},         {"-", false, 0},         {"$", false, 0},
        {"12a", false, 0},       {"1.5", false, 0},       {"\t5", false, 0},
    };
    for (const Case& c : cases) {
        int32_t v = -1;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    int64_t big;
    EXPECT_TRUE(TryStrToInt64("9223372036854775807", big));
    EXPECT_EQ(big, INT64_MAX);
    EXPECT_TRUE(TryStrToInt64("-9223372036854775808", big));
    EXPECT_EQ(big, INT64_MIN);
    EXPECT_FALSE(TryStrToInt64("9223372036854775808", big));
    EXPECT_EQ(StrToIntDef("x", 7), 7);
}

TEST(StrToInt, StrictConversionNamesTheText) {
    try {
        StrToInt("8o");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'8o' is not a valid integer value");
        EXPECT_STREQ(e.ClassName(), "EConvertError");
    }
}

TEST(Format, FollowsTheFrameworkDirectives) {
    EXPECT_EQ(Format("Socket Error # %d\r\n%s", 10061, "Connection refused."),
              "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(Format("%0.2d:%.2d", 5, 123), "05:123");
    EXPECT_EQ(Format("[%5s|%-5s|%.2s]", "ab", "cd", "xyz"), "[   ab|cd   |xy]");
    EXPECT_EQ(Format("%x %.4x %d%%", 255, 10, -3), "FF 000A -3%");
    EXPECT_EQ(Format("%u", uint64_t{18446744073709551615ULL}), "18446744073709551615");
    EXPECT_EQ(Format("%.2f", 1.005 + 0.0001), "1.01");
    EXPECT_EQ(IntToHex(0xBEEF, 8), "0000BEEF");
    EXPECT_THROW(Format("%d", "text"), EConvertError);
    EXPECT_THROW(Format("%s %s", "one"), EConvertError);
    EXPECT_THROW(Format("%q", 1), EConvertError);
}

}  // namespace
}  // namespace pogoda
