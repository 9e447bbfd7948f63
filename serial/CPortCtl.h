// Drop-down lists bound to one setting of a serial port.
//
// A TComComboBox fills itself with the items of its setting (ComProperty),
// selects the item of the bound port's current value (UpdateSettings) and
// writes the chosen value back on request (ApplySettings). The chosen value
// lives in its TComSelect companion, which knows nothing of windows; it
// changes only when the user picks an item or UpdateSettings finds one.
#pragma once

#include <QComboBox>
#include <memory>
#include <string>
#include <vector>

#include "serial/CPort.h"

enum TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

class TComSelect {
 public:
  TComProperty ComProperty = cpNone;
  TCustomComPort* ComPort = nullptr;
  bool AutoApply = false;

  // The chosen values; only the one of ComProperty is used.
  std::string Port;
  TBaudRate BaudRate = brCustom;
  TDataBits DataBits = dbFive;
  TStopBits StopBits = sbOneStopBit;
  TParityBits Parity = prNone;
  TFlowControl FlowControl = fcHardware;

  // The item texts of a setting, in the order of its enumeration; for
  // cpPort the serial ports of the system, read afresh.
  static std::vector<std::string> Items(TComProperty property);
  // The item text that stands for the bound port's current value.
  std::string CurrentText() const;
  // The chosen value becomes that of the item at `index` with text `text`.
  void Choose(int index, const std::string& text);
  // Writes the chosen value to the bound port through its setter.
  void Apply() const;
};

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
