#include "gui/win32/Window.h"

#include <cwchar>
#include <utility>

#include "gui/win32/Application.h"
#include "gui/win32/Dialogs.h"
#include "gui/win32/Text.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

// Both calls came with Windows 10; the program also runs on older systems,
// where every monitor has the system's DPI.
using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiCall = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Call>
Call User32Call(const char* name) {
  return reinterpret_cast<Call>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

bool SameFont(const FontStyle& a, const FontStyle& b) {
  return std::wcscmp(a.family, b.family) == 0 && a.pixelHeight == b.pixelHeight &&
         a.bold == b.bold && a.underline == b.underline && a.charset == b.charset;
}

// The program's visible windows that take input, but `except`.
std::vector<HWND> EnabledThreadWindows(HWND except) {
  struct Search {
    HWND except;
    std::vector<HWND> found;
  } search{except, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (window != s.except && IsWindowVisible(window) && IsWindowEnabled(window))
          s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

WindowObject::~WindowObject() {
  if (handle_) DestroyWindow(handle_);
}

void WindowObject::RegisterWindowClass(const wchar_t* className, LPCWSTR cursor, UINT classStyle) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, cursor);
  windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  windowClass.lpszClassName = className;
  RegisterClassExW(&windowClass);
}

void WindowObject::CreateHandle(const wchar_t* className, DWORD exStyle, DWORD style,
                                const std::string& caption, HWND parent, int id) {
  CreateWindowExW(exStyle, className, Widen(caption).c_str(), style, 0, 0, 0, 0, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                  this);
}

LRESULT WindowObject::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK WindowObject::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* object =
        static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    object->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  }
  auto* object = reinterpret_cast<WindowObject*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!object) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    object->handle_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // No exception may cross the system's code that called this procedure.
  LRESULT result = 0;
  Guarded([&] { result = object->HandleMessage(message, wParam, lParam); });
  return result;
}

TForm::TForm(const Style& style, const std::string& caption, SIZE designClientSize)
    : style_(style), designClientSize_(designClientSize) {
  RegisterWindowClass(style.className, IDC_ARROW);
  HWND owner = Application().MainForm() ? Application().MainForm()->Handle() : nullptr;
  CreateHandle(style.className, WS_EX_CONTROLPARENT, style.style, caption, owner, 0);
  dpi_ = WindowDpi(Handle());
  SetDesignClientSize(designClientSize);
}

TForm::~TForm() {
  if (Handle()) DestroyWindow(Handle());
  for (auto& [style, font] : fonts_) DeleteObject(font);
}

int TForm::Scale(int designPixels) const {
  return MulDiv(designPixels, dpi_, USER_DEFAULT_SCREEN_DPI);
}

HWND TForm::AddControl(const wchar_t* className, const std::string& text, DWORD style, int id,
                       DesignRect rect, const FontStyle* font, DWORD exStyle, HWND parent) {
  HWND control = CreateWindowExW(
      exStyle, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
      parent ? parent : Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleW(nullptr), nullptr);
  Adopt(control, rect, font);
  return control;
}

void TForm::Adopt(HWND control, DesignRect rect, const FontStyle* font) {
  controls_.push_back({control, rect, font ? font : style_.font});
  PlaceAtDpi(controls_.back());
}

void TForm::Place(HWND control, DesignRect rect) {
  for (PlacedControl& placed : controls_) {
    if (placed.control != control) continue;
    placed.rect = rect;
    PlaceAtDpi(placed);
  }
}

void TForm::PlaceAtDpi(const PlacedControl& placed) {
  const DesignRect& r = placed.rect;
  SetWindowPos(placed.control, nullptr, Scale(r.left), Scale(r.top), Scale(r.width),
               Scale(r.height), SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(*placed.font)), TRUE);
}

