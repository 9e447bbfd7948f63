// Menu item 1 from end to end: the key, the setup dialog, the probe, the
// checked clock read and the boxes, against the printer simulator published
// in a temporary runtime directory.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <functional>

#include "gui/qt/Application.h"
#include "gui/qt/CPortCtl.h"
#include "gui/qt/CPortSetup.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/Panel.h"
#include "gui/qt/Startup.h"
#include "tests/support/GuiTestSupport.h"

namespace {

const char kPort[] = "ttyFP0";
const QString kNoAnswer = "Stampac se ne javlja!\n\nIzaberite drugi ComPort";

// What the user saw, in order: "Setup", a box as "<caption>: <text>", or a
// notice as "Notice: <text>".
using Seen = QStringList;

class ClockReadTest : public ProgramFormsTest {
 protected:
  ClockReadTest() : ProgramFormsTest(kPort) { printer_.SetClock(24, 12, 2023, 18, 5, 9); }

  // A silent printer is given up on after many read time-outs; short ones
  // keep those cases quick without changing what they show.
  void ShortenTimeouts() {
    Port().Timeouts().SetReadInterval(20);
    Port().Timeouts().SetReadTotalMultiplier(5);
    Port().Timeouts().SetReadTotalConstant(20);
  }

  std::vector<int> CommandsSent() const {
    std::vector<int> commands;
    for (const sim::Request& request : printer_.Requests()) commands.push_back(request.command);
    return commands;
  }

