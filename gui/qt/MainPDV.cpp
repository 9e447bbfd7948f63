#include "gui/qt/MainPDV.h"

#include <QKeyEvent>

#include "fiscal/P00_fpsend.h"
#include "gui/qt/Dialogs.h"
#include "gui/qt/Fonts.h"
#include "gui/qt/P11_Porezi.h"
#include "gui/qt/Panel.h"
#include "gui/qt/Placement.h"
#include "gui/qt/Shell.h"
#include "serial/PortDefaults.h"

TFormMainPDV* FormMainPDV = nullptr;

namespace {

constexpr QChar kEscape = QChar(27);

}  // namespace

TFormMainPDV::TFormMainPDV(QWidget* parent) : QWidget(parent) {
  setObjectName("FormMainPDV");
  setWindowTitle(kMainWindowCaption);
  setFixedSize(484, 392);
  setFont(UiFont("MS Sans Serif", 11));
  setAutoFillBackground(true);
  QPalette sky = palette();
  sky.setColor(QPalette::Window, QColor(166, 202, 240));
  setPalette(sky);
  setFocusPolicy(Qt::StrongFocus);

  ComPortFiskal = new TComPort();
  SetProgramStartValues(*ComPortFiskal);
  menu_ = std::make_unique<MainMenu>(*this, *ComPortFiskal);

  Panel2 = new TPanel("Panel2", 2, this);
  Panel2->setGeometry(46, 103, 393, 60);
  Panel2->setText(MainMenu::Caption(2));
  Panel3 = new TPanel("Panel3", 3, this);
  Panel3->setGeometry(46, 183, 393, 60);
  Panel3->setText(MainMenu::Caption(3));
  Panel1 = new TPanel("Panel1", 1, this);
  Panel1->setGeometry(46, 24, 393, 60);
  Panel1->setText(MainMenu::Caption(1));

  Panel12 = new QFrame(this);
  Panel12->setObjectName("Panel12");
  Panel12->setGeometry(25, 347, 433, 25);
  Panel12->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  QPalette navy = Panel12->palette();
  navy.setColor(QPalette::Window, QColor(0, 0, 128));
  Panel12->setPalette(navy);
  Panel12->setAutoFillBackground(true);
  // The links are as wide as their text, as autosized labels are: the design's
  // 90 and 100 pixels are too narrow for the addresses (in whatever font
  // stands in for Verdana).
  LabelMail = new TLinkLabel("LabelMail", kSupportMail, Panel12);
  LabelMail->move(15, 6);
  LabelMail->adjustSize();
  LabelWeb = new TLinkLabel("LabelWeb", kSupportWeb, Panel12);
  LabelWeb->move(280, 6);
  LabelWeb->adjustSize();

  Panel0 = new TPanel("Panel0", 0, this);
  Panel0->setGeometry(46, 263, 393, 60);
  Panel0->setText(MainMenu::Caption(0));

  for (TPanel* panel : {Panel0, Panel1, Panel2, Panel3}) {
    connect(panel, &TPanel::Clicked, this, [this](TPanel* p) { Guarded([&] { PanelClick(p); }); });
  }
  connect(LabelMail, &TLinkLabel::Clicked, this, [this] { Guarded([&] { LabelMailClick(); }); });
  connect(LabelWeb, &TLinkLabel::Clicked, this,
          [this](TLinkLabel* l) { Guarded([&] { LabelWebClick(l); }); });

  // The protocol layer reaches the port only through FiscalPort, set before
  // any other window exists.
  FiscalPort = ComPortFiskal;
}

TFormMainPDV::~TFormMainPDV() {
  if (FiscalPort == ComPortFiskal) FiscalPort = nullptr;
  delete ComPortFiskal;  // closes the port
}

void TFormMainPDV::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  CentreOnScreen(*this);
  Guarded([this] { FormShow(); });
}

void TFormMainPDV::keyPressEvent(QKeyEvent* event) {
  QChar key = event->key() == Qt::Key_Escape ? kEscape
              : event->text().isEmpty()      ? QChar()
                                             : event->text().front();
  if (key.isNull()) {
    QWidget::keyPressEvent(event);
    return;
  }
  Guarded([&] { FormKeyPress(key); });
}

void TFormMainPDV::FormShow() {
  menu_->FormShow();
}

void TFormMainPDV::FormKeyPress(QChar key) {
  menu_->FormKeyPress(key.unicode());
}

void TFormMainPDV::PanelClick(TPanel* panel) {
  menu_->PanelClick(panel->Tag());
}

void TFormMainPDV::LabelMailClick() {
  ShellOpen("mailto:" + LabelMail->text());
}

void TFormMainPDV::LabelWebClick(TLinkLabel* label) {
  ShellOpen(label->text());
}

void TFormMainPDV::ReadDeviceTime() {
  menu_->ReadDeviceTime();
}

bool TFormMainPDV::Unlocked() const {
  return menu_->Unlocked();
}

void TFormMainPDV::ShowPanel(int item, bool enabled, const std::string& caption) {
  TPanel* panels[] = {Panel0, Panel1, Panel2, Panel3};
  panels[item]->setEnabled(enabled);
  panels[item]->setText(QString::fromStdString(caption));
}

void TFormMainPDV::ShowMessage(MessageKind kind, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  switch (kind) {
    case MessageKind::Warning:
      ShowWarning(shown);
      break;
    case MessageKind::Information:
      ShowInformation(shown);
      break;
    case MessageKind::Error:
      ShowError(shown);
      break;
  }
}

void TFormMainPDV::ShowTaxEditor() {
  FormPorezi->exec();
}

void TFormMainPDV::CloseMainWindow() {
  close();
}
