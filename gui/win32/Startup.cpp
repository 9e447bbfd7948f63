#include "gui/win32/Startup.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "device/P00_FP.h"
#include "gui/win32/Application.h"
#include "gui/win32/CPortSetup.h"
#include "gui/win32/Dialogs.h"
#include "gui/win32/ExchangeObserver.h"
#include "gui/win32/MainPDV.h"
#include "gui/win32/P00_YellowMsg.h"
#include "gui/win32/P11_Porezi.h"
#include "messages/P00_KVMsgDlg.h"
#include "serial/CPort.h"

// The checked layer's notices go to the notice window, and its terminate
// request to the application object.
class GuiDeviceUserInterface : public DeviceUserInterface {
 public:
  void ShowNotice(const std::string& deviceText) override { FormYellowMsg->ShowText(deviceText); }
  void ShowCatalogNotice(std::int32_t index) override {
    ShowNotice(FormKVMsgDlg->CatalogText(index));
  }
  void RequestTerminate() override { Application().Terminate(); }
};

ProgramForms::ProgramForms() {
  // The standard controls of the system's current look (the manifest asks
  // for version 6 of the common controls).
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  TCustomComPort::InstallSetupDialog(ShowComSetupDialog);
  exchangeObserver_ = std::make_unique<GuiExchangeObserver>();
  SetExchangeObserver(exchangeObserver_.get());
  Application().SetTitle(kApplicationTitle);
  mainPDV_ = std::make_unique<TFormMainPDV>();
  FormMainPDV = mainPDV_.get();
  Application().SetMainForm(FormMainPDV);
  deviceUi_ = std::make_unique<GuiDeviceUserInterface>();
  fp_ = std::make_unique<TFormFP>(*deviceUi_);
  FormFP = fp_.get();
  yellowMsg_ = std::make_unique<TFormYellowMsg>();
  FormYellowMsg = yellowMsg_.get();
  kvMsgDlg_ = std::make_unique<TFormKVMsgDlg>();
  FormKVMsgDlg = kvMsgDlg_.get();
  porezi_ = std::make_unique<TFormPorezi>();
  FormPorezi = porezi_.get();
}

ProgramForms::~ProgramForms() {
  FormPorezi = nullptr;
  porezi_.reset();
  FormKVMsgDlg = nullptr;
  kvMsgDlg_.reset();
  FormYellowMsg = nullptr;
  yellowMsg_.reset();
  FormFP = nullptr;
  fp_.reset();
  deviceUi_.reset();
  Application().SetMainForm(nullptr);
  FormMainPDV = nullptr;
  mainPDV_.reset();
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
