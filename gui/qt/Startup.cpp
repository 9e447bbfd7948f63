#include "gui/qt/Startup.h"

#include "device/P00_FP.h"
#include "gui/qt/Application.h"
#include "gui/qt/CPortSetup.h"
#include "gui/qt/Dialogs.h"
#include "gui/qt/ExchangeObserver.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/P00_YellowMsg.h"
#include "gui/qt/P11_Porezi.h"
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
  TCustomComPort::InstallSetupDialog(ShowComSetupDialog);
  Application().SetTitle(kApplicationTitle);
  exchangeObserver_ = std::make_unique<GuiExchangeObserver>();
  SetExchangeObserver(exchangeObserver_.get());
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
