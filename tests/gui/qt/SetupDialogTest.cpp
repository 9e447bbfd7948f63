// The port setup dialog driven as a user drives it: what it shows, what a
// pick, "OK", "Cancel" and the close box do to the port's settings.
//
// The port list comes from the real sources; the runtime directory points at
// a temporary folder, so the published ports are the test's own. Nothing here
// depends on which hardware ports the machine has, and no device is opened:
// the port works on a recording backend.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <tuple>

#include "gui/qt/CPortCtl.h"
#include "gui/qt/CPortSetup.h"
#include "gui/qt/MainPDV.h"
#include "serial/PortDefaults.h"
#include "serial/PortNames.h"
#include "serial/posix/VirtualPorts.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/RecordingBackend.h"

namespace fs = std::filesystem;

namespace {

// Everything the dialog can change, in one comparable value.
auto Settings(const TComPort& port) {
  const TComFlowControl& flow = port.FlowControl();
  return std::make_tuple(port.Port(), port.BaudRate(), port.CustomBaudRate(), port.DataBits(),
                         port.StopBits(), port.Parity().Bits(), flow.ControlRTS(),
                         flow.OutCTSFlow(), flow.XonXoffIn(), flow.XonXoffOut(), flow.ControlDTR(),
                         flow.OutDSRFlow());
}

// Runs the port's dialog; `user` acts on it once it shows and must close it.
void RunDialog(TComPort& port, const std::function<void(TComSetupFrm&)>& user) {
  bool seen = false;
  QTimer poll;
  QElapsedTimer clock;
  clock.start();
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<TComSetupFrm*>(QApplication::activeModalWidget());
    if (dialog && dialog->isVisible() && !seen) {
      seen = true;
      user(*dialog);
    } else if (clock.elapsed() > 10000 && QApplication::activeModalWidget()) {
      QApplication::activeModalWidget()->close();  // never hang the suite
    }
  });
  poll.start(10);
  port.ShowSetupDialog();
  EXPECT_TRUE(seen) << "the setup dialog never showed";
}

std::array<TComComboBox*, 6> Combos(TComSetupFrm& dialog) {
  return {dialog.Combo1, dialog.Combo2, dialog.Combo3, dialog.Combo4, dialog.Combo5, dialog.Combo6};
}

// Picks the item with the arrow keys, as a user without a mouse does.
void Pick(TComComboBox* combo, const QString& text) {
  QTest::keyClick(combo, Qt::Key_Home);
  for (int i = 0; i < combo->count() && combo->currentText() != text; ++i) {
    QTest::keyClick(combo, Qt::Key_Down);
  }
  ASSERT_EQ(combo->currentText(), text) << combo->objectName().toStdString();
}

void ClickOk(TComSetupFrm& dialog) {
  QTest::mouseClick(dialog.Button1, Qt::LeftButton);
}
void ClickCancel(TComSetupFrm& dialog) {
  QTest::mouseClick(dialog.Button2, Qt::LeftButton);
}

class SetupDialogTest : public ::testing::Test {
 protected:
  SetupDialogTest() : port_(MakeBackend()) {
    SetProgramStartValues(port_);
    Publish("ttyFP0");
    port_.SetPort("ttyFP0");
  }
  ~SetupDialogTest() override {
    for (const fs::path& link : published_) fs::remove(link);
  }

  std::unique_ptr<SerialBackend> MakeBackend() {
    return std::make_unique<RecordingBackend>(tally_, nullptr);
  }
  // A published pseudo-terminal stand-in: any character device will do.
  void Publish(const std::string& name) {
    fs::create_directories(VirtualPortDirectory());
    fs::path link = fs::path(VirtualPortDirectory()) / name;
    fs::create_symlink("/dev/null", link);
    published_.push_back(link);
  }

  BackendTally tally_;
  TComPort port_;
  std::vector<fs::path> published_;
};

