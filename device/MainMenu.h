// The main window's menu without a window: which panels take clicks and what
// they say, what each key does, and what menu items 1 and 3 show. Each front
// end draws the panels and boxes through MainMenuView.
//
//   1  port setup and clock read; a successful read unlocks 2 and 3
//   2  the tax group editor
//   3  the X report
//   0  end the program (so do Escape and the close box)
//
// The keys act whatever the menu state; the state only decides which panels
// take clicks and what they say. After a lost link (codes 3, 4, 5, 7) in the
// X report or the checked clock read, the box or notice that says why stays
// until the user closes it, nothing opens after it, and then the program ends.
#pragma once

#include <string>

class TCustomComPort;

// The program's own texts that every front end shows the same. A reserved
// example domain stands in for the support addresses.
inline constexpr const char* kApplicationTitle = "Poreske grupe";  // the error box's caption
inline constexpr const char* kMainWindowCaption = "Korvena - Promena Poreskih grupa - RK730";
inline constexpr const char* kSupportMail = "podrska@example.com";
inline constexpr const char* kSupportWeb = "www.example.com";

enum class MessageKind { Warning, Information, Error };

class MainMenuView {
 public:
  virtual ~MainMenuView() = default;
  // Menu panel 1, 2 or 3 takes clicks or not, and says `caption` (UTF-8).
  virtual void ShowPanel(int item, bool enabled, const std::string& caption) = 0;
  // A modal message box of the kind, with a UTF-8 text.
  virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;
  virtual void ShowTaxEditor() = 0;    // modal
  virtual void CloseMainWindow() = 0;  // ends the program
};

class MainMenu {
 public:
  MainMenu(MainMenuView& view, TCustomComPort& port) : view_(view), port_(port) {}

  // The caption of a menu panel 0..3 while it is active.
  static const char* Caption(int item);

  void FormShow();  // the menu starts locked
  // '0'..'3' and Escape (27); other keys do nothing.
  void FormKeyPress(char32_t key);
  void PanelClick(int tag) { FormKeyPress(U'0' + static_cast<char32_t>(tag)); }

  // Menu item 1 after the port setup: probe, checked clock read, unlock.
  void ReadDeviceTime();
  bool Unlocked() const { return unlocked_; }

 private:
  void MenuItem1();
  void MenuItem3();
  void SetLocked();
  void SetUnlocked();

  MainMenuView& view_;
  TCustomComPort& port_;
  bool unlocked_ = false;
};
