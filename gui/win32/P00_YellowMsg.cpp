#include "gui/win32/P00_YellowMsg.h"

#include "framework/CodePage.h"
#include "gui/win32/Application.h"
#include "gui/win32/Dialogs.h"
#include "gui/win32/Placement.h"
#include "gui/win32/Text.h"
#include "messages/NoticeLayout.h"

TFormYellowMsg* FormYellowMsg = nullptr;

namespace {

constexpr wchar_t kCaption[] = L"Vazna poruka";
// Not WS_CLIPCHILDREN: the form paints the inside of its group box, which
// draws only its frame and title.
constexpr DWORD kNoticeStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

DesignRect ToDesignRect(const NoticeRect& r, int offsetLeft = 0, int offsetTop = 0) {
  return {r.left + offsetLeft, r.top + offsetTop, r.width, r.height};
}

// Device pixels back to design pixels, rounded up so that nothing is cut.
int ToDesign(int pixels, int dpi) {
  return (pixels * USER_DEFAULT_SCREEN_DPI + dpi - 1) / dpi;
}

}  // namespace

TFormYellowMsg::TFormYellowMsg()
    : TForm({L"TFormYellowMsg", kNoticeStyle, &kVerdana13, GetSysColorBrush(COLOR_INFOBK),
             GetSysColor(COLOR_INFOTEXT)},
            Narrow(kCaption), {280, 226}) {
  // Every position and size is set anew at each showing (ApplyLayout).
  GroupBox1 = AddControl(L"BUTTON", "", BS_GROUPBOX, IDC_GroupBox1, {});
  // An "&" in a notice is shown as it is, never as a mnemonic; line feeds
  // start new lines and nothing wraps.
  LabelMsg = AddControl(L"STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, IDC_LabelMsg, {});
  Button1 = AddControl(L"BUTTON", "OK", BS_PUSHBUTTON | WS_TABSTOP, IDC_Button1, {});
}

void TFormYellowMsg::ShowText(const std::string& deviceText) {
  SetWindowTextUtf8(LabelMsg, DeviceToUtf8(deviceText));
  ShowModal();
}

void TFormYellowMsg::FormShow() {
  // Another holder does not stop the notice: it shows without the mutex then.
  mutex_.Acquire();
  Application().Restore();
  ApplyLayout();
}

void TFormYellowMsg::FormShown() {
  // Found by its title, as other programs find it; once it is on the screen.
  SetForegroundWindow(FindWindowW(nullptr, kCaption));
}

void TFormYellowMsg::FormClose() {
  RECT window;
  GetWindowRect(Handle(), &window);
  lastTopLeft_ = POINT{window.left, window.top};
  mutex_.Release();
}

void TFormYellowMsg::Button1Click() {
  Close();
}

SIZE TFormYellowMsg::LabelNeeds() {
  const std::wstring text = Widen(WindowText(LabelMsg));
  HDC context = GetDC(LabelMsg);
  HGDIOBJ previous =
      SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(LabelMsg, WM_GETFONT, 0, 0)));
  RECT needs{0, 0, 0, 0};
  DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &needs,
            DT_CALCRECT | DT_NOPREFIX | DT_LEFT | DT_EXPANDTABS);
  SelectObject(context, previous);
  ReleaseDC(LabelMsg, context);
  return {ToDesign(needs.right - needs.left, Dpi()), ToDesign(needs.bottom - needs.top, Dpi())};
}

void TFormYellowMsg::ApplyLayout() {
  const SIZE needs = LabelNeeds();
  const NoticeLayout layout =
      ComputeNoticeLayout({static_cast<int>(needs.cx), static_cast<int>(needs.cy)});
  // The label is the group box's in the layout and the form's here.
  Place(LabelMsg, ToDesignRect(layout.label, layout.groupBox.left, layout.groupBox.top));
  Place(GroupBox1, ToDesignRect(layout.groupBox));
  Place(Button1, ToDesignRect(layout.button));
  SetDesignClientSize({layout.client.width, layout.client.height});
  if (lastTopLeft_) {
    SetWindowPos(Handle(), nullptr, lastTopLeft_->x, lastTopLeft_->y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    CentreOnWorkArea(Handle(), OuterSize());
  }
}

LRESULT TFormYellowMsg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case IDC_Button1:
      case IDOK:  // Enter on the button, the only control that takes the focus
        Guarded([this] { Button1Click(); });
        return 0;
      case IDCANCEL:  // the notice has no key handling of its own: not Escape
        return 0;
    }
  }
  return TForm::HandleMessage(message, wParam, lParam);
}