TEST_F(SetupDialogTest, OpensWithItsLayoutAndThePortsCurrentValues) {
  RunDialog(port_, [](TComSetupFrm& dialog) {
    EXPECT_EQ(dialog.objectName(), "ComSetupFrm");
    EXPECT_EQ(dialog.windowTitle(), "Setup");
    EXPECT_EQ(dialog.size(), QSize(231, 216));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.font().families().value(0), "MS Sans Serif");
    EXPECT_EQ(dialog.font().pixelSize(), 11);  // 8 point at 96 dots per inch
    EXPECT_EQ(dialog.Combo6->font(), dialog.font());
    EXPECT_EQ(dialog.GroupBox1->title(), " Settings ");
    EXPECT_EQ(dialog.GroupBox1->geometry(), QRect(8, 8, 217, 169));
    EXPECT_EQ(dialog.Button1->text(), "OK");
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.Button1->geometry(), QRect(70, 184, 75, 25));
    EXPECT_EQ(dialog.Button2->text(), "Cancel");
    EXPECT_EQ(dialog.Button2->geometry(), QRect(150, 184, 75, 25));

    const QStringList labels = {"Port",      "Baud rate", "Data bits",
                                "Stop bits", "Parity",    "Flow control"};
    const QStringList shown = {"ttyFP0", "19200", "8", "1", "None", "Software"};
    QLabel* labelWidgets[] = {dialog.Label1, dialog.Label2, dialog.Label3,
                              dialog.Label4, dialog.Label5, dialog.Label6};
    auto combos = Combos(dialog);
    for (int row = 0; row < 6; ++row) {
      TComComboBox* combo = combos[row];
      EXPECT_EQ(labelWidgets[row]->text(), labels[row]);
      EXPECT_EQ(labelWidgets[row]->objectName(), QString("Label%1").arg(row + 1));
      EXPECT_EQ(labelWidgets[row]->geometry().topLeft(), QPoint(8, 24 + 24 * row));
      EXPECT_EQ(combo->objectName(), QString("Combo%1").arg(row + 1));
      EXPECT_EQ(combo->geometry().topLeft(), QPoint(80, 16 + 24 * row));
      EXPECT_EQ(combo->width(), 129);
      EXPECT_FALSE(combo->isEditable());
      EXPECT_FALSE(combo->AutoApply());
      EXPECT_EQ(combo->ComPort(), dialog.Combo1->ComPort());
      EXPECT_EQ(combo->currentText(), shown[row]);
    }

    // Tab order: the six lists, "OK", "Cancel".
    QWidget* expected[] = {dialog.Combo2, dialog.Combo3,  dialog.Combo4,  dialog.Combo5,
                           dialog.Combo6, dialog.Button1, dialog.Button2, dialog.Combo1};
    QWidget* at = dialog.Combo1;
    for (QWidget* next : expected) {
      do at = at->nextInFocusChain();
      while (!(at->focusPolicy() & Qt::TabFocus));
      EXPECT_EQ(at, next) << at->objectName().toStdString();
    }
    ClickCancel(dialog);
  });
}

