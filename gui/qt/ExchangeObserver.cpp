#include "gui/qt/ExchangeObserver.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>

namespace {

bool IsKeyOrClick(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
      return true;
    default:
      return false;
  }
}

}  // namespace

void GuiExchangeObserver::ExchangeStarted() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void GuiExchangeObserver::ExchangeEnded() {
  // What the user typed or clicked while the window was blocked sits in the
  // queues now. Deliver everything pending with keys and clicks filtered
  // out; timers wait for the event loop, so nothing of the program's own
  // runs here.
  qApp->installEventFilter(this);
  QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers |
                                  QEventLoop::X11ExcludeTimers);
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
}

bool GuiExchangeObserver::eventFilter(QObject* watched, QEvent* event) {
  if (IsKeyOrClick(event->type())) return true;
  return QObject::eventFilter(watched, event);
}