void TForm::SetDesignClientSize(SIZE size) {
  designClientSize_ = size;
  const SIZE outer = OuterSize();
  SetWindowPos(Handle(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TForm::OuterSize() const {
  static const auto adjustForDpi =
      User32Call<AdjustWindowRectExForDpiCall>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, Scale(designClientSize_.cx), Scale(designClientSize_.cy)};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  if (adjustForDpi) {
    adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi_));
  } else {
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT TForm::Font(const FontStyle& style) {
  for (auto& [known, font] : fonts_) {
    if (SameFont(*known, style)) return font;
  }
  fonts_.emplace_back(&style, CreateUiFont(style, dpi_));
  return fonts_.back().second;
}

int TForm::DesignTextWidth(const std::string& text, const FontStyle& style) {
  if (text.empty()) return 0;
  HDC context = GetDC(Handle());
  HGDIOBJ previous = SelectObject(context, Font(style));
  const std::wstring wide = Widen(text);
  SIZE extent{};
  GetTextExtentPoint32W(context, wide.c_str(), static_cast<int>(wide.size()), &extent);
  SelectObject(context, previous);
  ReleaseDC(Handle(), context);
  return MulDiv(extent.cx, USER_DEFAULT_SCREEN_DPI, dpi_);
}

void TForm::ApplyDpi(int dpi) {
  dpi_ = dpi;
  std::vector<std::pair<const FontStyle*, HFONT>> old;
  old.swap(fonts_);
  for (const PlacedControl& placed : controls_) PlaceAtDpi(placed);
  for (auto& [style, font] : old) DeleteObject(font);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TForm::Show() {
  Guarded([this] { FormShow(); });
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  FocusFirstControl();
  Guarded([this] { FormShown(); });
}

void TForm::ShowModal() {
  if (modal_) return;
  disabledWhileModal_ = EnabledThreadWindows(Handle());
  for (HWND window : disabledWhileModal_) EnableWindow(window, FALSE);
  modal_ = true;
  lastFocus_ = nullptr;
  Guarded([this] { FormShow(); });
  if (!Application().Terminated()) {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    FocusFirstControl();
    Guarded([this] { FormShown(); });
    Application().RunModalLoop(Handle(), modal_);
  }
  // A terminate request ends the loop with the form still up: it closes all
  // the same, so that FormClose runs and the windows below take input again.
  if (modal_) Close();
}

void TForm::Close() {
  Guarded([this] { FormClose(); });
  modal_ = false;
  // The windows below come back before this one goes, so that the system
  // hands the activation to them and not to another program.
  for (HWND window : std::exchange(disabledWhileModal_, {})) EnableWindow(window, TRUE);
  ShowWindow(Handle(), SW_HIDE);
}

void TForm::FocusFirstControl() {
  for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const auto style = GetWindowLongPtrW(child, GWL_STYLE);
    if ((style & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child)) {
      SetFocus(child);
      return;
    }
  }
  SetFocus(Handle());
}

void TForm::RestoreFocus() {
  if (lastFocus_ && IsChild(Handle(), lastFocus_) && IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
  } else {
    FocusFirstControl();
  }
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(Handle(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, style_.background);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC context = reinterpret_cast<HDC>(wParam);
      SetTextColor(context, style_.textColour);
      SetBkMode(context, TRANSPARENT);
      return reinterpret_cast<LRESULT>(style_.background);
    }
    case WM_ACTIVATE:
      // A window driven by IsDialogMessageW keeps no focus of its own: the
      // control that had it gets it back when the form is active again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (IsWindowVisible(Handle())) {
        RestoreFocus();
        return 0;
      }
      break;
    case WM_GETMINMAXINFO: {
      // Fixed size: maximising changes nothing either.
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      const SIZE outer = OuterSize();
      limits->ptMinTrackSize = limits->ptMaxTrackSize = limits->ptMaxSize = {outer.cx, outer.cy};
      RECT window;
      GetWindowRect(Handle(), &window);
      limits->ptMaxPosition = {window.left, window.top};
      return 0;
    }
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
  }
  return WindowObject::HandleMessage(message, wParam, lParam);
}
