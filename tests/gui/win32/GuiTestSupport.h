// What the Win32 GUI tests share: the program's windows on the printer
// simulator at the far end of a COM port, a user who answers the modal
// windows, and the ways a test acts as the user (messages the windows take,
// SendInput for clicks).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestPrinter.h"

class ProgramForms;
class TComPort;
class TComSetupFrm;
class TFormMainPDV;
class TFormYellowMsg;

// Acts as the user on every modal window that comes up while it lives,
// looking every 10 ms, and notes what it saw, in order (its answers are
// posted, and a timer's turn comes only after them, so a window is answered
// once). A window is answered once it has been up for `patience` ms (0: at
// the first look), as a user reads it first:
//   a message box:          "<caption>: <text>", then its "OK";
//   the notice window:      "Notice: <text>", then `notice` (its "OK" unless a test says);
//   the port setup dialog:  "Setup", then `setup` ("OK" unless a test says);
//   a window left alone:    nothing; the test drives it itself;
//   any other window:       "Unexpected: <caption>", then it is closed.
class ModalUser {
 public:
  ModalUser();
  ~ModalUser();

  std::function<void(TComSetupFrm&)> setup;
  std::function<void(TFormYellowMsg&)> notice;
  int patience = 0;

  void LeaveAlone(HWND window) { leftAlone_.push_back(window); }
  const std::vector<std::string>& Saw() const { return seen_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Act();
  void ActOn(HWND window);

  UINT_PTR timer_;
  bool acting_ = false;
  std::vector<HWND> leftAlone_;
  std::vector<std::pair<HWND, DWORD>> firstSeen_;  // windows up, since when
  std::vector<std::string> seen_;
};

// The program's five windows for each case, the fiscal port on `printer`
// (by the COM port the test script lists in the system's port list, named in
// $FP_GUI_TEST_PORT, so that the setup dialog offers it), the main window
// shown. Cases reach the windows through the program's own globals
// (FormMainPDV, FormPorezi, ...). A case is skipped once the program has
// ended in this process (see LostLinkTest).
class ProgramFormsTest : public ::testing::Test {
 protected:
  ProgramFormsTest();
  ~ProgramFormsTest() override;

  void SetUp() override;

  TFormMainPDV& Window();
  TComPort& Port();

  // Of the requests the printer has received: how many carried `command`,
  // and the data of the last that did ("<none>" when none did).
  int CountOf(int command) const;
  std::string LastDataOf(int command) const;

  TestPrinter printer;

 private:
  std::unique_ptr<ProgramForms> forms_;
};

// A character typed in the main window.
void TypeInMainWindow(wchar_t key);
// A key pressed in a window of a modal loop: posted, so that the loop and
// IsDialogMessageW see it as they see a real key.
void PostKey(HWND window, UINT virtualKey);
// Left clicks at the middle of `window` through the system's input queue
// (SendInput), so that a disabled window takes none; then lets the program
// handle them.
void ClickWithMouse(HWND window, int clicks = 1);
// Handles the messages that are waiting, for `milliseconds`; a quit stays
// waiting.
void ProcessMessages(int milliseconds = 50);

// Whether another thread (as another program would) finds the notice
// window's "YellowMsg" mutex owned.
bool NoticeMutexHeldElsewhere();

std::string TextOf(HWND window);
bool Enabled(HWND window);
bool Checked(HWND checkBox);
std::string ComboText(HWND comboBox);
// Picks the item with text `text` as a user does (the list notifies its form).
void PickItem(HWND comboBox, const std::string& text);
