// The framework layer's rules: the default exception display's full stop,
// number conversion, date-time values and the device code page.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/CodePage.h"
#include "framework/DateTime.h"
#include "framework/Exception.h"

namespace {

TEST(DefaultExceptionText, AddsAFullStopOnlyAfterCharactersAboveTheDot) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"", ""},
      {"Unable to open com port", "Unable to open com port."},
      {"Unable to open com port (Error: 2)", "Unable to open com port (Error: 2)"},
      {"Stampac se ne javlja!", "Stampac se ne javlja!"},
      {"Status: 000000000000", "Status: 000000000000."},  // a digit is above "."
      {"Done.", "Done."},
      {"a,", "a,"},
      {"line\n", "line\n"},
      {"a/", "a/."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DefaultExceptionText(std::string(c.message)), c.shown) << c.message;
  }
  EXPECT_EQ(DefaultExceptionText(std::string("Greška č")), "Greška č.");
  EXPECT_EQ(DefaultExceptionText(std::runtime_error("not ours")), "");
}

TEST(StrToInt, AcceptsDecimalIntegersOnly) {
  EXPECT_EQ(StrToInt("96"), 96);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("+62"), 62);
  EXPECT_EQ(StrToInt("  69"), 69);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
  for (const char* bad : {"", " ", "9a", "a9", "0x1F", "1.5", "2147483648", "-", "+", "69 "}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << '"' << bad << '"';
  }
  try {
    StrToInt("x");
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "'x' is not a valid integer value");
  }
}

TDateTime Date(int year, int month, int day) {
  TDateTime value = 0;
  EXPECT_TRUE(TryEncodeDate(year, month, day, value));
  return value;
}

TDateTime Time(int hour, int minute, int second) {
  TDateTime value = 0;
  EXPECT_TRUE(TryEncodeTime(hour, minute, second, 0, value));
  return value;
}

TEST(DateTime, EncodesDaysSinceTheEndOf1899) {
  EXPECT_EQ(Date(1899, 12, 30), 0.0);
  EXPECT_EQ(Date(1900, 1, 1), 2.0);
  EXPECT_EQ(Date(2000, 1, 1), 36526.0);
  EXPECT_EQ(Date(1899, 12, 29), -1.0);
  EXPECT_DOUBLE_EQ(Time(12, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(Time(18, 5, 9), (18 * 3600 + 5 * 60 + 9) / 86400.0);
}

TEST(DateTime, RefusesValuesOutOfRange) {
  struct Case {
    int y, m, d;
  } badDates[] = {{2023, 2, 31}, {2023, 2, 29}, {2023, 13, 1}, {2023, 0, 1},
                  {2023, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
  for (const Case& c : badDates) {
    TDateTime value = 123;
    EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, value)) << c.y << '-' << c.m << '-' << c.d;
  }
  TDateTime leap = 0;
  EXPECT_TRUE(TryEncodeDate(2024, 2, 29, leap));
  struct TimeCase {
    int h, n, s, ms;
  } badTimes[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const TimeCase& c : badTimes) {
    TDateTime value = 0;
    EXPECT_FALSE(TryEncodeTime(c.h, c.n, c.s, c.ms, value)) << c.h << ':' << c.n << ':' << c.s;
  }
}

TEST(DateTime, FormatsAsDayMonthYearAndTime) {
  EXPECT_EQ(FormatDateTime(0), "30.12.1899 00:00:00");
  EXPECT_EQ(FormatDateTime(Date(2023, 12, 24) + Time(18, 5, 9)), "24.12.2023 18:05:09");
  EXPECT_EQ(FormatDateTime(Date(2000, 1, 1) + Time(23, 59, 59)), "01.01.2000 23:59:59");
  // A value a hair below a whole second still shows that second.
  EXPECT_EQ(FormatDateTime(Date(2023, 12, 24) + Time(18, 5, 9) - 1e-12), "24.12.2023 18:05:09");
}

TEST(CodePage, ConvertsBetweenUtf8AndWindows1250) {
  struct Case {
    const char* utf8;
    const char* device;
  } cases[] = {
      {"20,10,0", "20,10,0"}, {"č", "\xE8"}, {"Ć", "\xC6"}, {"š", "\x9A"},
      {"Ž", "\x8E"},          {"đ", "\xF0"}, {"€", "\x80"}, {"Upiši u FP", "Upi\x9Ai u FP"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToDevice(c.utf8), c.device) << c.utf8;
    EXPECT_EQ(DeviceToUtf8(c.device), c.utf8) << c.utf8;
  }
}

TEST(CodePage, ReplacesWhatTheOtherSideCannotHoldWithAQuestionMark) {
  EXPECT_EQ(Utf8ToDevice("a€b"),
            "a\x80"
            "b");
  EXPECT_EQ(Utf8ToDevice("a日b"), "a?b");  // no Windows-1250 byte
  EXPECT_EQ(Utf8ToDevice("1\xFF"
                         "2"),
            "1?2");                        // broken UTF-8
  EXPECT_EQ(Utf8ToDevice("x\xC4"), "x?");  // cut-off sequence
  EXPECT_EQ(Utf8ToDevice("\xC4"
                         "z"),
            "?z");  // lead byte without its tail
  EXPECT_EQ(DeviceToUtf8("a\x81"
                         "b"),
            "a?b");  // a byte with no character
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string back = Utf8ToDevice(DeviceToUtf8(all));
  ASSERT_EQ(back.size(), all.size());
  for (int i = 0; i < 255; ++i) {
    if (back[i] != '?') {
      EXPECT_EQ(back[i], all[i]) << "byte " << i + 1;
    }
  }
}

}  // namespace
