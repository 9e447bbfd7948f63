#include "gui/win32/P11_Porezi.h"

#include "device/P00_FP.h"
#include "framework/CodePage.h"
#include "gui/win32/Dialogs.h"
#include "gui/win32/Placement.h"
#include "gui/win32/Text.h"

TFormPorezi* FormPorezi = nullptr;

namespace {

// The group box's children are the form's, placed from the group's origin.
constexpr int kGroupLeft = 24;
constexpr int kGroupTop = 21;
constexpr int kMaskLeft = 16;
constexpr int kMaskTops[kTaxGroups] = {31, 63, 95, 127, 159, 191, 223, 255};
constexpr int kRateLeft = 72;
constexpr int kRateTops[kTaxGroups] = {27, 60, 92, 124, 156, 188, 220, 252};
constexpr int kRateWidth = 48;
constexpr int kRateHeight = 24;
constexpr int kLabelSpacing = 16;
const char* const kGroupLetters[kTaxGroups] = {"A", "B", "C", "D", "E", "F", "G", "H"};

// Not WS_CLIPCHILDREN: the form paints the inside of its group box, which
// draws only its frame and title.
constexpr DWORD kEditorStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

DesignRect InGroup(int left, int top, int width, int height) {
  return {kGroupLeft + left, kGroupTop + top, width, height};
}

}  // namespace

TFormPorezi::TFormPorezi()
    : TForm({L"TFormPorezi", kEditorStyle, &kVerdana13, GetSysColorBrush(COLOR_BTNFACE),
             GetSysColor(COLOR_BTNTEXT)},
            "Porezi", {322, 332}) {
  // Created in tab order: the buttons, then the group's rows.
  ButtonProcitaj = AddControl(L"BUTTON", "Pročitaj", BS_PUSHBUTTON | WS_TABSTOP, IDC_ButtonProcitaj,
                              {188, 233, 110, 30});
  ButtonUpisi = AddControl(L"BUTTON", "Upiši u FP", BS_PUSHBUTTON | WS_TABSTOP, IDC_ButtonUpisi,
                           {188, 283, 110, 30});
  GroupPoreziDozvoljeni = AddControl(L"BUTTON", "Porezi      Stope", BS_GROUPBOX,
                                     IDC_GroupPoreziDozvoljeni, {kGroupLeft, kGroupTop, 138, 292});
  for (int group = 0; group < kTaxGroups; ++group) AddGroupRow(group);
}

void TFormPorezi::AddGroupRow(int group) {
  CheckBoxMask[group] =
      AddControl(L"BUTTON", "", BS_CHECKBOX | WS_TABSTOP, IDC_CheckBoxMask0 + group,
                 InGroup(kMaskLeft, kMaskTops[group], 24, 17));
  SendMessageW(CheckBoxMask[group], BM_SETCHECK, BST_CHECKED, 0);

  LEditProc[group] = AddControl(L"EDIT", "0", ES_AUTOHSCROLL | WS_TABSTOP, IDC_LEditProc0 + group,
                                InGroup(kRateLeft, kRateTops[group], kRateWidth, kRateHeight),
                                nullptr, WS_EX_CLIENTEDGE);
  // A rate is free text without a length limit.
  SendMessageW(LEditProc[group], EM_SETLIMITTEXT, 0, 0);

  const int width = DesignTextWidth(kGroupLetters[group], kVerdana13Bold);
  LabelProc[group] =
      AddControl(L"STATIC", kGroupLetters[group], SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX,
                 IDC_LabelProc0 + group,
                 InGroup(kRateLeft - kLabelSpacing - width, kRateTops[group], width, kRateHeight),
                 &kVerdana13Bold);
}

void TFormPorezi::FormShow() {
  CentreOnWorkArea(Handle(), OuterSize());
  for (HWND mask : CheckBoxMask) EnableWindow(mask, FALSE);
  ReadTaxes();
}

void TFormPorezi::ButtonProcitajClick() {
  ReadTaxes();
}

void TFormPorezi::ButtonUpisiClick() {
  WriteTaxes();
}

void TFormPorezi::ReadTaxes() {
  ReadTaxesInto(*this, FormFP->FPCommand);
}

void TFormPorezi::WriteTaxes() {
  WriteTaxesShown(*this, FormFP->FPCommand);
}

void TFormPorezi::ShowRefusal(const std::string& text) {
  ShowWarning(text);
}

void TFormPorezi::ShowEnableMask(const TaxEnableMask& enabled) {
  for (int group = 0; group < kTaxGroups; ++group) {
    SendMessageW(CheckBoxMask[group], BM_SETCHECK, enabled[group] ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void TFormPorezi::ShowRates(const TaxRates& rates) {
  for (int group = 0; group < kTaxGroups; ++group) {
    SetWindowTextUtf8(LEditProc[group], DeviceToUtf8(rates[group]));
  }
}

TaxEnableMask TFormPorezi::EnableMaskShown() const {
  TaxEnableMask enabled{};
  for (int group = 0; group < kTaxGroups; ++group) {
    enabled[group] = SendMessageW(CheckBoxMask[group], BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  return enabled;
}

TaxRates TFormPorezi::RatesTyped() const {
  TaxRates rates;
  for (int group = 0; group < kTaxGroups; ++group) {
    rates[group] = Utf8ToDevice(WindowText(LEditProc[group]));
  }
  return rates;
}

LRESULT TFormPorezi::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case IDC_ButtonProcitaj:
        if (HIWORD(wParam) == BN_CLICKED) Guarded([this] { ButtonProcitajClick(); });
        return 0;
      case IDC_ButtonUpisi:
        if (HIWORD(wParam) == BN_CLICKED) Guarded([this] { ButtonUpisiClick(); });
        return 0;
      case IDCANCEL:  // Escape, wherever the focus is
        Close();
        return 0;
      case IDOK: {  // Enter: a focused button is pressed, a rate box ignores it
        HWND focus = GetFocus();
        if (focus == ButtonProcitaj || focus == ButtonUpisi) SendMessageW(focus, BM_CLICK, 0, 0);
        return 0;
      }
    }
  }
  return TForm::HandleMessage(message, wParam, lParam);
}
