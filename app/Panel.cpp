#include "app/Panel.h"

#include <QMouseEvent>

#include "framework/Fonts.h"

TPanel::TPanel(const QString& name, int tag, QWidget* parent) : QLabel(parent), tag_(tag) {
  setObjectName(name);
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setFont(UiFont("Verdana", 19));
  setStyleSheet(
      "QLabel { background-color: rgb(0, 0, 128); color: white; }"
      "QLabel:disabled { color: rgb(128, 128, 160); }");
  setCursor(Qt::PointingHandCursor);
}

void TPanel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Clicked(this);
  }
}

TLinkLabel::TLinkLabel(const QString& name, const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
  setObjectName(name);
  setFont(UiFont("Verdana", 11, false, true));
  setStyleSheet("QLabel { color: white; }");
  setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Clicked(this);
  }
}
