#include "gui/qt/Startup.h"

#include "gui/qt/Application.h"
#include "gui/qt/CPortSetup.h"
#include "gui/qt/Dialogs.h"
#include "gui/qt/ExchangeObserver.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/P00_YellowMsg.h"
#include "gui/qt/P11_Porezi.h"
#include "serial/CPort.h"

ProgramForms::ProgramForms() {
  TCustomComPort::InstallSetupDialog(ShowComSetupDialog);
  Application().SetTitle(kApplicationTitle);
  exchangeObserver_ = std::make_unique<GuiExchangeObserver>();
  SetExchangeObserver(exchangeObserver_.get());
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

int RunProgram(const std::function<void()>& beforeEventLoop) {
  try {
    ProgramForms forms;
    if (beforeEventLoop) beforeEventLoop();
    Application().Run();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
  return 0;
}
