// The main window driven as a user drives it: its Locked state, and what
// each key and click does or does not do.
#include <gtest/gtest.h>

#include <QFrame>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <utility>

#include "gui/qt/Application.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/Panel.h"
#include "tests/support/GuiTestSupport.h"

namespace {

using MainWindowTest = ProgramFormsTest;

TEST_F(MainWindowTest, OpensLockedWithOnlyItemsOneAndZeroEnabled) {
  struct Expected {
    TPanel* panel;
    bool enabled;
    const char* caption;
  } panels[] = {
      {Window().Panel1, true, "1. Procitaj vreme iz RK-730"},
      {Window().Panel2, false, "2."},
      {Window().Panel3, false, "3."},
      {Window().Panel0, true, "0. Kraj rada"},
  };
  for (const Expected& e : panels) {
    EXPECT_EQ(e.panel->isEnabled(), e.enabled) << e.caption;
    EXPECT_EQ(e.panel->text(), e.caption);
  }
  EXPECT_EQ(Window().windowTitle(), "Korvena - Promena Poreskih grupa - RK730");
  EXPECT_EQ(Window().size(), QSize(484, 392));
  for (QLabel* link : std::initializer_list<QLabel*>{Window().LabelMail, Window().LabelWeb}) {
    EXPECT_GE(link->width(), link->fontMetrics().horizontalAdvance(link->text())) << "clipped";
    EXPECT_LE(link->geometry().right(), Window().Panel12->contentsRect().right());
  }
  EXPECT_EQ(Window().LabelMail->pos(), QPoint(15, 6));
  EXPECT_EQ(Window().LabelWeb->pos(), QPoint(280, 6));
  EXPECT_FALSE(Window().Unlocked());
}

TEST_F(MainWindowTest, OpensInTheMiddleOfTheScreen) {
  // The frame's own width is the window manager's: allow for it.
  const QRect workArea = Window().screen()->availableGeometry();
  EXPECT_LE((Window().frameGeometry().center() - workArea.center()).manhattanLength(), 16)
      << Window().frameGeometry().x() << "," << Window().frameGeometry().y();
}

TEST_F(MainWindowTest, ClicksOnGreyedPanelsDoNothing) {
  ModalUser user;
  QTest::mouseClick(Window().Panel2, Qt::LeftButton);
  QTest::mouseClick(Window().Panel3, Qt::LeftButton);
  QTest::qWait(100);
  EXPECT_TRUE(user.Titles().isEmpty());
  EXPECT_TRUE(printer_.Requests().empty());
  EXPECT_TRUE(Window().isVisible());
}

TEST_F(MainWindowTest, KeysOutsideTheMenuDoNothing) {
  ModalUser user;
  for (char key : std::string("456789aZ ")) QTest::keyClicks(&Window(), QString(key));
  QTest::keyClick(&Window(), Qt::Key_Return);
  QTest::keyClick(&Window(), Qt::Key_F1);
  QTest::qWait(100);
  EXPECT_TRUE(user.Titles().isEmpty());
  EXPECT_TRUE(printer_.Requests().empty());
  EXPECT_TRUE(Window().isVisible());
  EXPECT_FALSE(Window().Unlocked());
}

TEST_F(MainWindowTest, EscapeZeroPanelZeroAndTheCloseBoxEndTheProgram) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Escape", [this] { QTest::keyClick(&Window(), Qt::Key_Escape); }},
      {"0", [this] { QTest::keyClicks(&Window(), "0"); }},
      {"Panel0", [this] { QTest::mouseClick(Window().Panel0, Qt::LeftButton); }},
      {"close box", [this] { Window().windowHandle()->close(); }},
  };
  for (const auto& [way, end] : ways) {
    // The program's own event loop, with the user's action as its first event.
    QTimer::singleShot(0, end);
    bool ended = true;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      ended = false;
      QCoreApplication::exit(1);
    });
    guard.start(5000);
    EXPECT_EQ(Application().Run(), 0) << way;
    EXPECT_TRUE(ended) << way << " left the event loop running";
    EXPECT_FALSE(Window().isVisible()) << way;
  }
  EXPECT_TRUE(printer_.Requests().empty());
}

TEST_F(MainWindowTest, KeyTwoOpensTheEditorWhileLocked) {
  ModalUser user;
  QTest::keyClicks(&Window(), "2");
  EXPECT_EQ(user.Titles(), QStringList{"Porezi"});
  EXPECT_FALSE(Window().Unlocked());
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
