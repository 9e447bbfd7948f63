// The main window: a fixed menu of four panels, chosen by a click or a digit.
// The menu's rules are MainMenu's (device/MainMenu.h); this window draws them.
#pragma once

#include <QWidget>
#include <memory>

#include "device/MainMenu.h"
#include "serial/CPort.h"

class TPanel;
class TLinkLabel;
class QFrame;

class TFormMainPDV : public QWidget, public MainMenuView {
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
  void ShowPanel(int item, bool enabled, const std::string& caption) override;
  void ShowMessage(MessageKind kind, const std::string& text) override;
  void ShowTaxEditor() override;
  void CloseMainWindow() override;

  std::unique_ptr<MainMenu> menu_;
};

extern TFormMainPDV* FormMainPDV;
