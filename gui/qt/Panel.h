// The main window's clickable labels: the menu panels and the footer links.
#pragma once

#include <QLabel>

// A label that counts clicks as the desktop's controls do: the left button
// pressed and released over it. The second press of a double click makes no
// click of its own, so a double click on a panel runs its menu item once (one
// X report, not two).
class TClickLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  virtual void Click() = 0;

  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

// A menu panel of the main window: a navy, raised panel with a centred white
// caption, carrying its menu item number in Tag. A disabled panel greys its
// caption and receives no clicks.
class TPanel : public TClickLabel {
  Q_OBJECT
 public:
  TPanel(const QString& name, int tag, QWidget* parent);
  int Tag() const { return tag_; }

 signals:
  void Clicked(TPanel* panel);

 protected:
  void Click() override { emit Clicked(this); }

 private:
  int tag_;
};

// A label that acts as a link: a click emits Clicked.
class TLinkLabel : public TClickLabel {
  Q_OBJECT
 public:
  TLinkLabel(const QString& name, const QString& caption, QWidget* parent);

 signals:
  void Clicked(TLinkLabel* label);

 protected:
  void Click() override { emit Clicked(this); }
};
