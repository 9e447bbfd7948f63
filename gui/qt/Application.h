// The application object: main form, title, restore and the terminate request.
//
// It sits on top of the QApplication that main() (or a test) created. A
// terminate request ends every modal window at its next turn of message
// processing and then the event loop; Run() then returns exit code 0.
#pragma once

#include <QString>

class QWidget;

class TApplication {
 public:
  QString Title() const { return title_; }
  void SetTitle(const QString& title) { title_ = title; }

  // The first window created becomes the main form; the event loop shows it.
  QWidget* MainForm() const { return mainForm_; }
  void SetMainForm(QWidget* form) { mainForm_ = form; }

  // Brings the program back from the minimised state (nothing when it is not).
  void Restore();

  // Asks the program to end once control is back in the event loop.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Shows the main form and runs the event loop until it closes; always 0.
  int Run();

 private:
  QString title_;
  QWidget* mainForm_ = nullptr;
  bool terminated_ = false;
};

// The one application object of the process.
TApplication& Application();
