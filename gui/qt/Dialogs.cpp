#include "gui/qt/Dialogs.h"

#include <QMessageBox>

#include "framework/Exception.h"
#include "gui/qt/Application.h"

namespace {

void ShowBox(QMessageBox::Icon icon, const QString& caption, const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, Application().MainForm());
  box.setObjectName("MessageBox");
  box.exec();
}

}  // namespace

void ShowWarning(const QString& text) {
  ShowBox(QMessageBox::Warning, "Warning", text);
}
void ShowInformation(const QString& text) {
  ShowBox(QMessageBox::Information, "Information", text);
}
void ShowError(const QString& text) {
  ShowBox(QMessageBox::Critical, "Error", text);
}

void ShowException(const std::exception& error) {
  ShowBox(QMessageBox::Critical, Application().Title(),
          QString::fromStdString(DefaultExceptionText(error)));
}

void ShowUnknownException() {
  ShowException(Exception(""));
}
