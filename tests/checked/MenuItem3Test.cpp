// Menu item 3, the X report, as the user meets it: nothing on success, the
// paper notice while the paper is out, an error box with the message on
// failure, and the menu as it was.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/MainPDV.h"
#include "app/Startup.h"
#include "device/P00_FP.h"
#include "framework/Application.h"
#include "messages/P00_KVMsgDlg.h"
#include "messages/P00_YellowMsg.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

// Answers every modal window with its OK and notes what it showed, as
// "<caption>: <text>" for boxes and "Notice: <text>" for notices.
class User {
 public:
  User() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Act(); });
    timer_.start(10);
  }
  const QStringList& Saw() const { return seen_; }

 private:
  void Act() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
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
  QStringList seen_;
};

class MenuItem3Test : public ::testing::Test {
 protected:
  void SetUp() override {
    forms_ = std::make_unique<ProgramForms>();
    FormMainPDV->ComPortFiskal->SetPort(printer_.PortPath());
    FormMainPDV->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMainPDV));
  }
  void TearDown() override { forms_.reset(); }

  QStringList PressThree() {
    User user;
    QTest::keyClicks(FormMainPDV, "3");
    return user.Saw();
  }

  sim::PrinterSimulator printer_;
  std::unique_ptr<ProgramForms> forms_;
};

TEST_F(MenuItem3Test, PrintsTheReportAndSaysNothing) {
  EXPECT_EQ(PressThree(), QStringList{});
  ASSERT_EQ(printer_.Requests().size(), 1u);
  EXPECT_EQ(printer_.Requests()[0].command, 69);
  EXPECT_EQ(printer_.Requests()[0].data, "2");
  EXPECT_FALSE(FormMainPDV->Unlocked());
}

TEST_F(MenuItem3Test, PaperOutBringsTheNoticeThenPrints) {
  printer_.InjectStatus(sim::StatusPaperOut(), 2);
  const QString notice =
      "Notice: " + QString::fromStdString(FormKVMsgDlg->CatalogText(kPaperOutNotice));
  EXPECT_EQ(PressThree(), QStringList({notice, notice}));
  EXPECT_EQ(printer_.Requests().size(), 3u);
  EXPECT_EQ(FormFP->FPCommand.ErrorCode, 0);
}

TEST_F(MenuItem3Test, FailureShowsAnErrorBoxWithTheMessageAndLeavesTheMenu) {
  printer_.InjectStatus(sim::StatusGeneralError());
  const QStringList seen = PressThree();
  EXPECT_EQ(seen, QStringList{"Error: Komanda 69 - Stampa preseka stanja 2\n" +
                              QString::fromStdString(FormFP->FPCommand.ErrorText())});
  EXPECT_FALSE(FormMainPDV->Unlocked());
  EXPECT_TRUE(FormMainPDV->isVisible());
  EXPECT_FALSE(Application().Terminated());
}

TEST_F(MenuItem3Test, PortFailureShowsThePortsMessage) {
  FormMainPDV->ComPortFiskal->SetPort("/dev/no-such-printer-port");
  EXPECT_EQ(PressThree(), QStringList{"Error: Unable to open com port (Error: 2)"});
  EXPECT_TRUE(printer_.Requests().empty());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The notices' lock away from a real program's and from other tests'.
  char pattern[] = "/tmp/menu3-test-XXXXXX";
  const std::string runtimeDir = mkdtemp(pattern);
  setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::filesystem::remove_all(runtimeDir);
  return result;
}
