#include "framework/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "framework/Exception.h"

namespace {

using namespace std::chrono;

constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};
constexpr long long kMsPerDay = 86'400'000;

}  // namespace

bool TryEncodeDate(int y, int m, int d, TDateTime& result) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  year_month_day date{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
  if (!date.ok()) return false;
  result = static_cast<double>((sys_days{date} - kEpoch).count());
  return true;
}

bool TryEncodeTime(int h, int n, int s, int ms, TDateTime& result) {
  if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) return false;
  result = static_cast<double>(((h * 60LL + n) * 60 + s) * 1000 + ms) / kMsPerDay;
  return true;
}

DateTimeParts DecodeDateTime(TDateTime value) {
  // Whole milliseconds, rounded, so 18:05:09 never shows as 18:05:08.999.
  long long total = std::llround(value * kMsPerDay);
  long long days = total / kMsPerDay;
  long long ms = total % kMsPerDay;
  if (ms < 0) {  // before the epoch the fraction still counts forward in the day
    ms += kMsPerDay;
    days -= 1;
  }
  year_month_day date{kEpoch + std::chrono::days{days}};
  return DateTimeParts{int(date.year()),
                       static_cast<int>(unsigned(date.month())),
                       static_cast<int>(unsigned(date.day())),
                       static_cast<int>(ms / 3'600'000),
                       static_cast<int>(ms / 60'000 % 60),
                       static_cast<int>(ms / 1000 % 60),
                       static_cast<int>(ms % 1000)};
}

std::string FormatDateTime(TDateTime value) {
  DateTimeParts p = DecodeDateTime(value);
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", p.day, p.month, p.year, p.hour,
                p.minute, p.second);
  return text;
}
