// The tax group editor: which of the groups A..H the printer has enabled and
// at which rate, and writing new rates back with command 96.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class TFormPorezi : public QDialog {
  Q_OBJECT
 public:
  explicit TFormPorezi(QWidget* parent = nullptr);

  void ReadTaxes();
  void WriteTaxes();

  QPushButton* ButtonProcitaj;
  QPushButton* ButtonUpisi;
  QGroupBox* GroupPoreziDozvoljeni;
  QCheckBox* CheckBoxMask[8];
  QLineEdit* LEditProc[8];
};

extern TFormPorezi* FormPorezi;
