#include "gui/qt/Application.h"

#include <QApplication>
#include <QWidget>

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::Restore() {
  if (mainForm_ && mainForm_->isMinimized()) mainForm_->showNormal();
}

void TApplication::Terminate() {
  terminated_ = true;
  // Qt's exit ends every running event loop, modal ones included, and makes
  // each loop started before the outermost one returns end at once.
  QCoreApplication::exit(0);
}

int TApplication::Run() {
  if (mainForm_) mainForm_->show();
  if (!terminated_) QApplication::exec();
  return 0;
}