TEST_F(SetupDialogTest, ListsHoldTheirItemsInEnumerationOrder) {
  RunDialog(port_, [](TComSetupFrm& dialog) {
    auto items = [](QComboBox* combo) {
      QStringList texts;
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
      return texts;
    };
    EXPECT_EQ(items(dialog.Combo2),
              QStringList({"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400",
                           "19200", "38400", "56000", "57600", "115200", "128000", "256000"}));
    EXPECT_EQ(items(dialog.Combo3), QStringList({"5", "6", "7", "8"}));
    EXPECT_EQ(items(dialog.Combo4), QStringList({"1", "1.5", "2"}));
    EXPECT_EQ(items(dialog.Combo5), QStringList({"None", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(items(dialog.Combo6), QStringList({"Hardware", "Software", "None", "Custom"}));
    ClickCancel(dialog);
  });
}

TEST_F(SetupDialogTest, PortsAreListedRegardlessOfCaseAndReadAfreshEachTime) {
  for (const char* name : {"ttyb", "TTYa10", "ttyA2"}) Publish(name);
  auto ourPorts = [](QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) {
      if (combo->itemText(i).startsWith("tty", Qt::CaseInsensitive)) texts << combo->itemText(i);
    }
    return texts;
  };

  RunDialog(port_, [&](TComSetupFrm& dialog) {
    EXPECT_EQ(ourPorts(dialog.Combo1), QStringList({"TTYa10", "ttyA2", "ttyb", "ttyFP0"}));
    ClickCancel(dialog);
  });

  Publish("ttyC");
  RunDialog(port_, [&](TComSetupFrm& dialog) {
    EXPECT_EQ(ourPorts(dialog.Combo1), QStringList({"TTYa10", "ttyA2", "ttyb", "ttyC", "ttyFP0"}));
    ClickCancel(dialog);
  });
}

// Different items in every list, then the dialog is left without "OK".
TEST_F(SetupDialogTest, CancelAndTheCloseBoxKeepEverySettingAfterPicks) {
  Publish("ttyFP1");
  const auto before = Settings(port_);
  const std::pair<const char*, std::function<void(TComSetupFrm&)>> exits[] = {
      {"Cancel", ClickCancel},
      {"close box", [](TComSetupFrm& dialog) { dialog.close(); }},
  };
  for (const auto& [how, leave] : exits) {
    RunDialog(port_, [&](TComSetupFrm& dialog) {
      Pick(dialog.Combo1, "ttyFP1");
      Pick(dialog.Combo2, "9600");
      Pick(dialog.Combo3, "7");
      Pick(dialog.Combo4, "2");
      Pick(dialog.Combo5, "Even");
      Pick(dialog.Combo6, "Hardware");
      QTest::keyClick(&dialog, Qt::Key_Escape);  // no key stands for "Cancel"
      EXPECT_TRUE(dialog.isVisible());
      leave(dialog);
    });
    EXPECT_EQ(Settings(port_), before) << how;
  }
  EXPECT_EQ(static_cast<int>(tally_.opened.size()), 0);
}

TEST_F(SetupDialogTest, OkWithoutPicksChangesNothing) {
  const auto before = Settings(port_);
  RunDialog(port_, ClickOk);
  EXPECT_EQ(Settings(port_), before);
  EXPECT_EQ(static_cast<int>(tally_.opened.size()), 0);
  EXPECT_TRUE(tally_.applied.empty());
}

TEST_F(SetupDialogTest, EnterChoosesOk) {
  RunDialog(port_, [](TComSetupFrm& dialog) {
    Pick(dialog.Combo3, "7");
    QTest::keyClick(dialog.Combo3, Qt::Key_Return);
  });
  EXPECT_EQ(port_.DataBits(), dbSeven);
}

TEST_F(SetupDialogTest, PickedFlowControlModeSetsItsFlags) {
  struct Case {
    const char* item;
    TRTSFlowControl rts;
    bool cts, xonXoff;
  } cases[] = {
      {"Hardware", rtsHandshake, true, false},
      {"None", rtsDisable, false, false},
      {"Custom", rtsDisable, false, true},  // the start values' flags stay
      {"Software", rtsDisable, false, true},
  };
  for (const Case& c : cases) {
    SetProgramStartValues(port_);
    RunDialog(port_, [&](TComSetupFrm& dialog) {
      Pick(dialog.Combo6, c.item);
      ClickOk(dialog);
    });
    const TComFlowControl& flow = port_.FlowControl();
    EXPECT_EQ(flow.ControlRTS(), c.rts) << c.item;
    EXPECT_EQ(flow.OutCTSFlow(), c.cts) << c.item;
    EXPECT_EQ(flow.XonXoffIn(), c.xonXoff) << c.item;
    EXPECT_EQ(flow.XonXoffOut(), c.xonXoff) << c.item;
    EXPECT_EQ(flow.ControlDTR(), dtrEnable) << c.item;
  }
}

TEST_F(SetupDialogTest, FlagsOfNoNamedModeShowAsCustomAndStayOnOk) {
  port_.FlowControl().SetControlRTS(rtsEnable);
  port_.FlowControl().SetOutDSRFlow(true);
  const auto before = Settings(port_);
  RunDialog(port_, [](TComSetupFrm& dialog) {
    EXPECT_EQ(dialog.Combo6->currentText(), "Custom");
    ClickOk(dialog);
  });
  EXPECT_EQ(Settings(port_), before);
}

TEST_F(SetupDialogTest, CustomBaudRateTakesEffectAtTheNextOpen) {
  RunDialog(port_, [](TComSetupFrm& dialog) {
    Pick(dialog.Combo2, "Custom");
    ClickOk(dialog);
  });
  EXPECT_EQ(port_.BaudRate(), brCustom);
  EXPECT_TRUE(tally_.applied.empty());  // a closed port: only stored

  port_.Open();
  ASSERT_EQ(tally_.applied.size(), 1u);
  EXPECT_EQ(tally_.applied.back().baudRate, 9600);
}

TEST_F(SetupDialogTest, OnAnOpenPortTheChangesReachTheDeviceOnceAtTheEnd) {
  port_.Open();
  tally_.applied.clear();
  RunDialog(port_, [](TComSetupFrm& dialog) {
    Pick(dialog.Combo2, "9600");
    Pick(dialog.Combo4, "2");
    Pick(dialog.Combo5, "Even");
    ClickOk(dialog);
  });
  ASSERT_EQ(tally_.applied.size(), 1u);
  EXPECT_EQ(tally_.applied[0].baudRate, 9600);
  EXPECT_EQ(tally_.applied[0].stopBits, sbTwoStopBits);
  EXPECT_EQ(tally_.applied[0].parity, prEven);
  EXPECT_EQ(static_cast<int>(tally_.opened.size()), 1);  // same port name: no reopen
}

TEST_F(SetupDialogTest, NameDifferingOnlyInCaseSelectsTheListedPort) {
  port_.SetPort("TTYFP0");
  RunDialog(port_, [](TComSetupFrm& dialog) {
    EXPECT_EQ(dialog.Combo1->currentText(), "ttyFP0");
    ClickOk(dialog);
  });
  EXPECT_EQ(port_.Port(), "ttyFP0");
}

TEST_F(SetupDialogTest, UnlistedNameShowsNoSelectionAndOkWritesAnEmptyName) {
  port_.SetPort("no-such-port");
  RunDialog(port_, [](TComSetupFrm& dialog) {
    EXPECT_EQ(dialog.Combo1->currentIndex(), -1);
    ClickOk(dialog);
  });
  EXPECT_EQ(port_.Port(), "");
  EXPECT_EQ(port_.BaudRate(), br19200);
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
