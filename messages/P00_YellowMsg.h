// The notice window: one text, an OK button, and the "YellowMsg" lock held
// while it shows, so that programs beside this one can tell a notice is up.
#pragma once

#include <QDialog>
#include <string>

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

  QGroupBox* GroupBox1;
  QLabel* LabelMsg;
  QPushButton* Button1;
};

extern TFormYellowMsg* FormYellowMsg;
