#pragma once

#include <cstdint>

namespace pogoda {

// Days since 30 December 1899 as a double; the fraction is the time of day. 0 means "no date".
using TDateTime = double;

inline constexpr double kMSecsPerDay = 86400000.0;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);
// The local date and time of the system clock.
TDateTime Now();

}  // namespace pogoda
