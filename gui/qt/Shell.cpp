#include "gui/qt/Shell.h"

#include <QDesktopServices>
#include <QUrl>

void ShellOpen(const QString& target) {
  // The desktop needs a scheme where the Windows shell guessed one: a bare
  // "www.example.com" becomes an http address, "mailto:" stays as it is.
  (void)QDesktopServices::openUrl(QUrl::fromUserInput(target));
}
