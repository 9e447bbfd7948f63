// Start-up: the five windows of the program, each created once and hidden, in
// this order: FormMainPDV (the main form), FormFP, FormYellowMsg,
// FormKVMsgDlg, FormPorezi. They live until the object is destroyed, which
// destroys them in the opposite order (the port closes with the main window).
#pragma once

#include <memory>

class TFormMainPDV;
class TFormFP;
class TFormYellowMsg;
class TFormKVMsgDlg;
class TFormPorezi;
class GuiDeviceUserInterface;
class GuiExchangeObserver;

class ProgramForms {
 public:
  ProgramForms();
  ~ProgramForms();
  ProgramForms(const ProgramForms&) = delete;
  ProgramForms& operator=(const ProgramForms&) = delete;

 private:
  std::unique_ptr<GuiExchangeObserver> exchangeObserver_;
  std::unique_ptr<TFormMainPDV> mainPDV_;
  std::unique_ptr<GuiDeviceUserInterface> deviceUi_;
  std::unique_ptr<TFormFP> fp_;
  std::unique_ptr<TFormYellowMsg> yellowMsg_;
  std::unique_ptr<TFormKVMsgDlg> kvMsgDlg_;
  std::unique_ptr<TFormPorezi> porezi_;
};

// The program: creates the windows, runs the event loop, shows an exception
// that escapes start-up with the default exception display, and returns exit
// code 0 in every case.
int RunProgram();
