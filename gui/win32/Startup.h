// Start-up: the program's five windows, created and destroyed as
// ProgramWindows (device/ProgramWindows.h) says, with this front end's window
// classes, its setup dialog and its application object.
#pragma once

#include <memory>

#include "device/ProgramWindows.h"

class TFormMainPDV;
class TFormYellowMsg;
class TFormPorezi;
class GuiExchangeObserver;

class ProgramForms {
 public:
  ProgramForms();
  ~ProgramForms();
  ProgramForms(const ProgramForms&) = delete;
  ProgramForms& operator=(const ProgramForms&) = delete;

 private:
  std::unique_ptr<GuiExchangeObserver> exchangeObserver_;
  using Windows = ProgramWindows<TFormMainPDV, TFormYellowMsg, TFormPorezi>;

  std::unique_ptr<Windows> windows_;
};

// The program: creates the windows, runs the event loop, shows an exception
// that escapes start-up with the default exception display, and returns exit
// code 0 in every case.
int RunProgram();
