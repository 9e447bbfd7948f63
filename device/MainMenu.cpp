#include "device/MainMenu.h"

#include "device/ExchangeObserver.h"
#include "device/P00_FP.h"
#include "fiscal/FPProtocol.h"
#include "framework/Exception.h"
#include "serial/CPort.h"

namespace {

constexpr char32_t kEscape = 27;

const char* const kCaptions[] = {
    "0. Kraj rada",
    "1. Procitaj vreme iz RK-730",
    "2. Promeni poreske grupe",
    "3. X-Report ( presek stanja )",
};

}  // namespace

const char* MainMenu::Caption(int item) {
  return item >= 0 && item <= 3 ? kCaptions[item] : "";
}

void MainMenu::FormShow() {
  SetLocked();
}

void MainMenu::FormKeyPress(char32_t key) {
  if (key == kEscape || key == U'0') {
    view_.CloseMainWindow();
  } else if (key == U'1') {
    MenuItem1();
  } else if (key == U'2') {
    view_.ShowTaxEditor();
  } else if (key == U'3') {
    MenuItem3();
  }
}

void MainMenu::MenuItem1() {
  port_.Close();
  port_.ShowSetupDialog();
  port_.Open();
  ReadDeviceTime();
}

void MainMenu::ReadDeviceTime() {
  FPCommand00& command = FormFP->FPCommand;
  {
    const BusyScope busy;
    command.Execute(fpcmd::ReadClock, "");
  }
  if (command.ErrorCode != fpres::Ok) {
    view_.ShowMessage(MessageKind::Warning, "Stampac se ne javlja!\n\nIzaberite drugi ComPort");
    return;
  }
  TDateTime time = FormFP->ReadDeviceDateTime();
  // The notice has told why the printer is lost and the program is ending:
  // a zero time after it would only mislead.
  if (FormFP->LinkLost()) return;
  view_.ShowMessage(MessageKind::Information, "Vreme u Stampacu je:\n\n" + FormatDateTime(time));
  SetUnlocked();
}

void MainMenu::MenuItem3() {
  try {
    FormFP->PrintDailyReport(fpcmd::XReportOption);
  } catch (const Exception& error) {
    view_.ShowMessage(MessageKind::Error, error.Message());
    FormFP->EndProgramIfLinkLost();
  }
}

void MainMenu::SetLocked() {
  unlocked_ = false;
  view_.ShowPanel(1, true, Caption(1));
  view_.ShowPanel(2, false, "2.");
  view_.ShowPanel(3, false, "3.");
}

void MainMenu::SetUnlocked() {
  unlocked_ = true;
  view_.ShowPanel(1, false, "1.");
  view_.ShowPanel(2, true, Caption(2));
  view_.ShowPanel(3, true, Caption(3));
}
