// Menu item 3, the X report, as the user meets it: nothing on success, the
// paper notice while the paper is out, an error box with the message on
// failure, and the menu as it was; the busy cursor while the printer works,
// and no replay of what the user pressed meanwhile.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <chrono>
#include <thread>

#include "device/ExchangeObserver.h"
#include "gui/qt/P00_YellowMsg.h"

#include "device/P00_FP.h"
#include "gui/qt/Application.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/Panel.h"
#include "messages/P00_KVMsgDlg.h"
#include "tests/support/GuiTestSupport.h"

namespace {

class MenuItem3Test : public ProgramFormsTest {
 protected:
  QStringList PressThree() {
    ModalUser user;
    QTest::keyClicks(FormMainPDV, "3");
    return user.Saw();
  }
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
  EXPECT_EQ(PressThree(),
            QStringList{"Error: Unable to open com port (Error: 2)\n"
                        "/dev/no-such-printer-port: No such file or directory. This PC has no such "
                        "port: check that the printer's adapter is plugged in and choose a port "
                        "that the setup dialog lists."});
  EXPECT_TRUE(printer_.Requests().empty());
}

TEST_F(MenuItem3Test, DoubleClickOnThePanelPrintsOneReport) {
  ModalUser user;
  FormMainPDV->ReadDeviceTime();  // the clock read of menu item 1 unlocks the panel
  ASSERT_TRUE(FormMainPDV->Unlocked());
  printer_.ClearRequests();
  // Through the window, as the desktop delivers it: press, release, press,
  // double click, release. The second press is no click of its own.
  const QPoint centre = FormMainPDV->Panel3->geometry().center();
  QTest::mouseDClick(FormMainPDV->windowHandle(), Qt::LeftButton, {}, centre);
  QTest::qWait(50);
  ASSERT_EQ(printer_.Requests().size(), 1u);
  EXPECT_EQ(printer_.Requests()[0].command, 69);
}

// The user presses "3", and presses it again and clicks the panel while the
// printer is still answering: one X report, not three.
TEST_F(MenuItem3Test, KeysAndClicksMadeDuringTheExchangeAreDroppedNotReplayed) {
  ModalUser user;
  FormMainPDV->ReadDeviceTime();  // unlocks the panel
  printer_.ClearRequests();
  printer_.SetBytePacing(std::chrono::milliseconds(40));  // a reply of about a second
  std::thread impatientUser([this] {
    if (!printer_.WaitForRequests(1, std::chrono::seconds(10))) return;
    const QPointF inside(10, 10);
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QCoreApplication::postEvent(FormMainPDV, new QKeyEvent(type, Qt::Key_3, Qt::NoModifier, "3"));
    }
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(
          FormMainPDV->Panel3,
          new QMouseEvent(type, inside, FormMainPDV->Panel3->mapToGlobal(inside), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier));
    }
  });
  QTest::keyClicks(FormMainPDV, "3");
  impatientUser.join();
  QTest::qWait(100);  // anything still queued would be delivered now

  EXPECT_EQ(printer_.Requests().size(), 1u);
  EXPECT_EQ(printer_.XReportCount(), 1);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(user.Saw().value(0).startsWith("Information:"));
  EXPECT_EQ(user.Saw().size(), 1);

  printer_.SetBytePacing(std::chrono::microseconds(0));
  QTest::keyClicks(FormMainPDV, "3");  // once it is over, keys act again
  EXPECT_EQ(printer_.XReportCount(), 2);
}

// Records the override cursor each time a window is shown.
class CursorAtShow : public QObject {
 public:
  std::vector<const QCursor*> seen;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) seen.push_back(QApplication::overrideCursor());
    return false;
  }
};

TEST_F(MenuItem3Test, TheBusyCursorShowsDuringAnExchangeButNotAtThePaperNotice) {
  {
    const BusyScope busy;
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  CursorAtShow notice;
  FormYellowMsg->installEventFilter(&notice);
  printer_.InjectStatus(sim::StatusPaperOut(), 1);
  PressThree();
  EXPECT_EQ(notice.seen, std::vector<const QCursor*>{nullptr});
  EXPECT_EQ(printer_.XReportCount(), 1);
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
