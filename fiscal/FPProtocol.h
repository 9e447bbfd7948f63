// The printer commands this system sends and the result codes of a command
// record, by name. The numbers are the printer's and the record's; nothing
// else in the system spells them out.
#pragma once

#include <cstdint>

namespace fpcmd {
constexpr int ReadClock = 62;      // reply: "D-M-YY h:m:s"
constexpr int DailyReport = 69;    // data "2": the X report
constexpr int ReadTaxEnable = 83;  // reply field 2: the enable mask of groups A..H
constexpr int WriteTaxRates = 96;  // data: the rates of the enabled groups
constexpr int ReadTaxRates = 97;   // reply fields 0..7: the rates of groups A..H
constexpr const char* XReportOption = "2";
}  // namespace fpcmd

namespace fpres {
constexpr std::int32_t Ok = 0;
// Set by the exchange: the command or its data could not go out, or no valid
// reply came back.
constexpr std::int32_t CommandOutOfRange = 1;
constexpr std::int32_t DataTooLong = 2;
constexpr std::int32_t NoAnswer = 3;
constexpr std::int32_t TooManyNaks = 4;
constexpr std::int32_t NoLength = 5;
constexpr std::int32_t LengthTooSmall = 6;
constexpr std::int32_t ReplyIncomplete = 7;
constexpr std::int32_t InconsistentReplies = 8;
// Set from the status flags of a valid reply: the printer's own conditions.
constexpr std::int32_t DisplayNotConnected = 97;
constexpr std::int32_t NoJournalPaper = 98;
constexpr std::int32_t NoReceiptPaper = 99;
constexpr std::int32_t GeneralError = 100;

// No valid reply arrived (codes 1..8).
constexpr bool IsExchangeFailure(std::int32_t code) {
  return code >= CommandOutOfRange && code <= InconsistentReplies;
}
// The line to the printer failed: no answer, NAKs, or a reply cut off.
constexpr bool IsLinkFailure(std::int32_t code) {
  return code == NoAnswer || code == TooManyNaks || code == NoLength || code == ReplyIncomplete;
}
constexpr bool IsPaperOut(std::int32_t code) {
  return code == NoJournalPaper || code == NoReceiptPaper;
}
}  // namespace fpres
