// The main window: a fixed menu of four panels, chosen by a click or a digit.
//
//   1  port setup and clock read; a successful read unlocks 2 and 3
//   2  the tax group editor
//   3  the X report
//   0  end the program (so do Escape and the close box)
//
// The keys act whatever the menu state; the state only decides which panels
// take clicks and what they say.
#pragma once

#include <QWidget>

#include "serial/CPort.h"

class TPanel;
class TLinkLabel;
class QFrame;

class TFormMainPDV : public QWidget {
  Q_OBJECT
 public:
  // Builds the window and publishes ComPortFiskal as FiscalPort.
  explicit TFormMainPDV(QWidget* parent = nullptr);
  ~TFormMainPDV() override;

  TComPort* ComPortFiskal;
  TPanel* Panel2;
  TPanel* Panel3;
  TPanel* Panel1;
  QFrame* Panel12;
  TLinkLabel* LabelMail;
  TLinkLabel* LabelWeb;
  TPanel* Panel0;

  void FormShow();
  void FormKeyPress(QChar key);
  void PanelClick(TPanel* panel);
  void LabelMailClick();
  void LabelWebClick(TLinkLabel* label);

  // Menu item 1 after the port setup: probe, checked clock read, unlock.
  void ReadDeviceTime();
  bool Unlocked() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void MenuItem1();
  void MenuItem2();
  void MenuItem3();
  void SetLocked();
  void SetUnlocked();
};

extern TFormMainPDV* FormMainPDV;

// The start values of the one serial port, as the main window's design sets them.
void SetDesignValues(TComPort& port);
