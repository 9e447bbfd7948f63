// What the GUI tests share. A test program links gui_test_support, defines
// `int main(int argc, char** argv) { return RunGuiTests(argc, argv); }` and
// uses the pieces below; none of them needs more than that.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tools/simulator/PrinterSimulator.h"

class ProgramForms;
class QWidget;
class TComPort;
class TComSetupFrm;
class TFormMainPDV;

// Runs every test of the program on a QApplication: the offscreen platform
// unless QT_QPA_PLATFORM says otherwise, and a TemporaryRuntimeDir for the
// whole run. Returns GoogleTest's result (1 when no runtime directory can be
// made).
int RunGuiTests(int argc, char** argv);

// Acts as the user on every modal window that comes up while it lives,
// looking every 10 ms, and notes what it saw, in order:
//   a message box:          "<caption>: <text>", then its "OK";
//   the notice window:      "Notice: <text>", then its "OK";
//   the port setup dialog:  "Setup", then `setup` ("OK" unless a test says);
//   a window left alone:    nothing; the test drives it itself;
//   any other window:       "Unexpected: <caption>", then it is closed.
class ModalUser {
 public:
  ModalUser();

  std::function<void(TComSetupFrm&)> setup;

  void LeaveAlone(const QWidget* window) { leftAlone_.push_back(window); }

  const QStringList& Saw() const { return seen_; }
  // The captions of the windows it acted on, and the message boxes' texts.
  const QStringList& Titles() const { return titles_; }
  const QStringList& BoxTexts() const { return boxTexts_; }

 private:
  void Act();

  QTimer timer_;
  std::vector<const QWidget*> leftAlone_;
  QStringList seen_;
  QStringList titles_;
  QStringList boxTexts_;
};

// The program's five windows for each case (ProgramForms), the fiscal port
// on `printer_`, the main window shown and exposed. Cases reach the windows
// through the program's own globals (FormMainPDV, FormPorezi, ...).
class ProgramFormsTest : public ::testing::Test {
 protected:
  // The port opens the simulator by its device path.
  ProgramFormsTest();
  // The simulator is published as `portName` in the virtual-port directory
  // and the port opens it by that name, as a user picks it.
  explicit ProgramFormsTest(const std::string& portName);
  ~ProgramFormsTest() override;

  void SetUp() override;
  void TearDown() override;

  TFormMainPDV& Window();
  TComPort& Port();

  sim::PrinterSimulator printer_;

 private:
  std::string portName_;
  std::unique_ptr<ProgramForms> forms_;
};
