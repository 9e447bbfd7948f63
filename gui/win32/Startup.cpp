#include "gui/win32/Startup.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "gui/win32/Application.h"
#include "gui/win32/CPortSetup.h"
#include "gui/win32/Dialogs.h"
#include "gui/win32/ExchangeObserver.h"
#include "gui/win32/MainPDV.h"
#include "gui/win32/P00_YellowMsg.h"
#include "gui/win32/P11_Porezi.h"
#include "serial/CPort.h"

ProgramForms::ProgramForms() {
  // The standard controls of the system's current look (the manifest asks
  // for version 6 of the common controls).
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  TCustomComPort::InstallSetupDialog(ShowComSetupDialog);
  exchangeObserver_ = std::make_unique<GuiExchangeObserver>();
  SetExchangeObserver(exchangeObserver_.get());
  Application().SetTitle(kApplicationTitle);
  windows_ = std::make_unique<Windows>(
      Windows::Globals{FormMainPDV, FormYellowMsg, FormPorezi},
      [](TFormMainPDV* form) { Application().SetMainForm(form); },
      [] { Application().Terminate(); });
}

ProgramForms::~ProgramForms() {
  windows_.reset();
  SetExchangeObserver(nullptr);
  exchangeObserver_.reset();
}

int RunProgram() {
  try {
    ProgramForms forms;
    Application().Run();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
  return 0;
}
