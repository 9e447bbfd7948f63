#include "gui/qt/P11_Porezi.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "device/P00_FP.h"
#include "framework/CodePage.h"
#include "gui/qt/Dialogs.h"
#include "gui/qt/Fonts.h"
#include "gui/qt/Placement.h"

TFormPorezi* FormPorezi = nullptr;

namespace {

constexpr int kMaskLeft = 16;
constexpr int kMaskTops[kTaxGroups] = {31, 63, 95, 127, 159, 191, 223, 255};
constexpr int kRateLeft = 72;
constexpr int kRateTops[kTaxGroups] = {27, 60, 92, 124, 156, 188, 220, 252};
constexpr int kRateWidth = 48;
constexpr int kRateHeight = 24;
constexpr int kLabelSpacing = 16;
const char* const kGroupLetters[kTaxGroups] = {"A", "B", "C", "D", "E", "F", "G", "H"};

QString IndexedName(const char* stem, int index) {
  return stem + QString::number(index);
}

QPushButton* MakeButton(const char* name, const QString& text, const QRect& geometry,
                        QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(geometry);
  // A focused button is pressed by Enter in keyPressEvent; no button is ever
  // the dialog's default, so Enter in a rate box stays harmless.
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TFormPorezi::TFormPorezi(QWidget* parent) : QDialog(parent) {
  setObjectName("FormPorezi");
  setWindowTitle("Porezi");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(322, 332);
  setFont(UiFont("Verdana", 13));

  ButtonProcitaj = MakeButton("ButtonProcitaj", "Pročitaj", QRect(188, 233, 110, 30), this);
  ButtonUpisi = MakeButton("ButtonUpisi", "Upiši u FP", QRect(188, 283, 110, 30), this);
  GroupPoreziDozvoljeni = new QGroupBox("Porezi      Stope", this);
  GroupPoreziDozvoljeni->setObjectName("GroupPoreziDozvoljeni");
  GroupPoreziDozvoljeni->setGeometry(24, 21, 138, 292);
  BuildGroupRows();
  SetTabOrder();
  ButtonProcitaj->setFocus();

  connect(ButtonProcitaj, &QPushButton::clicked, this,
          [this] { Guarded([this] { ButtonProcitajClick(); }); });
  connect(ButtonUpisi, &QPushButton::clicked, this,
          [this] { Guarded([this] { ButtonUpisiClick(); }); });

  // The editor sees every key before the focused control does, so Escape
  // closes it wherever the focus is.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void TFormPorezi::BuildGroupRows() {
  const QFont letterFont = UiFont("Verdana", 13, true);
  for (int group = 0; group < kTaxGroups; ++group) {
    CheckBoxMask[group] = new QCheckBox(GroupPoreziDozvoljeni);
    CheckBoxMask[group]->setObjectName(IndexedName("CheckBoxMask", group));
    CheckBoxMask[group]->setGeometry(kMaskLeft, kMaskTops[group], 24, 17);
    CheckBoxMask[group]->setChecked(true);

    LEditProc[group] = new QLineEdit("0", GroupPoreziDozvoljeni);
    LEditProc[group]->setObjectName(IndexedName("LEditProc", group));
    LEditProc[group]->setGeometry(kRateLeft, kRateTops[group], kRateWidth, kRateHeight);

    LabelProc[group] = new QLabel(kGroupLetters[group], GroupPoreziDozvoljeni);
    LabelProc[group]->setObjectName(IndexedName("LabelProc", group));
    LabelProc[group]->setFont(letterFont);
    LabelProc[group]->setBuddy(LEditProc[group]);
    const int width = LabelProc[group]->fontMetrics().horizontalAdvance(kGroupLetters[group]);
    LabelProc[group]->setGeometry(kRateLeft - kLabelSpacing - width, kRateTops[group], width,
                                  kRateHeight);
    LabelProc[group]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
}

void TFormPorezi::SetTabOrder() {
  QWidget* previous = ButtonProcitaj;
  auto chain = [&previous](QWidget* next) {
    QWidget::setTabOrder(previous, next);
    previous = next;
  };
  chain(ButtonUpisi);
  for (int group = 0; group < kTaxGroups; ++group) {
    chain(CheckBoxMask[group]);
    chain(LEditProc[group]);
  }
}

void TFormPorezi::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  CentreOnScreen(*this);
  // A failure of the read is shown here and the editor opens all the same.
  Guarded([this] { FormShow(); });
}

void TFormPorezi::keyPressEvent(QKeyEvent* event) {
  if (FormKeyDown(*event)) return;
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (auto* button = qobject_cast<QPushButton*>(focusWidget()); enter && button) {
    button->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TFormPorezi::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && FormKeyDown(*static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool TFormPorezi::FormKeyDown(const QKeyEvent& event) {
  if (event.key() != Qt::Key_Escape) return false;
  close();
  return true;
}

void TFormPorezi::FormShow() {
  for (QCheckBox* mask : CheckBoxMask) mask->setEnabled(false);
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
  ShowWarning(QString::fromStdString(text));
}

void TFormPorezi::ShowEnableMask(const TaxEnableMask& enabled) {
  for (int group = 0; group < kTaxGroups; ++group) CheckBoxMask[group]->setChecked(enabled[group]);
}

void TFormPorezi::ShowRates(const TaxRates& rates) {
  for (int group = 0; group < kTaxGroups; ++group) {
    LEditProc[group]->setText(QString::fromStdString(DeviceToUtf8(rates[group])));
  }
}

TaxEnableMask TFormPorezi::EnableMaskShown() const {
  TaxEnableMask enabled{};
  for (int group = 0; group < kTaxGroups; ++group)
    enabled[group] = CheckBoxMask[group]->isChecked();
  return enabled;
}

TaxRates TFormPorezi::RatesTyped() const {
  TaxRates rates;
  for (int group = 0; group < kTaxGroups; ++group) {
    rates[group] = Utf8ToDevice(LEditProc[group]->text().toStdString());
  }
  return rates;
}
