// The checked layer against the printer simulator, with a stand-in for the
// user: which results bring the paper notice, which end in an exception,
// which ask the program to end; the clock read built on it.
#include <gtest/gtest.h>

#include <functional>

#include "device/P00_FP.h"
#include "fiscal/P00_fpsend.h"
#include "framework/DateTime.h"
#include "framework/Exception.h"
#include "messages/P00_KVMsgDlg.h"
#include "serial/PortDefaults.h"
#include "tests/support/PrinterLine.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

const std::string kReportDescription = "Komanda 69 - Stampa preseka stanja 2";
const std::string kSilentPrinter =
    "Stampac se ne javlja - proverite stampac i kabl!\n\nStatus: 000000000000";

// The user as the checked layer sees it: notices read and dismissed, and
// terminate requests counted. `onNotice` acts while a notice is up.
class RecordingUser : public DeviceUserInterface {
 public:
  void ShowNotice(const std::string& deviceText) override {
    notices.push_back(deviceText);
    if (onNotice) onNotice();
  }
  void ShowCatalogNotice(std::int32_t index) override {
    ShowNotice(TFormKVMsgDlg().CatalogText(index));
  }
  void RequestTerminate() override { ++terminateRequests; }

  std::vector<std::string> notices;
  int terminateRequests = 0;
  std::function<void()> onNotice;
};

class CheckedLayerTest : public ::testing::Test {
 protected:
  CheckedLayerTest() {
    SetProgramStartValues(port_);
    port_.SetPort(printer_.PortPath());
    UseShortReadTimeouts(port_);
    FiscalPort = &port_;
  }
  ~CheckedLayerTest() override { FiscalPort = nullptr; }

  // The message of the exception `action` raises; fails when it raises none.
  static std::string MessageOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const Exception& error) {
      return error.Message();
    }
    ADD_FAILURE() << "no exception";
    return {};
  }

  sim::PrinterSimulator printer_;
  TComPort port_;
  TFormKVMsgDlg catalog_;
  RecordingUser user_;
  TFormFP device_{user_};
};

