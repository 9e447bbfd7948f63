// The main window's own controls: the menu panels, the footer panel and its
// links, drawn by the program (window classes "TPanel" and "TLinkLabel").
//
// A clickable one counts clicks as the desktop's controls do: the left
// button pressed and released over it, reported to its parent as
// WM_COMMAND/BN_CLICKED with its control id. The second press of a double
// click makes no click of its own, so a double click on a panel runs its
// menu item once (one X report, not two). A disabled one takes no clicks.
#pragma once

#include <string>

#include "gui/win32/Window.h"

struct PanelLook {
  enum class Bevel { None, RaisedInner2, LoweredOuter1 };
  COLORREF fill;
  COLORREF text;
  COLORREF disabledText;
  Bevel bevel;
  bool centred;    // the caption in the middle; else at the top left
  bool clickable;  // also shows the hand cursor
};

// The menu panels: navy, raised, a centred white caption.
extern const PanelLook kMenuPanelLook;
// The footer: navy, lowered, no caption, no clicks.
extern const PanelLook kFooterPanelLook;
// The footer's links: white underlined text on the footer's navy.
extern const PanelLook kLinkLook;

class TPanel : public WindowObject {
 public:
  // `className` names the kind for people and tests: "TPanel" or "TLinkLabel".
  TPanel(const wchar_t* className, HWND parent, int id, int tag, const PanelLook& look,
         const std::string& caption);

  int Tag() const { return tag_; }
  std::string Caption() const;
  void SetCaption(const std::string& caption);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC context);
  void DrawBevel(HDC context, RECT& area);

  int tag_;
  const PanelLook& look_;
  HFONT font_ = nullptr;
  bool pressed_ = false;
};
