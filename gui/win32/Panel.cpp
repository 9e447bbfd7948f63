#include "gui/win32/Panel.h"

#include <utility>

#include "gui/win32/Text.h"

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreyedOnNavy = RGB(128, 128, 176);
constexpr COLORREF kBevelLight = RGB(96, 96, 208);
constexpr COLORREF kBevelDark = RGB(0, 0, 48);

// One ring of a bevel: `topLeft` along the top and left edges, `bottomRight`
// along the others; `area` shrinks by the ring.
void DrawRing(HDC context, RECT& area, COLORREF topLeft, COLORREF bottomRight) {
  auto fill = [context](RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(context, &r, brush);
    DeleteObject(brush);
  };
  fill({area.left, area.top, area.right, area.top + 1}, topLeft);
  fill({area.left, area.top, area.left + 1, area.bottom}, topLeft);
  fill({area.left, area.bottom - 1, area.right, area.bottom}, bottomRight);
  fill({area.right - 1, area.top, area.right, area.bottom}, bottomRight);
  InflateRect(&area, -1, -1);
}

}  // namespace

const PanelLook kMenuPanelLook{kNavy, kWhite, kGreyedOnNavy, PanelLook::Bevel::RaisedInner2,
                               true,  true};
const PanelLook kFooterPanelLook{kNavy, kWhite, kWhite, PanelLook::Bevel::LoweredOuter1,
                                 false, false};
const PanelLook kLinkLook{kNavy, kWhite, kWhite, PanelLook::Bevel::None, false, true};

TPanel::TPanel(const wchar_t* className, HWND parent, int id, int tag, const PanelLook& look,
               const std::string& caption)
    : tag_(tag), look_(look) {
  // Double clicks arrive as such, so that their second press is no click.
  RegisterWindowClass(className, look.clickable ? IDC_HAND : IDC_ARROW, CS_DBLCLKS);
  CreateHandle(className, 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, caption, parent, id);
}

std::string TPanel::Caption() const {
  return WindowText(Handle());
}

void TPanel::SetCaption(const std::string& caption) {
  SetWindowTextUtf8(Handle(), caption);
}

void TPanel::DrawBevel(HDC context, RECT& area) {
  switch (look_.bevel) {
    case PanelLook::Bevel::None:
      break;
    case PanelLook::Bevel::RaisedInner2:
      DrawRing(context, area, kBevelLight, kBevelDark);
      DrawRing(context, area, kBevelLight, kBevelDark);
      break;
    case PanelLook::Bevel::LoweredOuter1:
      DrawRing(context, area, kBevelDark, kBevelLight);
      break;
  }
}

void TPanel::Paint(HDC context) {
  RECT area;
  GetClientRect(Handle(), &area);
  HBRUSH fill = CreateSolidBrush(look_.fill);
  FillRect(context, &area, fill);
  DeleteObject(fill);
  DrawBevel(context, area);

  const std::wstring caption = Widen(Caption());
  if (caption.empty()) return;
  HGDIOBJ previous = SelectObject(context, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, IsWindowEnabled(Handle()) ? look_.text : look_.disabledText);
  const UINT format =
      DT_NOPREFIX | DT_SINGLELINE | (look_.centred ? DT_CENTER | DT_VCENTER : DT_LEFT | DT_TOP);
  DrawTextW(context, caption.c_str(), static_cast<int>(caption.size()), &area, format);
  SelectObject(context, previous);
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      Paint(BeginPaint(Handle(), &paint));
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills every pixel
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT: {
      const LRESULT result = WindowObject::HandleMessage(message, wParam, lParam);
      InvalidateRect(Handle(), nullptr, TRUE);
      return result;
    }
    case WM_ENABLE:
      InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_COMMAND:
      // The footer's links report to the window that holds the footer.
      return SendMessageW(GetParent(Handle()), message, wParam, lParam);
    case WM_LBUTTONDOWN:
      if (!look_.clickable) break;
      pressed_ = true;
      SetCapture(Handle());
      return 0;
    case WM_LBUTTONDBLCLK:
      pressed_ = false;
      return 0;
    case WM_LBUTTONUP: {
      if (!std::exchange(pressed_, false)) break;
      ReleaseCapture();
      RECT area;
      GetClientRect(Handle(), &area);
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (PtInRect(&area, at)) {
        SendMessageW(GetParent(Handle()), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(Handle()), BN_CLICKED),
                     reinterpret_cast<LPARAM>(Handle()));
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
  }
  return WindowObject::HandleMessage(message, wParam, lParam);
}
