#include "serial/CPortCtl.h"

#include "framework/Dialogs.h"
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

TComComboBox::TComComboBox(QWidget* parent)
    : QComboBox(parent), select_(std::make_unique<TComSelect>()) {
  setEditable(false);  // a pure drop-down list: pick, never type
  connect(this, &QComboBox::activated, this,
          [this](int index) { Guarded([&] { ItemPicked(index); }); });
}

TComComboBox::~TComComboBox() = default;

void TComComboBox::SetComProperty(TComProperty property) {
  select_->ComProperty = property;
  clear();
  for (const std::string& item : TComSelect::Items(property)) {
    addItem(QString::fromStdString(item));
  }
  if (count() == 0) return;
  if (ComPort()) {
    UpdateSettings();
  } else {
    setCurrentIndex(0);
  }
}

void TComComboBox::SetComPort(TCustomComPort* port) {
  if (port == select_->ComPort) return;
  select_->ComPort = port;
  UpdateSettings();
}

void TComComboBox::UpdateSettings() {
  if (!ComPort()) return;
  // MatchFixedString without MatchCaseSensitive compares regardless of case.
  int index = findText(QString::fromStdString(select_->CurrentText()), Qt::MatchFixedString);
  setCurrentIndex(index);
  if (index >= 0) select_->Choose(index, itemText(index).toStdString());
}

void TComComboBox::ApplySettings() {
  select_->Apply();
}

void TComComboBox::ItemPicked(int index) {
  if (index < 0) return;
  select_->Choose(index, itemText(index).toStdString());
  if (AutoApply()) ApplySettings();
}
