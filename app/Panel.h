// A menu panel of the main window: a navy, raised panel with a centred white
// caption, carrying its menu item number in Tag. A disabled panel greys its
// caption and receives no clicks.
#pragma once

#include <QLabel>

class TPanel : public QLabel {
  Q_OBJECT
 public:
  TPanel(const QString& name, int tag, QWidget* parent);
  int Tag() const { return tag_; }

 signals:
  void Clicked(TPanel* panel);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int tag_;
};

// A label that acts as a link: a click emits Clicked.
class TLinkLabel : public QLabel {
  Q_OBJECT
 public:
  TLinkLabel(const QString& name, const QString& caption, QWidget* parent);

 signals:
  void Clicked(TLinkLabel* label);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};
