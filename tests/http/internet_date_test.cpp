#include <gtest/gtest.h>

#include <cmath>

#include "fixed_time_zone.h"
#include "http/exceptions.h"
#include "http/internet_date.h"

namespace pogoda {
namespace {

constexpr double kSecond = 1.0 / 86400.0;

TDateTime Nov6() { return EncodeDate(1994, 11, 6) + EncodeTime(8, 49, 37, 0); }

TEST(InternetDate, ThreeFormsParseToTheSameMoment) {
    for (const char* text : {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT",
                             "Sun Nov  6 08:49:37 1994"}) {
        std::string s = text;
        EXPECT_NEAR(ParseInternetDate(s), Nov6(), kSecond / 10) << text;
    }
    std::string rest = "Sun, 06 Nov 1994 08:49:37 GMT";
    ParseInternetDate(rest);
    EXPECT_EQ(rest, "GMT");
}

TEST(InternetDate, UnreadableDatesAreZero) {
    for (const char* text : {"", "   ", "06 November 1994 08:49:37 GMT", "32 Nov 1994", "garbage",
                             "06 Nov 1994 25:00:00", "Sun,"}) {
        std::string s = text;
        EXPECT_EQ(ParseInternetDate(s), 0) << text;
    }
}

TEST(InternetDate, TwoDigitYearWindow) {
    const struct {
        const char* text;
        int year;
    } cases[] = {{"01 Jan 79", 2079}, {"01 Jan 80", 1980}, {"01 Jan 99", 1999},
                 {"01 Jan 00", 2000}, {"01 Jan 100", 100}};
    for (const auto& c : cases) {
        std::string s = c.text;
        EXPECT_EQ(ParseInternetDate(s), EncodeDate(c.year, 1, 1)) << c.text;
    }
}

TEST(InternetDate, ZoneOffsets) {
    EXPECT_NEAR(ParseZoneOffset("+0300"), 3.0 / 24, 1e-9);
    EXPECT_NEAR(ParseZoneOffset(" -0130 "), -1.5 / 24, 1e-9);
    for (const char* text : {"GMT", "+9900", "+ab00", "0300", "", "+", "+0"}) EXPECT_EQ(ParseZoneOffset(text), 0) << text;
}

TEST(InternetDate, ToLocalAppliesZoneThenLocalOffset) {
    const FixedTimeZone zone(UtcPlus6Zone);
    EXPECT_NEAR(InternetDateToLocal("06 Nov 1994 08:49:37 +0300"), Nov6() - 3.0 / 24 + 6.0 / 24, 1e-9);
    EXPECT_NEAR(InternetDateToLocal("Sun, 06 Nov 1994 08:49:37 GMT"), Nov6() + 6.0 / 24, 1e-9);
    // Nothing readable: the local offset itself.
    EXPECT_NEAR(InternetDateToLocal(""), 6.0 / 24, 1e-9);
}

TEST(InternetDate, LocalOffsetFromTheZoneSource) {
    {
        const FixedTimeZone zone(UtcMinus330Zone);
        EXPECT_NEAR(LocalUtcOffset(), -3.5 / 24, 1e-9);
    }
    const FixedTimeZone zone(UnknownZone);
    try {
        LocalUtcOffset();
        FAIL() << "no exception";
    } catch (const ENetFailedToRetreiveTimeZoneInfo& e) {
        EXPECT_STREQ(e.what(), "Failed attempting to retrieve time zone information.");
    }
}

TEST(InternetDate, PlatformOffsetIsSane) {
    const TDateTime offset = LocalUtcOffset();
    EXPECT_LE(std::fabs(offset), 14.0 / 24);
}

TEST(InternetDate, Formatting) {
    {
        const FixedTimeZone zone(UtcPlus6Zone);
        EXPECT_EQ(FormatInternetDate(Nov6()), "Sun, 6 Nov 1994 08:49:37 +0600");
    }
    {
        const FixedTimeZone zone(UtcMinus330Zone);
        EXPECT_EQ(FormatInternetDate(EncodeDate(2024, 2, 29)), "Thu, 29 Feb 2024 00:00:00 -0330");
    }
    EXPECT_EQ(FormatZoneOffset(0, false), "+0000");
    EXPECT_EQ(FormatZoneOffset(0, true), "GMT");
    EXPECT_EQ(FormatZoneOffset(5.75 / 24, true), "+0545");
}

TEST(InternetDate, FormattedDateReadsBack) {
    const FixedTimeZone zone(UtcPlus6Zone);
    EXPECT_NEAR(InternetDateToLocal(FormatInternetDate(Nov6())), Nov6(), 1e-9);
}

TEST(InternetDate, NameIndexes) {
    EXPECT_EQ(DayNameIndex("sat"), 7);
    EXPECT_EQ(DayNameIndex("Saturday"), 0);
    EXPECT_EQ(MonthNameIndex("DEC"), 12);
    EXPECT_EQ(MonthNameIndex("December"), 0);
}

}  // namespace
}  // namespace pogoda
