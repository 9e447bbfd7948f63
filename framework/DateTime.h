// Date-time values as the system keeps them: days since 30 December 1899 as a
// floating-point number, the time of day as its fraction. Zero stands for
// "no date-time" (and formats as 30.12.1899 00:00:00).
#pragma once

#include <string>

using TDateTime = double;

// False when a value is out of range (year 1..9999, a day that month has,
// hour 0..23, minute and second 0..59, millisecond 0..999).
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result);

struct DateTimeParts {
  int year, month, day, hour, minute, second, millisecond;
};
DateTimeParts DecodeDateTime(TDateTime value);

// Formats with the pattern the program shows: "dd.mm.yyyy hh:nn:ss".
std::string FormatDateTime(TDateTime value);
