#include "framework/core/date_time.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"

namespace pogoda {
namespace {

TEST(DateTime, EncodeDecodeAroundTheEpochAndCalendarEdges) {
    struct Case {
        int y, m, d;
        double serial;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},    {1899, 12, 31, 1},    {1900, 1, 1, 2},      {1900, 3, 1, 61},
        {2000, 2, 29, 36585}, {2026, 12, 10, 46366}, {1, 1, 1, -693593},  {9999, 12, 31, 2958465},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
        int y, m, d;
        DecodeDate(c.serial, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.serial;
    }
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 10)), 5);  // a Thursday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29)), 6);  // negative serials too
}

TEST(DateTime, TimeOfDayAndItsErrors) {
    const TDateTime t = EncodeTime(23, 59, 59, 999);
    int h, n, s, ms;
    DecodeTime(EncodeDate(2000, 1, 1) + t, h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
    try {
        EncodeTime(24, 0, 0, 0);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
    try {
        EncodeDate(2025, 2, 29);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
}

}  // namespace
}  // namespace pogoda
