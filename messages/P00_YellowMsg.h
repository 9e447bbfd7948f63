// The notice window: one text, an OK button, and the "YellowMsg" lock held
// while it shows, so that programs beside this one can tell a notice is up
// (see framework/NamedLock.h for how they observe it).
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <string>

#include "framework/NamedLock.h"

class QGroupBox;
class QLabel;
class QPushButton;

// Where everything of the notice goes for a label of the size its text needs.
// The outer size counts a frame 8 pixels wide and a frame plus title bar 26
// pixels high; the client area is the outer size less those allowances.
struct NoticeLayout {
  QRect label;  // inside the group box
  QRect groupBox;
  QRect button;
  QSize outer;
  QSize client;
};
NoticeLayout ComputeNoticeLayout(QSize labelSize);

class TFormYellowMsg : public QDialog {
  Q_OBJECT
 public:
  explicit TFormYellowMsg(QWidget* parent = nullptr);
  ~TFormYellowMsg() override;

  // Shows an 8-bit (Windows-1250) text modally; returns when it was closed.
  void ShowText(const std::string& deviceText);

  void FormShow();
  void FormClose();
  void Button1Click();

  QGroupBox* GroupBox1;
  QLabel* LabelMsg;
  QPushButton* Button1;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ApplyLayout();
  void Place(QSize outerSize);

  NamedLock mutex_{"YellowMsg"};
  std::optional<QPoint> lastTopLeft_;
};

extern TFormYellowMsg* FormYellowMsg;
