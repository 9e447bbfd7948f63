// The port setup dialog: port name, baud rate, data bits, stop bits, parity
// and flow-control mode of one serial port, each in a bound drop-down list.
// ShowComSetupDialog, which the front end installs as every port's setup
// dialog, creates one for each showing; the port's settings change only when
// the user leaves it with "OK".
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class TComComboBox;
class TCustomComPort;

class TComSetupFrm : public QDialog {
  Q_OBJECT
 public:
  explicit TComSetupFrm(QWidget* parent = nullptr);

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  TComComboBox* Combo1;
  TComComboBox* Combo2;
  TComComboBox* Combo3;
  TComComboBox* Combo4;
  TComComboBox* Combo5;
  TComComboBox* Combo6;
  QPushButton* Button1;
  QPushButton* Button2;

 protected:
  // No key stands for "Cancel": Escape leaves the dialog open.
  void keyPressEvent(QKeyEvent* event) override;
};

// Runs the setup dialog for `port` modally (TCustomComPort::ShowSetupDialog).
void ShowComSetupDialog(TCustomComPort& port);
