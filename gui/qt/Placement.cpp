#include "gui/qt/Placement.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget& window, QSize outerSize) {
  const QRect workArea = window.screen()->availableGeometry();
  window.move(workArea.x() + (workArea.width() - outerSize.width()) / 2,
              workArea.y() + (workArea.height() - outerSize.height()) / 2);
}

void CentreOnScreen(QWidget& window) {
  CentreOnScreen(window, window.frameGeometry().size());
}
