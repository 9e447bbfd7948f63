// The notice window: one text, an OK button, and the named mutex "YellowMsg"
// held while it shows, so that programs beside this one can tell a notice is
// up. Each showing restores the program and brings the notice to the front.
//
// The layout follows the text (messages/NoticeLayout.h). The first notice
// opens centred in the work area; every later one where the last was left.
#pragma once

#include <optional>
#include <string>

#include "framework/NamedLock.h"
#include "gui/win32/Window.h"

class TFormYellowMsg : public TForm {
 public:
  TFormYellowMsg();

  static constexpr int IDC_GroupBox1 = 400;
  static constexpr int IDC_LabelMsg = 401;
  static constexpr int IDC_Button1 = 402;

  // Shows an 8-bit (Windows-1250) text modally; returns when it was closed.
  void ShowText(const std::string& deviceText);

  void Button1Click();

  HWND GroupBox1;
  HWND LabelMsg;
  HWND Button1;

 protected:
  void FormShow() override;
  void FormShown() override;
  void FormClose() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ApplyLayout();
  SIZE LabelNeeds();

  NamedLock mutex_{"YellowMsg"};
  std::optional<POINT> lastTopLeft_;
};

extern TFormYellowMsg* FormYellowMsg;
