// The port setup dialog: port name, baud rate, data bits, stop bits, parity
// and flow-control mode of one serial port, each in a bound drop-down list.
// ShowComSetupDialog, which the front end installs as every port's setup
// dialog, creates one for each showing; the port's settings change only when
// the user leaves it with "OK".
//
// Keys: Tab moves through the lists and buttons; Enter is "OK" (or the
// focused button); no key stands for "Cancel": Escape leaves the dialog open.
#pragma once

#include <array>
#include <memory>

#include "gui/win32/CPortCtl.h"
#include "gui/win32/Window.h"

class TComSetupFrm : public TForm {
 public:
  TComSetupFrm();
  ~TComSetupFrm() override;

  static constexpr int IDC_GroupBox1 = 200;
  static constexpr int IDC_Label1 = 201;  // + row
  static constexpr int IDC_Combo1 = 211;  // + row
  static constexpr int IDC_Button1 = 220;
  static constexpr int IDC_Button2 = 221;

  HWND GroupBox1;
  std::array<HWND, 6> Label{};           // Label1 .. Label6
  std::array<TComComboBox*, 6> Combo{};  // Combo1 .. Combo6
  HWND Button1;
  HWND Button2;

  // Whether the user left the dialog with "OK".
  bool Accepted() const { return accepted_; }

 protected:
  void FormShow() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CloseWith(bool accepted);

  std::array<std::unique_ptr<TComComboBox>, 6> combos_;
  bool accepted_ = false;
};

// Runs the setup dialog for `port` modally (TCustomComPort::ShowSetupDialog).
void ShowComSetupDialog(TCustomComPort& port);
