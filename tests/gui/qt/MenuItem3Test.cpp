// Menu item 3, the X report, as the user meets it: nothing on success, the
// paper notice while the paper is out, an error box with the message on
// failure, and the menu as it was.
#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>

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

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
