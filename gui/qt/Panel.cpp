#include "gui/qt/Panel.h"

#include <QMouseEvent>
#include <utility>

#include "gui/qt/Fonts.h"

void TClickLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) pressed_ = true;
}

void TClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  QLabel::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) pressed_ = false;
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !std::exchange(pressed_, false)) return;
  if (rect().contains(event->position().toPoint())) Click();
}

TPanel::TPanel(const QString& name, int tag, QWidget* parent) : TClickLabel(parent), tag_(tag) {
  setObjectName(name);
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setFont(UiFont("Verdana", 19));
  // Colours through the palette, not a style sheet, so the raised bevel is
  // still drawn by the frame.
  const QColor navy(0, 0, 128);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, navy);
  colours.setColor(QPalette::WindowText, Qt::white);
  colours.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 176));
  colours.setColor(QPalette::Light, QColor(96, 96, 208));
  colours.setColor(QPalette::Dark, QColor(0, 0, 48));
  setPalette(colours);
  setAutoFillBackground(true);
  setCursor(Qt::PointingHandCursor);
}

TLinkLabel::TLinkLabel(const QString& name, const QString& caption, QWidget* parent)
    : TClickLabel(caption, parent) {
  setObjectName(name);
  setFont(UiFont("Verdana", 11, false, true));
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, Qt::white);
  setPalette(colours);
  setCursor(Qt::PointingHandCursor);
}
