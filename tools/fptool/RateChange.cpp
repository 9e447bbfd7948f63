#include "tools/fptool/RateChange.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "device/P00_FP.h"
#include "framework/CodePage.h"
#include "framework/DateTime.h"
#include "tools/fptool/TextEscape.h"

namespace {

char Letter(int group) {
  return static_cast<char>('A' + group);
}

std::string Quoted(const std::string& rate) {
  std::string quoted = "\"";
  quoted += EscapeControls(DeviceToUtf8(rate), "\"");
  quoted += '"';
  return quoted;
}

// Columns line up in a terminal: a UTF-8 character takes one place.
std::size_t DisplayWidth(const std::string& text) {
  std::size_t width = 0;
  for (char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

std::string Padded(const std::string& text, std::size_t width) {
  const std::size_t shown = DisplayWidth(text);
  return text + std::string(width > shown ? width - shown : 0, ' ');
}

std::string Check(const RateChange& change, int group) {
  if (!change.enabled[group]) return "not sent";
  if (!change.readBack) return "";
  return (*change.readBack)[group] == change.asked[group] ? "ok" : "DIFFERS";
}

// The eight rates in one log field: UTF-8, commas between; a comma or tab in
// a rate is escaped so that the fields stay apart.
std::string LogRates(const std::optional<TaxRates>& rates) {
  if (!rates) return "";
  std::string field;
  for (int group = 0; group < kTaxGroups; ++group) {
    if (group > 0) field += ',';
    field += EscapeControls(DeviceToUtf8((*rates)[group]), ",");
  }
  return field;
}

// "11000000": 1 for each enabled group, A first.
std::string MaskText(const TaxEnableMask& enabled) {
  std::string mask;
  for (bool on : enabled) mask += on ? '1' : '0';
  return mask;
}

std::string LogField(const std::string& text) {
  return EscapeControls(text);
}

}  // namespace

std::vector<int> GroupsThatDiffer(const RateChange& change) {
  std::vector<int> groups;
  if (!change.readBack) return groups;
  for (int group = 0; group < kTaxGroups; ++group) {
    if (change.enabled[group] && (*change.readBack)[group] != change.asked[group]) {
      groups.push_back(group);
    }
  }
  return groups;
}

std::string GroupLetters(const std::vector<int>& groups) {
  std::string letters;
  for (int group : groups) letters += (letters.empty() ? "" : ", ") + std::string(1, Letter(group));
  return letters;
}

std::string ChangeTable(const RateChange& change) {
  std::vector<std::vector<std::string>> rows = {
      {"group", "enabled", "before", "asked", "read back", "check"}};
  for (int group = 0; group < kTaxGroups; ++group) {
    rows.push_back(
        {std::string(1, Letter(group)), change.enabled[group] ? "1" : "0",
         change.before ? Quoted((*change.before)[group]) : "-", Quoted(change.asked[group]),
         change.readBack ? Quoted((*change.readBack)[group]) : "-", Check(change, group)});
  }
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], DisplayWidth(row[column]));
    }
  }
  std::string table;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t column = 0; column < row.size(); ++column) {
      line += column + 1 < row.size() ? Padded(row[column], widths[column] + 2) : row[column];
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    table += line + "\n";
  }
  return table;
}

std::string ChangeLogHeader() {
  return "time\tport\tprinter clock\tmask\trates before\trates asked\trates read back\toutcome\n";
}

std::string ChangeLogRecord(const std::string& localTime, const std::string& port,
                            const RateChange& change) {
  std::string outcome;
  for (const std::string& note : change.outcome) outcome += (outcome.empty() ? "" : "; ") + note;
  if (outcome.empty()) outcome = "ok";
  return localTime + "\t" + LogField(port) + "\t" + LogField(change.clock) + "\t" +
         MaskText(change.enabled) + "\t" + LogRates(change.before) + "\t" + LogRates(change.asked) +
         "\t" + LogRates(change.readBack) + "\t" + LogField(outcome) + "\n";
}

std::string LocalIso8601(std::time_t when) {
  std::tm local = *std::localtime(&when);
  std::tm utc = *std::gmtime(&when);
  // The UTC fields read as local time fall behind `when` by the offset.
  utc.tm_isdst = local.tm_isdst;
  const long offset = static_cast<long>(std::difftime(when, std::mktime(&utc)));
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec, offset < 0 ? '-' : '+', std::labs(offset) / 3600,
                std::labs(offset) % 3600 / 60);
  return text;
}

std::string DeviceClockIso8601(const std::string& replyData) {
  const TDateTime time = DeviceClockToDateTime(replyData);
  if (time == 0) return "";
  const DateTimeParts p = DecodeDateTime(time);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return text;
}
