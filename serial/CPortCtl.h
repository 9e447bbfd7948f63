// The rules of a drop-down list bound to one setting of a serial port, and
// of the setup dialog made of six such lists; each front end draws the list
// (TComComboBox) over a TComSelect.
//
// A list holds the item texts of its setting (ComProperty), selects the item
// of the bound port's current value (UpdateSettings) and writes the chosen
// value back on request (Apply). The chosen value changes only when the user
// picks an item or UpdateSettings finds one.
#pragma once

#include <array>
#include <span>
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

  // The items shown, refilled by SetComProperty.
  std::vector<std::string> ItemTexts;
  void SetComProperty(TComProperty property);
  // Finds the item of the bound port's current value regardless of case and
  // chooses it; returns its index, -1 (nothing to show selected) when there
  // is none or no port is bound.
  int UpdateSettings();
  int IndexOfText(const std::string& text) const;
  // The user picked the item at `index`; applied at once with AutoApply.
  void Pick(int index);
};

// The setup dialog's lists, in row order, with their labels.
struct ComSetupRow {
  const char* label;
  TComProperty property;
};
constexpr std::array<ComSetupRow, 6> kComSetupRows = {{
    {"Port", cpPort},
    {"Baud rate", cpBaudRate},
    {"Data bits", cpDataBits},
    {"Stop bits", cpStopBits},
    {"Parity", cpParity},
    {"Flow control", cpFlowControl},
}};

// What "OK" in the setup dialog does: every list's chosen value is written to
// the port in one update, so an open port re-applies its settings once.
void ApplyComSetup(TCustomComPort& port, std::span<const TComSelect* const> lists);
