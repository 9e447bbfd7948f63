// The notice window: one text, an OK button, and the "YellowMsg" lock held
// while it shows, so that programs beside this one can tell a notice is up
// (see framework/NamedLock.h for how they observe it).
#pragma once

#include <QDialog>
#include <QPoint>
#include <QSize>
#include <optional>
#include <string>

#include "framework/NamedLock.h"
#include "messages/NoticeLayout.h"

class QGroupBox;
class QLabel;
class QPushButton;

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
