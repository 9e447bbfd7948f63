#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "gui/qt/CPortSetup.h"
#include "gui/qt/P00_YellowMsg.h"
#include "tests/support/GuiTestSupport.h"

ModalUser::ModalUser() {
  setup = [](TComSetupFrm& dialog) { QTest::mouseClick(dialog.Button1, Qt::LeftButton); };
  QObject::connect(&timer_, &QTimer::timeout, [this] { Act(); });
  timer_.start(10);
}

void ModalUser::Act() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible()) return;
  if (std::find(leftAlone_.begin(), leftAlone_.end(), modal) != leftAlone_.end()) return;
  titles_ << modal->windowTitle();
  if (auto* dialog = qobject_cast<TComSetupFrm*>(modal)) {
    seen_ << "Setup";
    setup(*dialog);
  } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    seen_ << box->windowTitle() + ": " + box->text();
    boxTexts_ << box->text();
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  } else if (auto* notice = qobject_cast<TFormYellowMsg*>(modal)) {
    seen_ << "Notice: " + notice->LabelMsg->text();
    QTest::mouseClick(notice->Button1, Qt::LeftButton);
  } else {
    seen_ << "Unexpected: " + modal->windowTitle();
    modal->close();
  }
}
