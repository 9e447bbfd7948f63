#include "fiscal/P00_fpcommand.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include "fiscal/FPProtocol.h"

#include "fiscal/P00_fpsend.h"
#include "framework/Exception.h"

const char* const StatusFlagNames[36] = {
    "#SyntaxError",    "#InvalidCmd",    "DateTime Not Set", "Display Not Conn", "#PrintingMech",
    "GeneralError#",   "MathOverflow",   "#ExecDisable",     "#EmergencyClr",    "#3 NotUsed",
    "#RamDestroyed",   "CoverOpen",      "#NoPaper",         "PaperNearEnd",     "NoPaperJrnl",
    "FiscReceiptOpen", "PapNearEndJrnl", "NonFiscOpen",      "1-AutoCut",        "Jrnl 100% height",
    "TransparentDsp",  "Baud Low",       "4 NotUsed",        "5 NotUsed",        "*FMWriteError",
    "1 NotUsed",       "NoFModule",      "FMem <50",         "*FMemFull",        "FMemAll*",
    "*FMemRO",         "FMemFrmt",       "*2 NotUsed",       "IsFiscalized",     "TaxProgramm",
    "SerialProgramm",
};

namespace {

constexpr int kFieldCount = 20;

enum StatusFlag {
  kDisplayNotConnected = 3,
  kGeneralError = 5,
  kNoPaper = 12,
  kNoJournalPaper = 14,
};

// One split of the reply data for the whole process. It is keyed by the
// exchange counter and the record, never by the sequence number, which
// repeats every 96 requests and would serve an old split.
struct FieldCache {
  const FPCommand00* record = nullptr;
  std::uint32_t exchange = 0;
  int start[kFieldCount] = {};
  char text[250] = {};
};
FieldCache fieldCache;

void SplitFields(const FPCommand00& record) {
  std::memcpy(fieldCache.text, record.ReplyData, sizeof fieldCache.text);
  fieldCache.text[sizeof fieldCache.text - 1] = '\0';
  const int total = static_cast<int>(std::strlen(fieldCache.text));
  fieldCache.start[0] = 0;
  int k = 1;
  for (int p = 0; k < kFieldCount && fieldCache.text[p] != '\0'; ++p) {
    if (fieldCache.text[p] == ',') {
      fieldCache.start[k++] = p + 1;
      fieldCache.text[p] = '\0';
    }
  }
  for (; k < kFieldCount; ++k) fieldCache.start[k] = total;
  fieldCache.record = &record;
  fieldCache.exchange = ExchangeCounter;
}

// Paper first: without paper nothing else the printer says matters.
std::int32_t ConditionCode(const FPCommand00& record) {
  if (record.StatusBits[kNoPaper]) {
    return record.StatusBits[kNoJournalPaper] ? fpres::NoJournalPaper : fpres::NoReceiptPaper;
  }
  if (record.StatusBits[kGeneralError]) {
    return record.StatusBits[kDisplayNotConnected] ? fpres::DisplayNotConnected
                                                   : fpres::GeneralError;
  }
  return fpres::Ok;
}

const char* CodeText(std::int32_t code) {
  switch (code) {
    case fpres::CommandOutOfRange:
      return "Zadata komanda (%d) je van opsega!";
    case fpres::DataTooLong:
      return "Zadato previse podataka!";
    case fpres::NoAnswer:
      return "Stampac se ne javlja - proverite stampac i kabl!";
    case fpres::TooManyNaks:
      return "Stampac javlja greske u komunikaciji - proverite kabl!";
    case fpres::NoLength:
      return "Stampac je prestao da se javlja - proverite stampac i kabl!";
    case fpres::LengthTooSmall:
      return "Stampac je vratio duzinu %d - van opsega!";
    case fpres::ReplyIncomplete:
      return "Stampac je prestao da se javlja - proverite stampac i kabl!";
    case fpres::InconsistentReplies:
      return "Stampac vraca nekonzistentne podatke!";
    case fpres::DisplayNotConnected:
      return "Povezite Display za kupca sa Stampacem!";
    case fpres::NoJournalPaper:
      return "Nema JOURNAL papira!";
    case fpres::NoReceiptPaper:
      return "Nema BON papira!";
    case fpres::GeneralError:
      return "Greska 100!";
    default:
      return "Nepoznata greska (%d)!";
  }
}

// The number a code's text quotes, when it quotes one.
std::int32_t CodeTextNumber(const FPCommand00& record) {
  switch (record.ErrorCode) {
    case fpres::CommandOutOfRange:
      return record.Command;
    case fpres::LengthTooSmall:
      return record.Length;
    default:
      return record.ErrorCode;
  }
}

}  // namespace

FPCommand00::FPCommand00()
    : Command(0),
      Data{},
      DataLength(0),
      ErrorCode(0),
      ReplySequence(0),
      ReplyCommand(0),
      Length(0),
      Checksum(0),
      ReplyData{},
      Status{},
      StatusBits{},
      ErrorMessage{} {
  // A record built where an earlier one lived must not inherit its split.
  if (fieldCache.record == this) fieldCache.record = nullptr;
}

FPCommand00& FPCommand00::Execute(int command, const char* data) {
  Command = command;
  if (data == nullptr) data = "";
  const std::size_t length = std::strlen(data);
  const std::size_t kept = length > kMaxRequestData ? kMaxRequestData : length;
  std::memcpy(Data, data, kept);
  Data[kept] = '\0';
  // The whole length asked for, so that Length shows the LEN this request
  // would have had; no real text comes near the bound, which keeps LEN in range.
  constexpr std::size_t kLongestCountedData = std::size_t{1} << 30;
  DataLength = static_cast<std::int32_t>(std::min(length, kLongestCountedData));

  // Without a port there is nothing to open; the port's own error says so.
  if (FiscalPort == nullptr) throw EComPort(CError_PortNotOpen, -1);
  if (!FiscalPort->Connected()) FiscalPort->Open();
  Transact(*this);
  if (ErrorCode == 0) ErrorCode = ConditionCode(*this);
  return *this;
}

FPCommand00& FPCommand00::Execute(int command, const std::string& data) {
  return Execute(command, data.c_str());
}

void FPCommand00::ExecuteText(const std::string& numberText, const std::string& data) {
  Execute(StrToInt(numberText), data);
}

const char* FPCommand00::Field(int index) {
  if (index < 0 || index >= kFieldCount) return "";
  if (fieldCache.record != this || fieldCache.exchange != ExchangeCounter) SplitFields(*this);
  return fieldCache.text + fieldCache.start[index];
}

const char* FPCommand00::ErrorText() {
  ErrorMessage[0] = '\0';
  if (ErrorCode == 0) return ErrorMessage;
  int length =
      std::snprintf(ErrorMessage, sizeof ErrorMessage, CodeText(ErrorCode), CodeTextNumber(*this));
  std::snprintf(ErrorMessage + length, sizeof ErrorMessage - length,
                "\n\nStatus: %02X%02X%02X%02X%02X%02X", Status[0], Status[1], Status[2], Status[3],
                Status[4], Status[5]);
  return ErrorMessage;
}
