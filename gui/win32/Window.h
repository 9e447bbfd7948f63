// The program's windows on the Win32 API.
//
// WindowObject puts a C++ object behind each window of a class of the
// program's own. TForm is a top-level window laid out as designed, at 96 dots
// per inch: its controls keep their design rectangles and fonts, and the form
// scales them to the DPI of the monitor it is on, again whenever that changes.
// A form is shown plainly (the main window) or modally (every other window):
// while a modal form is up, the program's other windows take no input.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/win32/Fonts.h"

// A rectangle as designed, in pixels at 96 dpi, relative to the parent's
// client area.
struct DesignRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class WindowObject {
 public:
  WindowObject() = default;
  virtual ~WindowObject();
  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;

  HWND Handle() const { return handle_; }

 protected:
  // Registers a window class of the program once; its messages reach
  // HandleMessage of the object that created the window.
  static void RegisterWindowClass(const wchar_t* className, LPCWSTR cursor, UINT classStyle = 0);
  void CreateHandle(const wchar_t* className, DWORD exStyle, DWORD style,
                    const std::string& caption, HWND parent, int id);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
};

class TForm : public WindowObject {
 public:
  // Shows the form (FormShow first) and brings it to the foreground.
  void Show();
  // Shows the form modally and returns when it has been closed. FormShow runs
  // before the form appears; an exception from it is shown by the default
  // exception display and the form opens all the same.
  void ShowModal();
  // Runs FormClose and hides the form; ends ShowModal.
  void Close();
  bool Modal() const { return modal_; }

  int Dpi() const { return dpi_; }
  int Scale(int designPixels) const;

 protected:
  struct Style {
    const wchar_t* className;
    DWORD style;
    const FontStyle* font;  // the form's font, which its controls share unless given their own
    HBRUSH background;      // not owned: a system colour's brush or the form's own
    COLORREF textColour;    // of labels, check boxes and group box titles
  };
  TForm(const Style& style, const std::string& caption, SIZE designClientSize);
  ~TForm() override;

  void SetBackground(HBRUSH background) { style_.background = background; }
  // A child control of a standard or own class, visible, laid out as designed.
  HWND AddControl(const wchar_t* className, const std::string& text, DWORD style, int id,
                  DesignRect rect, const FontStyle* font = nullptr, DWORD exStyle = 0,
                  HWND parent = nullptr);
  // Lays out a control that was created elsewhere (a window object's own).
  void Adopt(HWND control, DesignRect rect, const FontStyle* font = nullptr);
  // Moves a control to a new design rectangle.
  void Place(HWND control, DesignRect rect);
  void SetDesignClientSize(SIZE size);
  // The outer size of the window for the design client size at its DPI.
  SIZE OuterSize() const;
  HFONT Font(const FontStyle& style);
  // The width in design pixels that `text` needs in `style`; 0 for no text.
  int DesignTextWidth(const std::string& text, const FontStyle& style);

  // Event handlers.
  virtual void FormShow() {}
  virtual void FormClose() {}
  // After the form has appeared on the screen (ShowModal and Show).
  virtual void FormShown() {}

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct PlacedControl {
    HWND control;
    DesignRect rect;
    const FontStyle* font;
  };

  void ApplyDpi(int dpi);
  void PlaceAtDpi(const PlacedControl& placed);
  void FocusFirstControl();
  void RestoreFocus();

  Style style_;
  SIZE designClientSize_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  std::vector<PlacedControl> controls_;
  std::vector<std::pair<const FontStyle*, HFONT>> fonts_;
  std::vector<HWND> disabledWhileModal_;
  HWND lastFocus_ = nullptr;
  bool modal_ = false;
};

// The DPI of the monitor a window is on (of the system before Windows 10).
int WindowDpi(HWND window);
