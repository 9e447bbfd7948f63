// The port setup dialog: six lists over the port's settings; only "OK"
// writes them, and no key stands for "Cancel".
#include "gui/win32/CPortSetup.h"
#include "gui/win32/MainPDV.h"
#include "tests/gui/win32/GuiTestSupport.h"

namespace {

class SetupDialogTest : public ProgramFormsTest {};

TEST_F(SetupDialogTest, OpensOnThePortsValues) {
  ModalUser user;
  std::vector<std::string> shown;
  user.setup = [&](TComSetupFrm& dialog) {
    EXPECT_EQ(TextOf(dialog.Handle()), "Setup");
    for (TComComboBox* combo : dialog.Combo) shown.push_back(ComboText(combo->Handle()));
    for (HWND label : dialog.Label) shown.push_back(TextOf(label));
    PostMessageW(dialog.Button2, BM_CLICK, 0, 0);
  };
  Window().ComPortFiskal->ShowSetupDialog();
  // The port list is the system's; the test script has entered the
  // printer's port in it.
  EXPECT_EQ(shown, (std::vector<std::string>{printer.PortName(), "19200", "8", "1", "None",
                                             "Software", "Port", "Baud rate", "Data bits",
                                             "Stop bits", "Parity", "Flow control"}));
}

TEST_F(SetupDialogTest, OnlyOkWritesWhatWasPicked) {
  TComPort& port = *Window().ComPortFiskal;
  for (bool ok : {false, true}) {
    ModalUser user;
    user.setup = [ok](TComSetupFrm& dialog) {
      PickItem(dialog.Combo[1]->Handle(), "9600");
      PickItem(dialog.Combo[5]->Handle(), "Hardware");
      PostMessageW(ok ? dialog.Button1 : dialog.Button2, BM_CLICK, 0, 0);
    };
    port.ShowSetupDialog();
    EXPECT_EQ(port.BaudRate(), ok ? br9600 : br19200) << "OK: " << ok;
    EXPECT_EQ(port.FlowControl().FlowControl(), ok ? fcHardware : fcSoftware) << "OK: " << ok;
  }
}

TEST_F(SetupDialogTest, EscapeLeavesItOpenAndEnterIsOk) {
  TComPort& port = *Window().ComPortFiskal;
  ModalUser user;
  user.setup = [](TComSetupFrm& dialog) {
    PickItem(dialog.Combo[3]->Handle(), "2");
    PostKey(dialog.Combo[0]->Handle(), VK_ESCAPE);
    PostKey(dialog.Combo[0]->Handle(), VK_RETURN);
  };
  port.ShowSetupDialog();
  EXPECT_EQ(port.StopBits(), sbTwoStopBits);
}

}  // namespace
