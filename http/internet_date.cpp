#include "http/internet_date.h"

#include <array>
#include <cmath>

#include "framework/core/text.h"
#include "http/exceptions.h"
#include "http/text_helpers.h"

namespace pogoda {

namespace {

constexpr std::array<const char*, 7> kDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr double kMinutesPerDay = 1440.0;
// 1 January 0001 and the last second of 31 December 9999: the calendar the helpers know.
constexpr TDateTime kMinDate = -693593.0;
constexpr TDateTime kMaxDate = 2958465.0 + 86399.0 / 86400.0;

TimeZoneBiasSource g_biasSource = nullptr;

template <size_t N>
int NameIndex(std::string_view s, const std::array<const char*, N>& names) {
    const std::string upper = UpperCase(s);
    for (size_t i = 0; i < N; ++i) {
        if (upper == UpperCase(names[i])) return static_cast<int>(i) + 1;
    }
    return 0;
}

// Reads one date part up to the separator and trims what follows it.
std::string TakePart(std::string& s, std::string_view separator) {
    std::string part = TakeToken(s, separator);
    s = TrimLeft(s);
    return part;
}

std::optional<TDateTime> ReadDate(std::string& s) {
    if (DayNameIndex(std::string_view(s).substr(0, 3)) != 0) {
        TakeToken(s, " ");
        s = TrimLeft(s);
    }
    const size_t dash = SubstringPos("-", s);
    const size_t space = SubstringPos(" ", s);
    const std::string separator = dash >= 2 && space > 0 && dash < space ? "-" : " ";

    int day = 1, month = 0;
    std::string first = s;
    if (MonthNameIndex(TakeToken(first, separator)) != 0) {
        month = MonthNameIndex(TakePart(s, separator));
        day = StrToIntDef(TakePart(s, separator), 1);
    } else {
        day = StrToIntDef(TakePart(s, separator), 1);
        month = MonthNameIndex(TakePart(s, separator));
    }

    std::string yearToken = TakeToken(s, " ");
    int year = StrToIntDef(yearToken, 1900);
    if (year == 1900) {
        // The third form ends with the year; the token just taken was the time.
        year = StrToIntDef(s, 1900);
        s = yearToken;
    }
    if (year < 80) {
        year += 2000;
    } else if (year >= 80 && year <= 99) {
        year += 1900;
    }
    TDateTime date;
    if (!TryEncodeDate(year, month, day, date)) return std::nullopt;

    if (SubstringPos(":", s) > 0) {
        std::string time = TakeToken(s, " ");
        const int hour = StrToIntDef(TakeToken(time, ":"), 0);
        const int minute = StrToIntDef(TakeToken(time, ":"), 0);
        const int second = StrToIntDef(TakeToken(time, ":"), 0);
        TDateTime timeOfDay;
        if (!TryEncodeTime(hour, minute, second, 0, timeOfDay)) return std::nullopt;
        date += timeOfDay;
    }
    return date;
}

TDateTime ClampToCalendar(TDateTime value) {
    if (std::isnan(value)) return 0;
    return value < kMinDate ? kMinDate : value > kMaxDate ? kMaxDate : value;
}

}  // namespace

int DayNameIndex(std::string_view s) { return NameIndex(s, kDayNames); }

int MonthNameIndex(std::string_view s) { return NameIndex(s, kMonthNames); }

TDateTime ParseInternetDate(std::string& s) {
    s = Trim(s);
    if (s.empty()) return 0;
    const std::optional<TDateTime> date = ReadDate(s);
    s = TrimLeft(s);
    return date.value_or(0);
}

TDateTime ParseZoneOffset(std::string_view s) {
    const std::string zone = Trim(s).substr(0, 5);
    if (zone.empty() || (zone[0] != '+' && zone[0] != '-')) return 0;
    // A short zone leaves a part empty, which is not a number.
    const auto part = [&zone](size_t pos) { return pos < zone.size() ? zone.substr(pos, 2) : std::string(); };
    int32_t hours = 0, minutes = 0;
    TDateTime span;
    if (!TryStrToInt(part(1), hours) || !TryStrToInt(part(3), minutes) ||
        !TryEncodeTime(hours, minutes, 0, 0, span)) {
        return 0;
    }
    return zone[0] == '-' ? -span : span;
}

TDateTime InternetDateToLocal(const std::string& s) {
    std::string rest = s;
    TDateTime date = ParseInternetDate(rest);
    if (rest.size() >= 5) date -= ParseZoneOffset(rest);
    return date + LocalUtcOffset();
}

TDateTime LocalUtcOffset() {
    const std::optional<int32_t> bias = g_biasSource ? g_biasSource() : PlatformTimeZoneBias();
    if (!bias) throw ENetFailedToRetreiveTimeZoneInfo(messages::kTimeZoneInfoFailed);
    return -*bias / kMinutesPerDay;
}

TimeZoneBiasSource SetTimeZoneBiasSource(TimeZoneBiasSource source) {
    const TimeZoneBiasSource old = g_biasSource;
    g_biasSource = source;
    return old;
}

std::string FormatInternetDate(TDateTime value, bool isGMT) {
    value = ClampToCalendar(value);
    int year, month, day, hour, minute, second, msec;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
    const std::string time = Format("%.2d:%.2d:%.2d", hour, minute, second);
    return Format("%s, %d %s %d %s %s", kDayNames[static_cast<size_t>(DayOfWeek(value) - 1)], day,
                  kMonthNames[static_cast<size_t>(month - 1)], year, time,
                  FormatZoneOffset(LocalUtcOffset(), isGMT));
}

std::string FormatZoneOffset(TDateTime span, bool isGMT) {
    if (span == 0 && isGMT) return "GMT";
    const int64_t minutes = std::llround(std::fabs(ClampToCalendar(span)) * kMinutesPerDay);
    std::string result = Format(" %.2d%.2d", minutes / 60 % 24, minutes % 60);
    result[0] = span >= 0 ? '+' : '-';
    return result;
}

}  // namespace pogoda
