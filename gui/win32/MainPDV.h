// The main window: a fixed menu of four panels, chosen by a click or a digit.
// The menu's rules are MainMenu's (device/MainMenu.h); this window draws them.
//
// The window has no control that takes the keyboard focus, so every
// character typed while it is active reaches FormKeyPress.
#pragma once

#include <memory>

#include "device/MainMenu.h"
#include "gui/win32/Panel.h"
#include "gui/win32/Window.h"
#include "serial/CPort.h"

class TFormMainPDV : public TForm, public MainMenuView {
 public:
  // Builds the window and publishes ComPortFiskal as FiscalPort.
  TFormMainPDV();
  ~TFormMainPDV() override;

  static constexpr int IDC_Panel0 = 100;  // IDC_Panel0 + n is Panel<n>
  static constexpr int IDC_Panel1 = 101;
  static constexpr int IDC_Panel2 = 102;
  static constexpr int IDC_Panel3 = 103;
  static constexpr int IDC_Panel12 = 112;
  static constexpr int IDC_LabelMail = 120;
  static constexpr int IDC_LabelWeb = 121;

  TComPort* ComPortFiskal;
  TPanel* Panel2;
  TPanel* Panel3;
  TPanel* Panel1;
  TPanel* Panel12;
  TPanel* LabelMail;
  TPanel* LabelWeb;
  TPanel* Panel0;

  void FormKeyPress(char32_t key);
  void PanelClick(const TPanel& panel);
  void LabelMailClick();
  void LabelWebClick(const TPanel& label);

  // Menu item 1 after the port setup: probe, checked clock read, unlock.
  void ReadDeviceTime();
  bool Unlocked() const;

 protected:
  void FormShow() override;
  void FormClose() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  TPanel* AddPanel(int tag, DesignRect rect);
  TPanel* PanelById(int id) const;

  void ShowPanel(int item, bool enabled, const std::string& caption) override;
  void ShowMessage(MessageKind kind, const std::string& text) override;
  void ShowTaxEditor() override;
  void CloseMainWindow() override;

  HBRUSH sky_;
  std::vector<std::unique_ptr<TPanel>> panels_;
  std::unique_ptr<MainMenu> menu_;
};

extern TFormMainPDV* FormMainPDV;