TEST_F(CheckedLayerTest, PaperOutRepeatsTheCommandAfterEachNoticeUntilThePaperIsBack) {
  struct Case {
    const char* name;
    sim::StatusBytes status;
    int times;
  } cases[] = {
      {"receipt paper out once (99)", sim::StatusPaperOut(), 1},
      {"journal paper out three times (98)", sim::StatusJournalPaperOut(), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    printer_.ClearRequests();
    user_.notices.clear();
    printer_.InjectStatus(c.status, c.times);

    device_.PrintDailyReport("2");

    EXPECT_EQ(user_.notices,
              std::vector<std::string>(c.times, catalog_.CatalogText(kPaperOutNotice)));
    EXPECT_EQ(user_.terminateRequests, 0);
    const std::vector<sim::Request> requests = printer_.Requests();
    ASSERT_EQ(requests.size(), static_cast<std::size_t>(c.times + 1));
    for (std::size_t i = 0; i < requests.size(); ++i) {
      EXPECT_EQ(requests[i].command, 69);
      EXPECT_EQ(requests[i].data, "2");
      if (i > 0) {
        EXPECT_NE(requests[i].sequence, requests[i - 1].sequence) << "a repeat is a new exchange";
      }
    }
    EXPECT_EQ(device_.FPCommand.ErrorCode, 0);
  }
  EXPECT_EQ(device_.StoredCommand, 69);
  EXPECT_EQ(device_.StoredData, "2");
}

TEST_F(CheckedLayerTest, PrinterThatFallsSilentDuringThePaperWaitEndsTheProgram) {
  printer_.InjectStatus(sim::StatusPaperOut(), 1);
  user_.onNotice = [this] { printer_.Inject(sim::Fault::Silence, sim::kAlways); };

  const std::string message = MessageOf([this] { device_.PrintDailyReport("2"); });

  EXPECT_EQ(message, kReportDescription + "\n" + kSilentPrinter);
  EXPECT_EQ(user_.notices.size(), 1u);
  EXPECT_TRUE(device_.LinkLost());
  EXPECT_EQ(user_.terminateRequests, 0);  // left to whoever shows the message
  EXPECT_EQ(device_.FPCommand.ErrorCode, 3);
}

TEST_F(CheckedLayerTest, PaperWaitEndingInAnotherFailureRaisesThatFailure) {
  printer_.InjectStatus(sim::StatusPaperOut(), 1);
  printer_.InjectStatus(sim::StatusGeneralError(), 1);

  const std::string message = MessageOf([this] { device_.PrintDailyReport("2"); });

  EXPECT_EQ(message.rfind(kReportDescription + "\nGreska 100!\n\nStatus: ", 0), 0u) << message;
  EXPECT_EQ(user_.notices.size(), 1u);
  EXPECT_EQ(user_.terminateRequests, 0);
}

// RunChecked only notes a lost link; the program ends when the caller asks,
// after the message has been shown.
TEST_F(CheckedLayerTest, FailuresRaiseAtOnceAndOnlyLinkFailuresEndTheProgram) {
  struct Case {
    int code;
    std::function<void(sim::PrinterSimulator&)> inject;
    bool linkFailure;
  } cases[] = {
      {97, [](auto& p) { p.InjectStatus(sim::StatusDisplayNotConnected()); }, false},
      {100, [](auto& p) { p.InjectStatus(sim::StatusGeneralError()); }, false},
      {6, [](auto& p) { p.Inject(sim::Fault::ShortLen); }, false},
      {8, [](auto& p) { p.Inject(sim::Fault::BadChecksum, sim::kAlways); }, false},
      {3, [](auto& p) { p.Inject(sim::Fault::Silence, sim::kAlways); }, true},
      {4, [](auto& p) { p.Inject(sim::Fault::Nak, sim::kAlways); }, true},
      {5, [](auto& p) { p.Inject(sim::Fault::NoLen, sim::kAlways); }, true},
      {7, [](auto& p) { p.Inject(sim::Fault::Truncated, sim::kAlways); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code);
    printer_.ClearInjections();
    user_.terminateRequests = 0;
    c.inject(printer_);

    const std::string message = MessageOf([this] { device_.PrintDailyReport("2"); });

    EXPECT_EQ(device_.FPCommand.ErrorCode, c.code);
    EXPECT_EQ(device_.IsLinkFailure(), c.linkFailure);
    EXPECT_FALSE(device_.IsPaperOut());
    EXPECT_EQ(message, kReportDescription + "\n" + device_.FPCommand.ErrorText());
    EXPECT_EQ(device_.LinkLost(), c.linkFailure);
    EXPECT_EQ(user_.terminateRequests, 0);
    device_.EndProgramIfLinkLost();
    EXPECT_EQ(user_.terminateRequests, c.linkFailure ? 1 : 0);
    EXPECT_TRUE(user_.notices.empty());
  }
}

TEST_F(CheckedLayerTest, PortFailurePassesThroughUnchanged) {
  port_.SetPort("/dev/no-such-printer-port");
  EXPECT_THROW(device_.PrintDailyReport("2"), EComPort);
  EXPECT_FALSE(device_.LinkLost());
  device_.EndProgramIfLinkLost();
  EXPECT_EQ(user_.terminateRequests, 0);
}

TEST_F(CheckedLayerTest, ClockReadGivesThePrintersDateAndTime) {
  printer_.SetClock(24, 12, 2023, 18, 5, 9);

  const TDateTime value = device_.ReadDeviceDateTime();

  EXPECT_EQ(FormatDateTime(value), "24.12.2023 18:05:09");
  EXPECT_EQ(printer_.Requests().at(0).command, 62);
  EXPECT_EQ(printer_.Requests().at(0).data, "");
  EXPECT_TRUE(user_.notices.empty());
}

TEST_F(CheckedLayerTest, ClockReadOfAnImpossibleDateGivesZeroAndShowsNothing) {
  printer_.SetReplyData(62, "31-02-23 10:00:00");
  EXPECT_EQ(device_.ReadDeviceDateTime(), 0.0);
  EXPECT_TRUE(user_.notices.empty());
  EXPECT_EQ(user_.terminateRequests, 0);
}

TEST_F(CheckedLayerTest, ClockReadFailureIsShownAsANoticeAndGivesZero) {
  printer_.Inject(sim::Fault::Silence, sim::kAlways);
  int requestsWhileTheNoticeWasUp = -1;
  user_.onNotice = [this, &requestsWhileTheNoticeWasUp] {
    requestsWhileTheNoticeWasUp = user_.terminateRequests;
  };
  EXPECT_EQ(device_.ReadDeviceDateTime(), 0.0);
  EXPECT_EQ(user_.notices, std::vector<std::string>{"Komanda 62\n" + kSilentPrinter});
  // The lost link ends the program, but only after the user has read why.
  EXPECT_EQ(requestsWhileTheNoticeWasUp, 0);
  EXPECT_EQ(user_.terminateRequests, 1);

  // The port's own failures are caught and shown the same way.
  printer_.ClearInjections();
  user_.notices.clear();
  port_.Close();
  port_.SetPort("/dev/no-such-printer-port");
  EXPECT_EQ(device_.ReadDeviceDateTime(), 0.0);
  ASSERT_EQ(user_.notices.size(), 1u);
  EXPECT_EQ(user_.notices[0].rfind("Unable to open com port", 0), 0u) << user_.notices[0];
  EXPECT_EQ(user_.terminateRequests, 1);
}

TEST(DeviceClockTest, ReplyTextToDateTime) {
  struct Case {
    const char* reply;
    const char* expected;  // formatted, or nullptr for the zero date-time
  } cases[] = {
      {"24-12-23 18:05:09", "24.12.2023 18:05:09"},
      {"1-1-0 0:0:0", "01.01.2000 00:00:00"},
      {"  29-2-24    23:59:59", "29.02.2024 23:59:59"},  // blanks as scanf skips them
      {"24-12-2318:05:09", nullptr},                     // the year swallows the hour
      {"24-12-23 18:05:09,rest", "24.12.2023 18:05:09"},
      {"31-02-23 10:00:00", nullptr},
      {"29-2-23 10:00:00", nullptr},
      {"24-12-23 24:00:00", nullptr},
      {"24-12-23 18:60:00", nullptr},
      {"-1-12-23 18:05:09", nullptr},
      {"24-12-23", nullptr},
      {"24-12-23 18:05", nullptr},
      {"24/12/23 18:05:09", nullptr},
      {"24 -12-23 18:05:09", nullptr},
      {"", nullptr},
      {"99999999999999999999-12-23 18:05:09", nullptr},
      {"24-12-99999999999999999999 18:05:09", nullptr},
  };
  for (const Case& c : cases) {
    const TDateTime value = DeviceClockToDateTime(c.reply);
    if (c.expected) {
      EXPECT_EQ(FormatDateTime(value), c.expected) << c.reply;
    } else {
      EXPECT_EQ(value, 0.0) << c.reply;
    }
  }
}

}  // namespace
