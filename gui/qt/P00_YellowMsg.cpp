#include "gui/qt/P00_YellowMsg.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "framework/CodePage.h"
#include "gui/qt/Application.h"
#include "gui/qt/Dialogs.h"
#include "gui/qt/Fonts.h"
#include "gui/qt/Placement.h"

TFormYellowMsg* FormYellowMsg = nullptr;

namespace {

QRect ToQRect(const NoticeRect& r) {
  return QRect(r.left, r.top, r.width, r.height);
}

}  // namespace

TFormYellowMsg::TFormYellowMsg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormYellowMsg");
  setWindowTitle("Vazna poruka");
  setFont(UiFont("Verdana", 13));
  setAutoFillBackground(true);
  QPalette info = palette();
  info.setColor(QPalette::Window, info.color(QPalette::ToolTipBase));
  info.setColor(QPalette::WindowText, info.color(QPalette::ToolTipText));
  setPalette(info);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName("GroupBox1");

  LabelMsg = new QLabel(GroupBox1);
  LabelMsg->setObjectName("LabelMsg");
  // Catalog texts hold "<#1>"; nothing shown here is ever markup.
  LabelMsg->setTextFormat(Qt::PlainText);
  LabelMsg->setWordWrap(false);
  LabelMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
}

TFormYellowMsg::~TFormYellowMsg() = default;

void TFormYellowMsg::ShowText(const std::string& deviceText) {
  LabelMsg->setText(QString::fromStdString(DeviceToUtf8(deviceText)));
  exec();
  // A terminate request ends the modal loop without closing the window; close
  // it here so that it disappears and gives the lock up all the same.
  if (isVisible()) close();
}

void TFormYellowMsg::FormShow() {
  // Another holder does not stop the notice: it shows without the lock then.
  mutex_.Acquire();
  Application().Restore();
  raise();
  activateWindow();
  ApplyLayout();
}

void TFormYellowMsg::FormClose() {
  lastTopLeft_ = pos();
  mutex_.Release();
}

void TFormYellowMsg::Button1Click() {
  close();
}

void TFormYellowMsg::ApplyLayout() {
  const QSize needs = LabelMsg->sizeHint();
  const NoticeLayout layout = ComputeNoticeLayout({needs.width(), needs.height()});
  LabelMsg->setGeometry(ToQRect(layout.label));
  GroupBox1->setGeometry(ToQRect(layout.groupBox));
  Button1->setGeometry(ToQRect(layout.button));
  setFixedSize(layout.client.width, layout.client.height);
  Place(QSize(layout.outer.width, layout.outer.height));
}

void TFormYellowMsg::Place(QSize outerSize) {
  if (lastTopLeft_) {
    move(*lastTopLeft_);
  } else {
    CentreOnScreen(*this, outerSize);
  }
}

void TFormYellowMsg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TFormYellowMsg::closeEvent(QCloseEvent* event) {
  Guarded([this] { FormClose(); });
  QDialog::closeEvent(event);
}

void TFormYellowMsg::keyPressEvent(QKeyEvent* event) {
  // The notice has no key handling of its own; only Escape would be QDialog's
  // (a reject that skips FormClose and keeps the lock).
  if (event->key() == Qt::Key_Escape) {
    event->ignore();
    return;
  }
  QDialog::keyPressEvent(event);
}
