// A clock read from a printer that does not answer, on the real application
// object: the notice with the message comes up and goes again by itself, the
// read gives the zero date-time, and the event loop ends with exit code 0.
//
// A program of its own: the terminate request ends every event loop of the
// process, so nothing else may run in it after.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include "device/P00_FP.h"
#include "framework/NamedLock.h"
#include "gui/qt/Application.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/P00_YellowMsg.h"
#include "gui/qt/Startup.h"
#include "tests/support/GuiTestSupport.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

// Counts the times a window is shown.
class ShowCounter : public QObject {
 public:
  int shows = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) ++shows;
    return false;
  }
};

TEST(TerminateTest, ClockReadWithASilentPrinterShowsTheMessageAndEndsTheProgram) {
  sim::PrinterSimulator printer;
  printer.Inject(sim::Fault::Silence, sim::kAlways);
  ProgramForms forms;
  TComPort& port = *FormMainPDV->ComPortFiskal;
  port.SetPort(printer.PortPath());
  port.Timeouts().SetReadInterval(20);
  port.Timeouts().SetReadTotalMultiplier(0);
  port.Timeouts().SetReadTotalConstant(50);
  ShowCounter noticeShows;
  FormYellowMsg->installEventFilter(&noticeShows);

  TDateTime result = -1;
  bool readReturned = false;
  bool noticeLeftUp = true;
  bool lockFreeAfter = false;
  QTimer::singleShot(0, [&] {
    result = FormFP->ReadDeviceDateTime();
    readReturned = true;
    noticeLeftUp = FormYellowMsg->isVisible();
    NamedLock probe("YellowMsg");
    lockFreeAfter = probe.Acquire();
  });
  bool stuck = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    stuck = true;
    FormYellowMsg->close();
    QCoreApplication::exit(1);
  });
  guard.start(20000);

  const int exitCode = Application().Run();

  EXPECT_FALSE(stuck) << "the program did not end by itself";
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(readReturned);
  EXPECT_EQ(result, 0.0);
  EXPECT_EQ(noticeShows.shows, 1);
  EXPECT_FALSE(noticeLeftUp);
  EXPECT_TRUE(lockFreeAfter) << "the notice kept the YellowMsg lock";
  EXPECT_EQ(FormYellowMsg->LabelMsg->text(),
            "Komanda 62\nStampac se ne javlja - proverite stampac i kabl!\n\nStatus: 000000000000");
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
