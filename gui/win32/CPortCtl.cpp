#include "gui/win32/CPortCtl.h"

#include "gui/win32/Text.h"

TComComboBox::TComComboBox(HWND comboBox)
    : comboBox_(comboBox), select_(std::make_unique<TComSelect>()) {}

TComComboBox::~TComComboBox() = default;

void TComComboBox::SetComProperty(TComProperty property) {
  select_->SetComProperty(property);
  SendMessageW(comboBox_, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : select_->ItemTexts) {
    SendMessageW(comboBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }
  if (select_->ItemTexts.empty()) return;
  if (ComPort()) {
    UpdateSettings();
  } else {
    SendMessageW(comboBox_, CB_SETCURSEL, 0, 0);
  }
}

void TComComboBox::SetComPort(TCustomComPort* port) {
  if (port == select_->ComPort) return;
  select_->ComPort = port;
  UpdateSettings();
}

void TComComboBox::UpdateSettings() {
  if (!ComPort()) return;
  // -1 leaves no item selected.
  SendMessageW(comboBox_, CB_SETCURSEL, static_cast<WPARAM>(select_->UpdateSettings()), 0);
}

void TComComboBox::ApplySettings() {
  select_->Apply();
}

void TComComboBox::ItemPicked() {
  const LRESULT index = SendMessageW(comboBox_, CB_GETCURSEL, 0, 0);
  if (index != CB_ERR) select_->Pick(static_cast<int>(index));
}
