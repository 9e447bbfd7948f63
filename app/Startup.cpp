#include "app/Startup.h"

#include "app/MainPDV.h"
#include "device/P00_FP.h"
#include "device/P11_Porezi.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "messages/P00_KVMsgDlg.h"
#include "messages/P00_YellowMsg.h"

const char* const kApplicationTitle = "Poreske grupe";

// The checked layer's notices go to the notice window, and its terminate
// request to the application object.
class GuiDeviceUserInterface : public DeviceUserInterface {
 public:
  void ShowNotice(const std::string& deviceText) override { FormYellowMsg->ShowText(deviceText); }
  void RequestTerminate() override { Application().Terminate(); }
};

ProgramForms::ProgramForms() {
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
