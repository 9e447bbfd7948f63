// The Qt drop-down list bound to one setting of a serial port: draws a
// TComSelect (serial/CPortCtl.h), which holds the rules.
#pragma once

#include <QComboBox>
#include <memory>

#include "serial/CPortCtl.h"

class TComComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TComComboBox(QWidget* parent = nullptr);
  ~TComComboBox() override;

  TComProperty ComProperty() const { return select_->ComProperty; }
  void SetComProperty(TComProperty property);  // refills the list
  TCustomComPort* ComPort() const { return select_->ComPort; }
  void SetComPort(TCustomComPort* port);  // binds, then UpdateSettings
  bool AutoApply() const { return select_->AutoApply; }
  void SetAutoApply(bool value) { select_->AutoApply = value; }

  void UpdateSettings();
  void ApplySettings();

  const TComSelect& Selector() const { return *select_; }

 private:
  void ItemPicked(int index);

  std::unique_ptr<TComSelect> select_;
};
