// A checked change of the tax rates, the way a careful technician makes one:
// read what the printer has, write, read it back, compare, and keep a record
// that shows afterwards what was changed, when and on which printer.
//
// The comparison is on the device text as the printer returns it: a printer
// that normalises a rate ("7.5" read back as "7.50") shows as a difference.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "device/TaxRules.h"

struct RateChange {
  std::string clock;  // the printer's clock, ISO 8601 (or its reply text when invalid)
  TaxEnableMask enabled{};
  std::optional<TaxRates> before;
  TaxRates asked;
  std::optional<TaxRates> readBack;
  std::vector<std::string> outcome;  // notes; none: every enabled group reads back as asked
};

// The enabled groups whose rate read back is not the one asked for; none
// when nothing was read back.
std::vector<int> GroupsThatDiffer(const RateChange& change);
// "B, D".
std::string GroupLetters(const std::vector<int>& groups);

// One line per group: letter, enabled, the rate before, asked for and read
// back (quoted, in UTF-8), and whether it took; after a header line.
std::string ChangeTable(const RateChange& change);

// The change log: tab-separated, one record a line, in UTF-8.
std::string ChangeLogHeader();
std::string ChangeLogRecord(const std::string& localTime, const std::string& port,
                            const RateChange& change);

// `when` as local time in ISO 8601 with the offset from UTC
// ("2024-03-01T14:05:09+01:00").
std::string LocalIso8601(std::time_t when);
// The printer's clock reply as ISO 8601 ("2023-12-24T18:05:09"); empty when
// it holds no valid date and time.
std::string DeviceClockIso8601(const std::string& replyData);
