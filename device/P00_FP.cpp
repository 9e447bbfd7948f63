#include "device/P00_FP.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "device/ExchangeObserver.h"
#include "fiscal/FPProtocol.h"
#include "framework/CodePage.h"
#include "framework/Exception.h"
#include "messages/P00_KVMsgDlg.h"

TFormFP* FormFP = nullptr;

namespace {

const std::string kClockDescription = "Komanda 62";
const std::string kDailyReportDescription = "Komanda 69 - Stampa preseka stanja ";

// Reads the clock reply the way scanf("%d-%d-%d %d:%d:%d") does, but with
// numbers clamped instead of overflowing: the reply comes from outside.
class ReplyScanner {
 public:
  explicit ReplyScanner(std::string_view text) : text_(text) {}

  bool Number(long long& value) {
    SkipSpaces();
    bool negative = false;
    if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) {
      negative = text_[pos_++] == '-';
    }
    if (pos_ >= text_.size() || !IsDigit(text_[pos_])) return false;
    value = 0;
    while (pos_ < text_.size() && IsDigit(text_[pos_])) {
      value = std::min(value * 10 + (text_[pos_++] - '0'), kClamp);
    }
    if (negative) value = -value;
    return true;
  }

  bool Literal(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  void SkipSpaces() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

 private:
  static constexpr long long kClamp = 1'000'000'000;
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

TDateTime DeviceClockToDateTime(const std::string& replyData) {
  ReplyScanner scan(replyData);
  long long day, month, year, hour, minute, second;
  // A blank in the pattern matches any run of blanks, none included.
  const bool complete = scan.Number(day) && scan.Literal('-') && scan.Number(month) &&
                        scan.Literal('-') && scan.Number(year) &&
                        (scan.SkipSpaces(), scan.Number(hour)) && scan.Literal(':') &&
                        scan.Number(minute) && scan.Literal(':') && scan.Number(second);
  if (!complete) return 0;
  TDateTime date = 0;
  TDateTime time = 0;
  if (!TryEncodeDate(static_cast<int>(year + 2000), static_cast<int>(month), static_cast<int>(day),
                     date) ||
      !TryEncodeTime(static_cast<int>(hour), static_cast<int>(minute), static_cast<int>(second), 0,
                     time)) {
    return 0;
  }
  return date + time;
}

TFormFP::TFormFP(DeviceUserInterface& ui) : ui_(ui) {}

void TFormFP::RunChecked(std::int32_t command, const std::string& data,
                         const std::string& description) {
  StoredCommand = command;
  StoredData = data;
  linkLost_ = false;
  ExecuteStored();
  if (FPCommand.ErrorCode == fpres::Ok) return;
  if (IsPaperOut() && WaitForPaper()) return;
  linkLost_ = IsLinkFailure();
  throw Exception(DeviceToUtf8(description + "\n" + FPCommand.ErrorText()));
}

void TFormFP::EndProgramIfLinkLost() {
  if (linkLost_) ui_.RequestTerminate();
}

void TFormFP::ExecuteStored() {
  const BusyScope busy;
  FPCommand.ExecuteText(std::to_string(StoredCommand), StoredData);
}

bool TFormFP::IsLinkFailure() const {
  return fpres::IsLinkFailure(FPCommand.ErrorCode);
}

bool TFormFP::IsPaperOut() const {
  return fpres::IsPaperOut(FPCommand.ErrorCode);
}

bool TFormFP::WaitForPaper() {
  // No count limit: the user decides how long to keep trying, one notice per try.
  while (IsPaperOut()) {
    ui_.ShowCatalogNotice(kPaperOutNotice);
    ExecuteStored();
  }
  return FPCommand.ErrorCode == fpres::Ok;
}

TDateTime TFormFP::ReadDeviceDateTime() {
  try {
    RunChecked(fpcmd::ReadClock, "", kClockDescription);
  } catch (const Exception& error) {
    ui_.ShowNotice(Utf8ToDevice(error.Message()));
    EndProgramIfLinkLost();
    return 0;
  }
  return DeviceClockToDateTime(FPCommand.ReplyData);
}

void TFormFP::PrintDailyReport(const std::string& option) {
  RunChecked(fpcmd::DailyReport, option, kDailyReportDescription + option);
}
