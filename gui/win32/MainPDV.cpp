#include "gui/win32/MainPDV.h"

#include "fiscal/P00_fpsend.h"
#include "gui/win32/Application.h"
#include "gui/win32/Dialogs.h"
#include "gui/win32/P11_Porezi.h"
#include "gui/win32/Placement.h"
#include "gui/win32/Shell.h"
#include "serial/PortDefaults.h"

TFormMainPDV* FormMainPDV = nullptr;

namespace {

constexpr COLORREF kSkyBlue = RGB(166, 202, 240);
constexpr DWORD kMainWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kPanelLeft = 46;
constexpr int kPanelWidth = 393;
constexpr int kPanelHeight = 60;

}  // namespace

TFormMainPDV::TFormMainPDV()
    : TForm(
          {L"TFormMainPDV", kMainWindowStyle, &kSansSerif8, nullptr, GetSysColor(COLOR_WINDOWTEXT)},
          kMainWindowCaption, {484, 392}),
      sky_(CreateSolidBrush(kSkyBlue)) {
  SetBackground(sky_);
  ComPortFiskal = new TComPort();
  SetProgramStartValues(*ComPortFiskal);
  menu_ = std::make_unique<MainMenu>(*this, *ComPortFiskal);

  Panel2 = AddPanel(2, {kPanelLeft, 103, kPanelWidth, kPanelHeight});
  Panel3 = AddPanel(3, {kPanelLeft, 183, kPanelWidth, kPanelHeight});
  Panel1 = AddPanel(1, {kPanelLeft, 24, kPanelWidth, kPanelHeight});

  panels_.push_back(
      std::make_unique<TPanel>(L"TPanel", Handle(), IDC_Panel12, 0, kFooterPanelLook, ""));
  Panel12 = panels_.back().get();
  Adopt(Panel12->Handle(), {25, 347, 433, 25});
  // The links are as wide as their text, as autosized labels are: the
  // design's 90 and 100 pixels are too narrow for the addresses.
  auto addLink = [this](int id, const std::string& address, int left) {
    panels_.push_back(
        std::make_unique<TPanel>(L"TLinkLabel", Panel12->Handle(), id, 0, kLinkLook, address));
    Adopt(panels_.back()->Handle(), {left, 6, DesignTextWidth(address, kVerdana11Link) + 1, 13},
          &kVerdana11Link);
    return panels_.back().get();
  };
  LabelMail = addLink(IDC_LabelMail, kSupportMail, 15);
  LabelWeb = addLink(IDC_LabelWeb, kSupportWeb, 280);

  Panel0 = AddPanel(0, {kPanelLeft, 263, kPanelWidth, kPanelHeight});

  CentreOnWorkArea(Handle(), OuterSize());
  // The protocol layer reaches the port only through FiscalPort, set before
  // any other window exists.
  FiscalPort = ComPortFiskal;
}

TFormMainPDV::~TFormMainPDV() {
  if (FiscalPort == ComPortFiskal) FiscalPort = nullptr;
  delete ComPortFiskal;  // closes the port
  DestroyWindow(Handle());
  DeleteObject(sky_);
}

TPanel* TFormMainPDV::AddPanel(int tag, DesignRect rect) {
  panels_.push_back(std::make_unique<TPanel>(L"TPanel", Handle(), IDC_Panel0 + tag, tag,
                                             kMenuPanelLook, MainMenu::Caption(tag)));
  Adopt(panels_.back()->Handle(), rect, &kVerdana19);
  return panels_.back().get();
}

TPanel* TFormMainPDV::PanelById(int id) const {
  for (const auto& panel : panels_) {
    if (GetDlgCtrlID(panel->Handle()) == id) return panel.get();
  }
  return nullptr;
}

void TFormMainPDV::FormShow() {
  menu_->FormShow();
}

void TFormMainPDV::FormClose() {
  Application().EndEventLoop();
}

void TFormMainPDV::FormKeyPress(char32_t key) {
  menu_->FormKeyPress(key);
}

void TFormMainPDV::PanelClick(const TPanel& panel) {
  menu_->PanelClick(panel.Tag());
}

void TFormMainPDV::LabelMailClick() {
  ShellOpen("mailto:" + LabelMail->Caption());
}

void TFormMainPDV::LabelWebClick(const TPanel& label) {
  ShellOpen(label.Caption());
}

void TFormMainPDV::ReadDeviceTime() {
  menu_->ReadDeviceTime();
}

bool TFormMainPDV::Unlocked() const {
  return menu_->Unlocked();
}

LRESULT TFormMainPDV::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR:
      Guarded([&] { FormKeyPress(static_cast<char32_t>(wParam)); });
      return 0;
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) break;
      const int id = LOWORD(wParam);
      const TPanel* clicked = PanelById(id);
      if (!clicked) break;
      if (id == IDC_LabelMail) {
        Guarded([&] { LabelMailClick(); });
      } else if (id == IDC_LabelWeb) {
        Guarded([&] { LabelWebClick(*clicked); });
      } else if (id >= IDC_Panel0 && id <= IDC_Panel3) {
        Guarded([&] { PanelClick(*clicked); });
      }
      return 0;
    }
  }
  return TForm::HandleMessage(message, wParam, lParam);
}

void TFormMainPDV::ShowPanel(int item, bool enabled, const std::string& caption) {
  TPanel* panel = PanelById(IDC_Panel0 + item);
  EnableWindow(panel->Handle(), enabled ? TRUE : FALSE);
  panel->SetCaption(caption);
}

void TFormMainPDV::ShowMessage(MessageKind kind, const std::string& text) {
  switch (kind) {
    case MessageKind::Warning:
      ShowWarning(text);
      break;
    case MessageKind::Information:
      ShowInformation(text);
      break;
    case MessageKind::Error:
      ShowError(text);
      break;
  }
}

void TFormMainPDV::ShowTaxEditor() {
  FormPorezi->ShowModal();
}

void TFormMainPDV::CloseMainWindow() {
  Close();
}
