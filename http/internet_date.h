#pragma once

// Dates in HTTP headers: the three forms HTTP/1.1 accepts when reading, the first form with
// a numeric zone when writing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/date_time.h"

namespace pogoda {

// 1..7 for "SUN".."SAT", 1..12 for "JAN".."DEC" (any letter case), 0 otherwise.
int DayNameIndex(std::string_view s);
int MonthNameIndex(std::string_view s);

// Reads a date from the front of s and leaves the unread rest (normally the zone) in s;
// 0 when s holds no valid date.
TDateTime ParseInternetDate(std::string& s);
// "+hhmm" or "-hhmm" as a span; 0 for anything else.
TDateTime ParseZoneOffset(std::string_view s);
// The date converted from its zone to local time.
TDateTime InternetDateToLocal(const std::string& s);
// Local time minus UTC; raises ENetFailedToRetreiveTimeZoneInfo when the platform cannot
// tell.
TDateTime LocalUtcOffset();
// "Sun, 6 Nov 1994 08:49:37 +0600": value is local time, the zone is the local offset.
std::string FormatInternetDate(TDateTime value, bool isGMT = false);
std::string FormatZoneOffset(TDateTime span, bool isGMT);

// Where LocalUtcOffset reads the bias in minutes (UTC = local + bias); nullopt when the
// platform cannot tell. Tests put a fixed zone in place; nullptr restores the platform.
using TimeZoneBiasSource = std::optional<int32_t> (*)();
TimeZoneBiasSource SetTimeZoneBiasSource(TimeZoneBiasSource source);
std::optional<int32_t> PlatformTimeZoneBias();

}  // namespace pogoda
