#include "gui/qt/CPortCtl.h"

#include "gui/qt/Dialogs.h"

TComComboBox::TComComboBox(QWidget* parent)
    : QComboBox(parent), select_(std::make_unique<TComSelect>()) {
  setEditable(false);  // a pure drop-down list: pick, never type
  connect(this, &QComboBox::activated, this,
          [this](int index) { Guarded([&] { ItemPicked(index); }); });
}

TComComboBox::~TComComboBox() = default;

void TComComboBox::SetComProperty(TComProperty property) {
  select_->SetComProperty(property);
  clear();
  for (const std::string& item : select_->ItemTexts) addItem(QString::fromStdString(item));
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
  setCurrentIndex(select_->UpdateSettings());
}

void TComComboBox::ApplySettings() {
  select_->Apply();
}

void TComComboBox::ItemPicked(int index) {
  select_->Pick(index);
}
