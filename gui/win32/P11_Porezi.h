// The tax group editor: which of the groups A..H the printer has enabled and
// at which rate, and writing new rates back with command 96.
//
// The rules live in TaxRules.h; this window only shows what they read and
// hands them what the user typed. It looks at no result code: port failures
// go to the default exception display. Rates the rules refuse to write are
// explained in a warning box, and nothing is sent.
//
// Keys: Escape closes the editor from any control and writes nothing. Enter
// presses a focused button (as Space does) and does nothing in a rate box, so
// finishing a rate with Enter never reads the printer over it or writes by
// surprise.
#pragma once

#include "device/TaxRules.h"
#include "gui/win32/Window.h"

class TFormPorezi : public TForm, public TaxEditorView {
 public:
  TFormPorezi();

  static constexpr int IDC_ButtonProcitaj = 300;
  static constexpr int IDC_ButtonUpisi = 301;
  static constexpr int IDC_GroupPoreziDozvoljeni = 302;
  static constexpr int IDC_CheckBoxMask0 = 310;  // + group
  static constexpr int IDC_LEditProc0 = 320;     // + group
  static constexpr int IDC_LabelProc0 = 330;     // + group

  void ReadTaxes();
  void WriteTaxes();

  void ButtonProcitajClick();
  void ButtonUpisiClick();

  HWND ButtonProcitaj;
  HWND ButtonUpisi;
  HWND GroupPoreziDozvoljeni;
  HWND CheckBoxMask[kTaxGroups];
  HWND LEditProc[kTaxGroups];
  HWND LabelProc[kTaxGroups];  // "A".."H", attached on the left of LEditProc

 protected:
  void FormShow() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void AddGroupRow(int group);
  void ShowEnableMask(const TaxEnableMask& enabled) override;
  void ShowRates(const TaxRates& rates) override;
  TaxEnableMask EnableMaskShown() const override;
  TaxRates RatesTyped() const override;
  void ShowRefusal(const std::string& text) override;
};

extern TFormPorezi* FormPorezi;
