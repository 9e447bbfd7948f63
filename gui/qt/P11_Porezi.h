// The tax group editor: which of the groups A..H the printer has enabled and
// at which rate, and writing new rates back with command 96.
//
// The rules live in TaxRules.h; this window only shows what they read and
// hands them what the user typed. It looks at no result code. Rates the
// rules refuse (nothing read, a comma or a control character in a rate) get
// a warning box and are not sent; port failures go to the default exception
// display.
//
// Keys: Escape closes the editor from any control, with or without shift
// keys, and writes nothing. Enter presses a focused button (as Space does) and
// does nothing in a rate box, so finishing a rate with Enter never reads the
// printer over it or writes by surprise.
#pragma once

#include <QDialog>

#include "device/TaxRules.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormPorezi : public QDialog, public TaxEditorView {
  Q_OBJECT
 public:
  explicit TFormPorezi(QWidget* parent = nullptr);

  void ReadTaxes();
  void WriteTaxes();

  // Event handlers.
  void FormShow();
  void ButtonProcitajClick();
  void ButtonUpisiClick();
  // True when the key closed the editor (and is consumed).
  bool FormKeyDown(const QKeyEvent& event);

  QPushButton* ButtonProcitaj;
  QPushButton* ButtonUpisi;
  QGroupBox* GroupPoreziDozvoljeni;
  QCheckBox* CheckBoxMask[kTaxGroups];
  QLineEdit* LEditProc[kTaxGroups];
  QLabel* LabelProc[kTaxGroups];  // "A".."H", attached on the left of LEditProc

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildGroupRows();
  void SetTabOrder();
  void ShowEnableMask(const TaxEnableMask& enabled) override;
  void ShowRates(const TaxRates& rates) override;
  TaxEnableMask EnableMaskShown() const override;
  TaxRates RatesTyped() const override;
  void ShowRefusal(const std::string& text) override;
};

extern TFormPorezi* FormPorezi;