  void ExpectLocked() {
    EXPECT_FALSE(Window().Unlocked());
    EXPECT_TRUE(Window().Panel1->isEnabled());
    EXPECT_EQ(Window().Panel1->text(), "1. Procitaj vreme iz RK-730");
    EXPECT_EQ(Window().Panel2->text(), "2.");
    EXPECT_EQ(Window().Panel3->text(), "3.");
  }
  void ExpectUnlocked() {
    EXPECT_TRUE(Window().Unlocked());
    EXPECT_FALSE(Window().Panel1->isEnabled());
    EXPECT_EQ(Window().Panel1->text(), "1.");
    EXPECT_TRUE(Window().Panel2->isEnabled());
    EXPECT_EQ(Window().Panel2->text(), "2. Promeni poreske grupe");
    EXPECT_TRUE(Window().Panel3->isEnabled());
    EXPECT_EQ(Window().Panel3->text(), "3. X-Report ( presek stanja )");
  }
};

TEST_F(ClockReadTest, ShowsThePrintersClockAndUnlocksTheMenu) {
  ModalUser user;
  QTest::mouseClick(Window().Panel1, Qt::LeftButton);

  EXPECT_EQ(user.Saw(),
            Seen({"Setup", "Information: Vreme u Stampacu je:\n\n24.12.2023 18:05:09"}));
  ExpectUnlocked();
  EXPECT_EQ(CommandsSent(), std::vector<int>({62, 62}));  // the probe, then the checked read
  for (const sim::Request& request : printer_.Requests()) EXPECT_EQ(request.data, "");
  EXPECT_TRUE(Port().Connected());
  EXPECT_EQ(Port().Port(), kPort);
}

TEST_F(ClockReadTest, KeyOneRunsTheWholeItemAgainAfterTheUnlock) {
  ModalUser user;
  QTest::keyClicks(&Window(), "1");
  ASSERT_TRUE(Window().Unlocked());

  QTest::mouseClick(Window().Panel1, Qt::LeftButton);  // greyed: no clicks
  EXPECT_EQ(user.Saw().size(), 2);

  // The second run is cancelled in the dialog and still reads the clock,
  // on the settings it had.
  user.setup = [](TComSetupFrm& dialog) {
    QTest::keyClick(dialog.Combo2, Qt::Key_Home);
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
  };
  printer_.SetClock(1, 1, 2024, 0, 0, 1);
  QTest::keyClicks(&Window(), "1");

  EXPECT_EQ(user.Saw(),
            Seen({"Setup", "Information: Vreme u Stampacu je:\n\n24.12.2023 18:05:09", "Setup",
                  "Information: Vreme u Stampacu je:\n\n01.01.2024 00:00:01"}));
  EXPECT_EQ(CommandsSent(), std::vector<int>({62, 62, 62, 62}));
  EXPECT_EQ(Port().BaudRate(), br19200);
  ExpectUnlocked();
}

TEST_F(ClockReadTest, PickingThePublishedPortInTheDialogReachesThePrinter) {
  // A name that opens nothing: should the published port be missing from the
  // list, "Cancel" keeps it and no real serial port is ever touched.
  Port().SetPort("no-such-port");
  ModalUser user;
  user.setup = [](TComSetupFrm& dialog) {
    QComboBox* ports = dialog.Combo1;
    QTest::keyClick(ports, Qt::Key_Home);
    for (int i = 0; i < ports->count() && ports->currentText() != kPort; ++i) {
      QTest::keyClick(ports, Qt::Key_Down);
    }
    const bool found = ports->currentText() == kPort;
    EXPECT_TRUE(found) << "the published port is not offered";
    QTest::mouseClick(found ? dialog.Button1 : dialog.Button2, Qt::LeftButton);
  };
  QTest::keyClicks(&Window(), "1");

  EXPECT_EQ(Port().Port(), kPort);
  EXPECT_EQ(user.Saw().value(1), "Information: Vreme u Stampacu je:\n\n24.12.2023 18:05:09");
  ExpectUnlocked();
}

TEST_F(ClockReadTest, PrinterThatFailsTheProbeGetsTheWarningAndTheMenuStays) {
  ShortenTimeouts();
  const std::pair<const char*, std::function<void()>> failures[] = {
      {"silent", [&] { printer_.Inject(sim::Fault::Silence, sim::kAlways); }},
      {"paper out", [&] { printer_.InjectStatus(sim::StatusPaperOut(), sim::kAlways); }},
  };
  for (const auto& [what, fail] : failures) {
    printer_.ClearInjections();
    printer_.ClearRequests();
    fail();
    ModalUser user;
    QTest::keyClicks(&Window(), "1");

    EXPECT_EQ(user.Saw(), Seen({"Setup", "Warning: " + kNoAnswer})) << what;
    ExpectLocked();
    EXPECT_TRUE(Port().Connected()) << what;  // open, for another try
    ASSERT_FALSE(printer_.Requests().empty()) << what;
    for (int command : CommandsSent()) EXPECT_EQ(command, 62) << what;
  }
  // The paper-out probe is answered, so it is the only command sent.
  EXPECT_EQ(CommandsSent().size(), 1u);
}

TEST_F(ClockReadTest, ProbeFailureAfterAnUnlockLeavesTheMenuUnlocked) {
  ShortenTimeouts();
  ModalUser user;
  QTest::keyClicks(&Window(), "1");
  ASSERT_TRUE(Window().Unlocked());

  printer_.InjectStatus(sim::StatusGeneralError(), sim::kAlways);
  QTest::keyClicks(&Window(), "1");
  EXPECT_EQ(user.Saw().back(), "Warning: " + kNoAnswer);
  ExpectUnlocked();
}

TEST_F(ClockReadTest, FailedCheckedReadShowsTheNoticeAndTheZeroTimeAndStillUnlocks) {
  printer_.InjectStatus(sim::StatusBytes{}, 1);  // the probe goes through
  printer_.InjectStatus(sim::StatusGeneralError(), 1);
  ModalUser user;
  QTest::keyClicks(&Window(), "1");

  ASSERT_EQ(user.Saw().size(), 3);
  EXPECT_TRUE(user.Saw()[1].startsWith("Notice: Komanda 62\n")) << user.Saw()[1].toStdString();
  EXPECT_EQ(user.Saw()[2], "Information: Vreme u Stampacu je:\n\n30.12.1899 00:00:00");
  ExpectUnlocked();
  EXPECT_FALSE(Application().Terminated());
}

TEST_F(ClockReadTest, PortThatCannotOpenGoesToTheExceptionDisplayAndTheMenuStays) {
  Port().SetPort("no-such-port");  // not listed: "OK" writes an empty name
  ModalUser user;
  QTest::keyClicks(&Window(), "1");

  ASSERT_EQ(user.Saw().size(), 2);
  // The port's line, then what it means for a Linux user; the explanation
  // ends in its own full stop, so the display adds none.
  const QStringList lines = user.Saw()[1].split('\n');
  ASSERT_EQ(lines.size(), 2) << user.Saw()[1].toStdString();
  EXPECT_EQ(lines[0], QString(kApplicationTitle) + ": Unable to open com port (Error: 2)");
  EXPECT_TRUE(lines[1].startsWith("No port name: No such file or directory. "))
      << lines[1].toStdString();
  EXPECT_FALSE(lines[1].endsWith("..")) << lines[1].toStdString();
  EXPECT_EQ(Port().Port(), "");
  EXPECT_FALSE(Port().Connected());
  EXPECT_TRUE(printer_.Requests().empty());
  ExpectLocked();
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
