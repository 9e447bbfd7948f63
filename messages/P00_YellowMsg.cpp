#include "messages/P00_YellowMsg.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "framework/Application.h"
#include "framework/CodePage.h"
#include "framework/Dialogs.h"
#include "framework/Fonts.h"
#include "framework/Placement.h"

TFormYellowMsg* FormYellowMsg = nullptr;

namespace {

constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 30;
constexpr int kLabelMargin = 24;  // label left and top inside the group box
constexpr int kGroupMargin = 16;  // group box left and top inside the window
constexpr int kMinLabelWidth = 200;
constexpr int kMinLabelHeight = 100;
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 26;  // frame and title bar

}  // namespace

NoticeLayout ComputeNoticeLayout(QSize labelSize) {
  NoticeLayout layout;
  const int labelWidth = std::max(labelSize.width(), kMinLabelWidth);
  const int labelHeight = std::max(labelSize.height(), kMinLabelHeight);
  layout.label = QRect(kLabelMargin, kLabelMargin, labelWidth, labelHeight);
  const int groupWidth = labelWidth + 2 * kLabelMargin;
  const int groupHeight = labelHeight + 2 * kLabelMargin;
  layout.groupBox = QRect(kGroupMargin, kGroupMargin, groupWidth, groupHeight);
  const int buttonLeft = (groupWidth - kButtonWidth) / 2 + kGroupMargin;
  const int buttonTop = groupHeight + 2 * kGroupMargin;
  layout.button = QRect(buttonLeft, buttonTop, kButtonWidth, kButtonHeight);
  layout.client = QSize(groupWidth + 2 * kGroupMargin, buttonTop + kButtonHeight + kGroupMargin);
  layout.outer = layout.client + QSize(kFrameWidth, kFrameHeight);
  return layout;
}

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
  const NoticeLayout layout = ComputeNoticeLayout(LabelMsg->sizeHint());
  LabelMsg->setGeometry(layout.label);
  GroupBox1->setGeometry(layout.groupBox);
  Button1->setGeometry(layout.button);
  setFixedSize(layout.client);
  Place(layout.outer);
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
