// A lost link on the real application object: the window that explains the
// failure stays up until the user closes it, nothing opens after it, and then
// the event loop ends with exit code 0.
//
// The terminate request ends every event loop of its process, so each case
// needs a process of its own; ctest runs every case alone, and a case that
// finds the program already ended is skipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "framework/NamedLock.h"
#include "gui/qt/Application.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/P00_YellowMsg.h"
#include "gui/qt/Startup.h"
#include "tests/support/GuiTestSupport.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

const QString kSilent = "Stampac se ne javlja - proverite stampac i kabl!\n\nStatus: 000000000000";

// Reads each modal window for a while before closing it with its "OK", and
// notes it as "<caption>: <text>" (the notice as "Notice: <text>").
class PatientUser {
 public:
  static constexpr int kReadingMs = 300;

  PatientUser() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Act(); });
    timer_.start(10);
  }
  const QStringList& Saw() const { return seen_; }

 private:
  void Act() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (modal != reading_) {
      reading_ = modal;
      since_.start();
      return;
    }
    if (since_.elapsed() < kReadingMs) return;
    reading_ = nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen_ << box->windowTitle() + ": " + box->text();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    } else if (auto* notice = qobject_cast<TFormYellowMsg*>(modal)) {
      seen_ << "Notice: " + notice->LabelMsg->text();
      QTest::mouseClick(notice->Button1, Qt::LeftButton);
    } else {
      seen_ << "Unexpected: " + modal->windowTitle();
      modal->close();
    }
  }

  QTimer timer_;
  QWidget* reading_ = nullptr;
  QElapsedTimer since_;
  QStringList seen_;
};

class TerminateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Application().Terminated()) GTEST_SKIP() << "the program has ended in this process";
    TComPort& port = *FormMainPDV->ComPortFiskal;
    port.SetPort(printer_.PortPath());
    port.Timeouts().SetReadInterval(20);
    port.Timeouts().SetReadTotalMultiplier(0);
    port.Timeouts().SetReadTotalConstant(50);
  }

  // Runs the program's event loop with `action` as its first event; true
  // when the program ended by itself.
  bool RunProgramWith(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    bool stuck = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      stuck = true;
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      QCoreApplication::exit(1);
    });
    guard.start(20000);
    exitCode_ = Application().Run();
    return !stuck;
  }

  void ExpectEndedAfterShowing(const QString& shown) {
    EXPECT_EQ(user_.Saw(), QStringList{shown});
    EXPECT_EQ(exitCode_, 0);
    EXPECT_TRUE(Application().Terminated());
    EXPECT_FALSE(FormMainPDV->Unlocked());
    EXPECT_FALSE(FormYellowMsg->isVisible());
    NamedLock probe("YellowMsg");
    EXPECT_TRUE(probe.Acquire()) << "the notice kept the YellowMsg lock";
  }

  sim::PrinterSimulator printer_;
  ProgramForms forms_;
  PatientUser user_;
  int exitCode_ = -1;
};

TEST_F(TerminateTest, ClockReadThatLosesThePrinterShowsTheNoticeAloneThenEnds) {
  printer_.Inject(sim::Fault::None, 1);  // the probe is answered
  printer_.Inject(sim::Fault::Silence, sim::kAlways);

  EXPECT_TRUE(RunProgramWith([] { FormMainPDV->ReadDeviceTime(); }))
      << "the program did not end by itself";

  ExpectEndedAfterShowing("Notice: Komanda 62\n" + kSilent);
}

TEST_F(TerminateTest, XReportThatLosesThePrinterShowsTheErrorBoxThenEnds) {
  printer_.Inject(sim::Fault::Silence, sim::kAlways);

  EXPECT_TRUE(RunProgramWith([] { QTest::keyClicks(FormMainPDV, "3"); }))
      << "the program did not end by itself";

  ExpectEndedAfterShowing("Error: Komanda 69 - Stampa preseka stanja 2\n" + kSilent);
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
