#include "framework/core/date_time.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <algorithm>

#include "framework/core/exceptions.h"

namespace pogoda {
namespace {

// Days from 1 January of year 1 to 30 December 1899.
constexpr int64_t kDateDelta = 693594;

int64_t WholeDays(TDateTime value) { return static_cast<int64_t>(std::floor(value)); }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        return false;
    }
    int64_t days = day;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    const int64_t y = year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    date = static_cast<double>(days - kDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
        msec < 0 || msec >= 1000) {
        return false;
    }
    time = ((hour * 3600000.0) + minute * 60000.0 + second * 1000.0 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r)) throw EConvertError(messages::kDateEncodeError);
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime r;
    if (!TryEncodeTime(hour, minute, second, msec, r)) throw EConvertError(messages::kTimeEncodeError);
    return r;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    int64_t days = WholeDays(date) + kDateDelta - 1;  // 1 January 0001 is day 0
    if (days < 0) {
        year = month = day = 0;
        return;
    }
    // Whole 400-, 100-, 4- and 1-year periods.
    int64_t y = 1;
    y += 400 * (days / 146097);
    days %= 146097;
    int64_t c = days / 36524;
    if (c == 4) c = 3;
    y += 100 * c;
    days -= c * 36524;
    y += 4 * (days / 1461);
    days %= 1461;
    int64_t i = days / 365;
    if (i == 4) i = 3;
    y += i;
    days -= i * 365;
    year = static_cast<int>(y);
    month = 1;
    while (days >= DaysInMonth(year, month)) {
        days -= DaysInMonth(year, month);
        ++month;
    }
    day = static_cast<int>(days) + 1;
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec) {
    const double fraction = time - std::floor(time);
    int64_t ms = std::llround(fraction * kMSecsPerDay);
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime date) {
    // 30 December 1899 was a Saturday.
    const int64_t d = (WholeDays(date) + 6) % 7;
    return static_cast<int>(d < 0 ? d + 7 : d) + 1;
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    const int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms);
}

}  // namespace pogoda
