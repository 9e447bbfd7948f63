#include "app/MainPDV.h"

#include <QKeyEvent>

#include "app/Panel.h"
#include "device/P00_FP.h"
#include "device/P11_Porezi.h"
#include "fiscal/P00_fpsend.h"
#include "framework/Dialogs.h"
#include "framework/Fonts.h"
#include "framework/Placement.h"
#include "framework/Shell.h"
#include "serial/PortDefaults.h"

TFormMainPDV* FormMainPDV = nullptr;

namespace {

const QString kCaption1 = "1. Procitaj vreme iz RK-730";
const QString kCaption2 = "2. Promeni poreske grupe";
const QString kCaption3 = "3. X-Report ( presek stanja )";
const QString kCaption0 = "0. Kraj rada";
// A reserved example domain stands in for the vendor's support addresses.
const QString kSupportMail = "podrska@example.com";
const QString kSupportWeb = "www.example.com";

constexpr QChar kEscape = QChar(27);

}  // namespace

void SetDesignValues(TComPort& port) {
  SetProgramStartValues(port);
}

TFormMainPDV::TFormMainPDV(QWidget* parent) : QWidget(parent) {
  setObjectName("FormMainPDV");
  setWindowTitle("Korvena - Promena Poreskih grupa - RK730");
  setFixedSize(484, 392);
  setFont(UiFont("MS Sans Serif", 11));
  setAutoFillBackground(true);
  QPalette sky = palette();
  sky.setColor(QPalette::Window, QColor(166, 202, 240));
  setPalette(sky);
  setFocusPolicy(Qt::StrongFocus);

  ComPortFiskal = new TComPort();
  SetDesignValues(*ComPortFiskal);

  Panel2 = new TPanel("Panel2", 2, this);
  Panel2->setGeometry(46, 103, 393, 60);
  Panel2->setText(kCaption2);
  Panel3 = new TPanel("Panel3", 3, this);
  Panel3->setGeometry(46, 183, 393, 60);
  Panel3->setText(kCaption3);
  Panel1 = new TPanel("Panel1", 1, this);
  Panel1->setGeometry(46, 24, 393, 60);
  Panel1->setText(kCaption1);

  Panel12 = new QFrame(this);
  Panel12->setObjectName("Panel12");
  Panel12->setGeometry(25, 347, 433, 25);
  Panel12->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  QPalette navy = Panel12->palette();
  navy.setColor(QPalette::Window, QColor(0, 0, 128));
  Panel12->setPalette(navy);
  Panel12->setAutoFillBackground(true);
  // The links are as wide as their text, as autosized labels are: the design's
  // 90 and 100 pixels held the vendor's own addresses, and the stand-ins (in
  // whatever font stands in for Verdana) need more.
  LabelMail = new TLinkLabel("LabelMail", kSupportMail, Panel12);
  LabelMail->move(15, 6);
  LabelMail->adjustSize();
  LabelWeb = new TLinkLabel("LabelWeb", kSupportWeb, Panel12);
  LabelWeb->move(280, 6);
  LabelWeb->adjustSize();

  Panel0 = new TPanel("Panel0", 0, this);
  Panel0->setGeometry(46, 263, 393, 60);
  Panel0->setText(kCaption0);

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
  SetLocked();
}

void TFormMainPDV::FormKeyPress(QChar key) {
  if (key == kEscape || key == '0') {
    close();
  } else if (key == '1') {
    MenuItem1();
  } else if (key == '2') {
    MenuItem2();
  } else if (key == '3') {
    MenuItem3();
  }
}

void TFormMainPDV::PanelClick(TPanel* panel) {
  FormKeyPress(QChar('0' + panel->Tag()));
}

void TFormMainPDV::LabelMailClick() {
  ShellOpen("mailto:" + LabelMail->text());
}

void TFormMainPDV::LabelWebClick(TLinkLabel* label) {
  ShellOpen(label->text());
}

void TFormMainPDV::MenuItem1() {
  ComPortFiskal->Close();
  ComPortFiskal->ShowSetupDialog();
  ComPortFiskal->Open();
  ReadDeviceTime();
}

void TFormMainPDV::ReadDeviceTime() {
  FPCommand00& command = FormFP->FPCommand;
  command.Execute(62, "");
  if (command.ErrorCode != 0) {
    ShowWarning("Stampac se ne javlja!\n\nIzaberite drugi ComPort");
    return;
  }
  TDateTime time = FormFP->ReadDeviceDateTime();
  ShowInformation("Vreme u Stampacu je:\n\n" + QString::fromStdString(FormatDateTime(time)));
  SetUnlocked();
}

void TFormMainPDV::MenuItem2() {
  FormPorezi->exec();
}

void TFormMainPDV::MenuItem3() {
  try {
    FormFP->PrintDailyReport("2");
  } catch (const Exception& error) {
    ShowError(QString::fromStdString(error.Message()));
  }
}

void TFormMainPDV::SetLocked() {
  Panel1->setEnabled(true);
  Panel2->setEnabled(false);
  Panel2->setText("2.");
  Panel3->setEnabled(false);
  Panel3->setText("3.");
}

void TFormMainPDV::SetUnlocked() {
  Panel1->setEnabled(false);
  Panel1->setText("1.");
  Panel2->setEnabled(true);
  Panel2->setText(kCaption2);
  Panel3->setEnabled(true);
  Panel3->setText(kCaption3);
}

bool TFormMainPDV::Unlocked() const {
  return Panel2->isEnabled();
}
