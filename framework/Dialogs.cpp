#include "framework/Dialogs.h"

#include <QMessageBox>

#include "framework/Application.h"
#include "framework/Exception.h"

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

QString DefaultExceptionText(const QString& message) {
  if (!message.isEmpty() && message.back().unicode() > u'.') return message + '.';
  return message;
}

void ShowException(const std::exception& error) {
  auto* ours = dynamic_cast<const Exception*>(&error);
  QString message = ours ? QString::fromStdString(ours->Message()) : QString();
  ShowBox(QMessageBox::Critical, Application().Title(), DefaultExceptionText(message));
}

void ShowUnknownException() {
  ShowException(Exception(""));
}
