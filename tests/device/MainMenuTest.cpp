// The main menu's rules without a window, against the printer simulator: what
// the user is shown after the X report and the clock read, in order, and when
// the program is asked to end. Every front end draws exactly this.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/ExchangeObserver.h"
#include "device/MainMenu.h"
#include "device/P00_FP.h"
#include "device/TaxRules.h"
#include "fiscal/P00_fpsend.h"
#include "serial/PortDefaults.h"
#include "tests/support/PrinterLine.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

// The user and the window in one log: boxes as "<kind>: <text>", notices as
// "Notice: <text>", the terminate request as "Terminate", and, when it is
// installed as the exchange observer, each busy spell as "Busy: <number of
// requests the printer received meanwhile>".
class RecordingFrontEnd : public MainMenuView, public DeviceUserInterface, public ExchangeObserver {
 public:
  explicit RecordingFrontEnd(const sim::PrinterSimulator& printer) : printer_(printer) {}

  void ShowPanel(int, bool, const std::string&) override {}
  void ShowMessage(MessageKind kind, const std::string& text) override {
    const char* names[] = {"Warning", "Information", "Error"};
    log.push_back(names[static_cast<int>(kind)] + (": " + text));
  }
  void ShowTaxEditor() override { log.push_back("Editor"); }
  void CloseMainWindow() override { log.push_back("Close"); }
  void ShowNotice(const std::string& deviceText) override {
    log.push_back("Notice: " + deviceText);
  }
  void ShowCatalogNotice(std::int32_t index) override {
    log.push_back("Catalog notice " + std::to_string(index));
  }
  void RequestTerminate() override { log.push_back("Terminate"); }
  void ExchangeStarted() override { requestsBefore_ = printer_.Requests().size(); }
  void ExchangeEnded() override {
    log.push_back("Busy: " + std::to_string(printer_.Requests().size() - requestsBefore_));
  }

  std::vector<std::string> log;

 private:
  const sim::PrinterSimulator& printer_;
  std::size_t requestsBefore_ = 0;
};

class MainMenuTest : public ::testing::Test {
 protected:
  MainMenuTest() {
    SetProgramStartValues(port_);
    port_.SetPort(printer_.PortPath());
    UseShortReadTimeouts(port_);
    FiscalPort = &port_;
    FormFP = &device_;
    printer_.SetClock(24, 12, 2023, 18, 5, 9);
    menu_.FormShow();
  }
  ~MainMenuTest() override {
    FormFP = nullptr;
    FiscalPort = nullptr;
  }

  sim::PrinterSimulator printer_;
  TComPort port_;
  RecordingFrontEnd frontEnd_{printer_};
  TFormFP device_{frontEnd_};
  MainMenu menu_{frontEnd_, port_};
};

const std::string kSilent =
    "Stampac se ne javlja - proverite stampac i kabl!\n\nStatus: 000000000000";

// A lost link ends the program, but only once the user has closed the window
// that says why, and nothing opens after it.
TEST_F(MainMenuTest, ALostLinkIsShownThenTheProgramEndsWithNothingElseShown) {
  struct Case {
    const char* what;
    std::function<void(sim::PrinterSimulator&)> fail;
    std::function<void(MainMenu&)> run;
    std::vector<std::string> shown;
    bool unlocked;
  };
  const auto readClock = [](MainMenu& menu) { menu.ReadDeviceTime(); };
  const auto printReport = [](MainMenu& menu) { menu.FormKeyPress(U'3'); };
  const auto probeThen = [](std::function<void(sim::PrinterSimulator&)> fail) {
    return [fail](sim::PrinterSimulator& printer) {
      printer.Inject(sim::Fault::None, 1);  // the probe goes through
      fail(printer);
    };
  };
  const Case cases[] = {
      {"clock read, printer falls silent after the probe",
       probeThen([](auto& p) { p.Inject(sim::Fault::Silence, sim::kAlways); }),
       readClock,
       {"Notice: Komanda 62\n" + kSilent, "Terminate"},
       false},
      {"clock read, any other failure goes on to the zero time",
       [](auto& p) {
         p.InjectStatus(sim::StatusBytes{}, 1);
         p.InjectStatus(sim::StatusGeneralError(), 1);
       },
       readClock,
       {"Notice: Komanda 62\nGreska 100!\n\nStatus: 200000000000",
        "Information: Vreme u Stampacu je:\n\n30.12.1899 00:00:00"},
       true},
      {"X report, printer silent",
       [](auto& p) { p.Inject(sim::Fault::Silence, sim::kAlways); },
       printReport,
       {"Error: Komanda 69 - Stampa preseka stanja 2\n" + kSilent, "Terminate"},
       false},
      {"X report, reply cut off",
       [](auto& p) { p.Inject(sim::Fault::Truncated, sim::kAlways); },
       printReport,
       {"Error: Komanda 69 - Stampa preseka stanja 2\nStampac je prestao da se javlja - proverite "
        "stampac i kabl!\n\nStatus: "
        "000000000000",
        "Terminate"},
       false},
      {"X report, any other failure keeps the program",
       [](auto& p) { p.InjectStatus(sim::StatusGeneralError()); },
       printReport,
       {"Error: Komanda 69 - Stampa preseka stanja 2\nGreska 100!\n\nStatus: 200000000000"},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    printer_.ClearInjections();
    frontEnd_.log.clear();
    menu_.FormShow();
    c.fail(printer_);

    c.run(menu_);

    EXPECT_EQ(frontEnd_.log, c.shown);
    EXPECT_EQ(menu_.Unlocked(), c.unlocked);
  }
}

// The window is busy for each exchange and for nothing else: the paper
// notice and the boxes between exchanges take the user's input as usual.
TEST_F(MainMenuTest, EveryExchangeAndNothingElseIsBusy) {
  SetExchangeObserver(&frontEnd_);
  printer_.InjectStatus(sim::StatusBytes{}, 1);     // the probe
  printer_.InjectStatus(sim::StatusPaperOut(), 1);  // the checked read, once
  menu_.ReadDeviceTime();
  menu_.FormKeyPress(U'3');
  FPCommand00& record = device_.FPCommand;
  const TaxEnableMask enabled = ReadEnableMask(record);
  WriteRates(record, enabled, ReadRates(record));
  SetExchangeObserver(nullptr);

  EXPECT_EQ(frontEnd_.log, std::vector<std::string>({
                               "Busy: 1",  // the probe
                               "Busy: 1",  // the checked read, paper out
                               "Catalog notice 64",
                               "Busy: 1",  // the same read again
                               "Information: Vreme u Stampacu je:\n\n24.12.2023 18:05:09",
                               "Busy: 1",  // the X report
                               "Busy: 1",  // 83
                               "Busy: 1",  // 97
                               "Busy: 1",  // 96
                           }));
}

}  // namespace
