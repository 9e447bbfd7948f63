// The application object: main form, title, restore, the event loops and
// the terminate request.
//
// A terminate request ends every modal loop at its next turn of message
// processing and then the main loop; Run then returns exit code 0.
#pragma once

#include <windows.h>

#include <string>

class TForm;

class TApplication {
 public:
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // The first window created becomes the main form; Run shows it.
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  // Brings the program back from the minimised state (nothing when it is not).
  void Restore();

  // Asks the program to end once control is back in its event loop.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Shows the main form and runs the event loop until it closes; always 0.
  int Run();
  // Ends Run's loop: the main form has closed.
  void EndEventLoop();

  // The loop of a modal window: dispatches the thread's messages, with Tab,
  // Enter and Escape handled by IsDialogMessageW for `window`, until
  // `running` is false or the program is to end.
  void RunModalLoop(HWND window, const bool& running);

 private:
  std::string title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
};

// The one application object of the process.
TApplication& Application();
