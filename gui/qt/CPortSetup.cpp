#include "gui/qt/CPortSetup.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "gui/qt/CPortCtl.h"
#include "gui/qt/Fonts.h"
#include "serial/CPort.h"

namespace {

constexpr int kRowPitch = 24;

QPushButton* MakeButton(const char* name, const char* text, int left, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(left, 184, 75, 25);
  return button;
}

}  // namespace

TComSetupFrm::TComSetupFrm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("ComSetupFrm");
  setWindowTitle("Setup");
  setFont(UiFont("MS Sans Serif", 11));
  setFixedSize(231, 216);

  GroupBox1 = new QGroupBox(" Settings ", this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(8, 8, 217, 169);

  std::array<QLabel**, 6> labels = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
  std::array<TComComboBox**, 6> combos = {&Combo1, &Combo2, &Combo3, &Combo4, &Combo5, &Combo6};
  for (std::size_t row = 0; row < kComSetupRows.size(); ++row) {
    const int offset = static_cast<int>(row) * kRowPitch;
    QLabel* label = new QLabel(kComSetupRows[row].label, GroupBox1);
    label->setObjectName(QString("Label%1").arg(row + 1));
    label->setGeometry(8, 24 + offset, 70, 13);
    *labels[row] = label;

    TComComboBox* combo = new TComComboBox(GroupBox1);
    combo->setObjectName(QString("Combo%1").arg(row + 1));
    combo->setGeometry(80, 16 + offset, 129, 21);
    combo->SetComProperty(kComSetupRows[row].property);
    *combos[row] = combo;
  }

  Button1 = MakeButton("Button1", "OK", 70, this);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  Button2 = MakeButton("Button2", "Cancel", 150, this);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  QWidget* order[] = {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6, Button1, Button2};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TComSetupFrm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ShowComSetupDialog(TCustomComPort& port) {
  TComSetupFrm form;  // no owner: a new dialog for each showing
  const std::array<TComComboBox*, 6> combos = {form.Combo1, form.Combo2, form.Combo3,
                                               form.Combo4, form.Combo5, form.Combo6};
  for (TComComboBox* combo : combos) combo->SetComPort(&port);
  for (TComComboBox* combo : combos) combo->UpdateSettings();

  if (form.exec() != QDialog::Accepted) return;

  std::array<const TComSelect*, 6> lists{};
  for (std::size_t i = 0; i < combos.size(); ++i) lists[i] = &combos[i]->Selector();
  ApplyComSetup(port, lists);
}
