#include "gui/win32/CPortSetup.h"

#include "gui/win32/Dialogs.h"
#include "gui/win32/Placement.h"
#include "serial/CPort.h"

namespace {

// Not WS_CLIPCHILDREN: the form paints the inside of its group box, which
// draws only its frame and title.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// The group box's children are the form's, placed from the group's origin.
constexpr int kGroupLeft = 8;
constexpr int kGroupTop = 8;
constexpr int kRowPitch = 24;
// A drop-down list's height counts its open list; the closed box takes the
// height of its font.
constexpr int kDroppedHeight = 240;

}  // namespace

TComSetupFrm::TComSetupFrm()
    : TForm({L"TComSetupFrm", kDialogStyle, &kSansSerif8, GetSysColorBrush(COLOR_BTNFACE),
             GetSysColor(COLOR_BTNTEXT)},
            "Setup", {231, 216}) {
  // Created in tab order: the group's lists, then "OK" and "Cancel".
  GroupBox1 = AddControl(L"BUTTON", " Settings ", BS_GROUPBOX, IDC_GroupBox1,
                         {kGroupLeft, kGroupTop, 217, 169});
  for (std::size_t row = 0; row < kComSetupRows.size(); ++row) {
    const int offset = static_cast<int>(row) * kRowPitch;
    const int id = static_cast<int>(row);
    Label[row] = AddControl(L"STATIC", kComSetupRows[row].label, SS_LEFT | SS_NOPREFIX,
                            IDC_Label1 + id, {kGroupLeft + 8, kGroupTop + 24 + offset, 70, 13});
    HWND comboBox =
        AddControl(L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_Combo1 + id,
                   {kGroupLeft + 80, kGroupTop + 16 + offset, 129, kDroppedHeight});
    combos_[row] = std::make_unique<TComComboBox>(comboBox);
    combos_[row]->SetComProperty(kComSetupRows[row].property);
    Combo[row] = combos_[row].get();
  }
  Button1 =
      AddControl(L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_Button1, {70, 184, 75, 25});
  Button2 =
      AddControl(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDC_Button2, {150, 184, 75, 25});
}

TComSetupFrm::~TComSetupFrm() = default;

void TComSetupFrm::FormShow() {
  CentreOnWorkArea(Handle(), OuterSize());
}

void TComSetupFrm::CloseWith(bool accepted) {
  accepted_ = accepted;
  Close();
}

LRESULT TComSetupFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    const int id = LOWORD(wParam);
    if (id >= IDC_Combo1 && id < IDC_Combo1 + static_cast<int>(Combo.size())) {
      if (HIWORD(wParam) == CBN_SELCHANGE) Guarded([&] { Combo[id - IDC_Combo1]->ItemPicked(); });
      return 0;
    }
    switch (id) {
      case IDC_Button1:
        CloseWith(true);
        return 0;
      case IDC_Button2:
        CloseWith(false);
        return 0;
      case IDOK:  // Enter: the focused button, else the default one
        CloseWith(GetFocus() != Button2);
        return 0;
      case IDCANCEL:  // Escape is no key of this dialog
        return 0;
    }
  }
  return TForm::HandleMessage(message, wParam, lParam);
}

void ShowComSetupDialog(TCustomComPort& port) {
  TComSetupFrm form;  // a new dialog for each showing
  for (TComComboBox* combo : form.Combo) combo->SetComPort(&port);
  for (TComComboBox* combo : form.Combo) combo->UpdateSettings();

  form.ShowModal();
  if (!form.Accepted()) return;

  std::array<const TComSelect*, 6> lists{};
  for (std::size_t i = 0; i < form.Combo.size(); ++i) lists[i] = &form.Combo[i]->Selector();
  ApplyComSetup(port, lists);
}
