// The Win32 drop-down list bound to one setting of a serial port: a
// CBS_DROPDOWNLIST combo box drawing a TComSelect (serial/CPortCtl.h), which
// holds the rules.
#pragma once

#include <windows.h>

#include <memory>

#include "serial/CPortCtl.h"

class TComComboBox {
 public:
  // Takes over a combo box of style CBS_DROPDOWNLIST: pick, never type.
  explicit TComComboBox(HWND comboBox);
  ~TComComboBox();

  HWND Handle() const { return comboBox_; }

  TComProperty ComProperty() const { return select_->ComProperty; }
  void SetComProperty(TComProperty property);  // refills the list
  TCustomComPort* ComPort() const { return select_->ComPort; }
  void SetComPort(TCustomComPort* port);  // binds, then UpdateSettings
  bool AutoApply() const { return select_->AutoApply; }
  void SetAutoApply(bool value) { select_->AutoApply = value; }

  void UpdateSettings();
  void ApplySettings();
  // The user picked an item (CBN_SELCHANGE, which a program's own selection
  // does not send).
  void ItemPicked();

  const TComSelect& Selector() const { return *select_; }

 private:
  HWND comboBox_;
  std::unique_ptr<TComSelect> select_;
};
