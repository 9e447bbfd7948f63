#include "serial/CPortCtl.h"

#include <algorithm>

#include "serial/PortList.h"

namespace {

const std::vector<std::string> kBaudRateItems = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
const std::vector<std::string> kDataBitsItems = {"5", "6", "7", "8"};
const std::vector<std::string> kStopBitsItems = {"1", "1.5", "2"};
const std::vector<std::string> kParityItems = {"None", "Odd", "Even", "Mark", "Space"};
const std::vector<std::string> kFlowControlItems = {"Hardware", "Software", "None", "Custom"};

}  // namespace

std::vector<std::string> TComSelect::Items(TComProperty property) {
  switch (property) {
    case cpNone:
      return {};
    case cpPort:
      return ListSerialPorts();
    case cpBaudRate:
      return kBaudRateItems;
    case cpDataBits:
      return kDataBitsItems;
    case cpStopBits:
      return kStopBitsItems;
    case cpParity:
      return kParityItems;
    case cpFlowControl:
      return kFlowControlItems;
  }
  return {};
}

std::string TComSelect::CurrentText() const {
  if (!ComPort) return {};
  switch (ComProperty) {
    case cpNone:
      return {};
    case cpPort:
      return ComPort->Port();
    case cpBaudRate:
      return kBaudRateItems.at(ComPort->BaudRate());
    case cpDataBits:
      return kDataBitsItems.at(ComPort->DataBits());
    case cpStopBits:
      return kStopBitsItems.at(ComPort->StopBits());
    case cpParity:
      return kParityItems.at(ComPort->Parity().Bits());
    case cpFlowControl:
      return kFlowControlItems.at(ComPort->FlowControl().FlowControl());
  }
  return {};
}

void TComSelect::Choose(int index, const std::string& text) {
  switch (ComProperty) {
    case cpNone:
      break;
    case cpPort:
      Port = text;
      break;
    case cpBaudRate:
      BaudRate = static_cast<TBaudRate>(index);
      break;
    case cpDataBits:
      DataBits = static_cast<TDataBits>(index);
      break;
    case cpStopBits:
      StopBits = static_cast<TStopBits>(index);
      break;
    case cpParity:
      Parity = static_cast<TParityBits>(index);
      break;
    case cpFlowControl:
      FlowControl = static_cast<TFlowControl>(index);
      break;
  }
}

void TComSelect::Apply() const {
  if (!ComPort) return;
  switch (ComProperty) {
    case cpNone:
      break;
    case cpPort:
      ComPort->SetPort(Port);
      break;
    case cpBaudRate:
      ComPort->SetBaudRate(BaudRate);
      break;
    case cpDataBits:
      ComPort->SetDataBits(DataBits);
      break;
    case cpStopBits:
      ComPort->SetStopBits(StopBits);
      break;
    case cpParity:
      ComPort->Parity().SetBits(Parity);
      break;
    case cpFlowControl:
      ComPort->FlowControl().SetFlowControl(FlowControl);
      break;
  }
}

void TComSelect::SetComProperty(TComProperty property) {
  ComProperty = property;
  ItemTexts = Items(property);
}

int TComSelect::UpdateSettings() {
  if (!ComPort) return -1;
  const int index = IndexOfText(CurrentText());
  if (index >= 0) Choose(index, ItemTexts[static_cast<std::size_t>(index)]);
  return index;
}

int TComSelect::IndexOfText(const std::string& text) const {
  // Regardless of ASCII case, as a drop-down list finds its items.
  auto same = [&](const std::string& item) {
    return std::equal(item.begin(), item.end(), text.begin(), text.end(), [](char a, char b) {
      auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : int(c); };
      return lower(a) == lower(b);
    });
  };
  auto it = std::find_if(ItemTexts.begin(), ItemTexts.end(), same);
  return it == ItemTexts.end() ? -1 : static_cast<int>(it - ItemTexts.begin());
}

void TComSelect::Pick(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= ItemTexts.size()) return;
  Choose(index, ItemTexts[static_cast<std::size_t>(index)]);
  if (AutoApply) Apply();
}

void ApplyComSetup(TCustomComPort& port, std::span<const TComSelect* const> lists) {
  port.BeginUpdate();
  try {
    for (const TComSelect* list : lists) list->Apply();
  } catch (...) {
    // A port left inside an update would never re-apply a setting again.
    port.EndUpdate();
    throw;
  }
  port.EndUpdate();
}
