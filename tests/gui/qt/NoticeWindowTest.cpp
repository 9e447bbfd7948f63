// The notice window driven as a user drives it: what closes it and what does
// not, how it lays itself out and where it opens, the lock others see while
// it is up, and the restore of a minimised program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "gui/qt/Application.h"
#include "gui/qt/P00_YellowMsg.h"
#include "messages/P00_KVMsgDlg.h"
#include "tests/support/GuiTestSupport.h"

namespace {

NoticeSize LabelNeeds(const TFormYellowMsg& notice) {
  const QSize needs = notice.LabelMsg->sizeHint();
  return {needs.width(), needs.height()};
}

QRect ToQRect(const NoticeRect& r) {
  return QRect(r.left, r.top, r.width, r.height);
}

using NoticeAction = std::function<void(TFormYellowMsg&)>;

void ClickOk(TFormYellowMsg& notice) {
  QTest::mouseClick(notice.Button1, Qt::LeftButton);
}

class NoticeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { notice_ = std::make_unique<TFormYellowMsg>(); }

  // Shows the text and, once the notice is up, runs `whileUp`, which must
  // close it; a notice still up after five seconds is closed and fails.
  void Show(const std::string& deviceText, const NoticeAction& whileUp) {
    bool ran = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (ran || !notice_->isVisible()) return;
      ran = true;
      // Keys and focus belong to the active window; give the platform time.
      EXPECT_TRUE(QTest::qWaitForWindowActive(notice_.get()));
      whileUp(*notice_);
    });
    poll.start(10);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] { notice_->close(); });
    guard.start(5000);
    notice_->ShowText(deviceText);
    EXPECT_TRUE(ran) << "the notice never came up";
    EXPECT_TRUE(guard.isActive()) << "the notice did not close";
    EXPECT_FALSE(notice_->isVisible());
  }

  std::unique_ptr<TFormYellowMsg> notice_;
  const std::string lockPath_ = NamedLock("YellowMsg").Path();
};

TEST_F(NoticeWindowTest, DesignedLook) {
  EXPECT_EQ(notice_->objectName(), "FormYellowMsg");
  EXPECT_EQ(notice_->windowTitle(), "Vazna poruka");
  EXPECT_EQ(notice_->GroupBox1->objectName(), "GroupBox1");
  EXPECT_TRUE(notice_->GroupBox1->title().isEmpty());
  EXPECT_EQ(notice_->LabelMsg->objectName(), "LabelMsg");
  EXPECT_EQ(notice_->Button1->objectName(), "Button1");
  EXPECT_EQ(notice_->Button1->text(), "OK");
  EXPECT_EQ(notice_->font().pixelSize(), 13);
  EXPECT_EQ(notice_->palette().color(QPalette::Window),
            notice_->palette().color(QPalette::ToolTipBase));
  const Qt::WindowFlags flags = notice_->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(notice_->isVisible());
}

TEST_F(NoticeWindowTest, OkAndTheCloseBoxCloseItEscapeDoesNot) {
  struct Case {
    const char* name;
    NoticeAction close;
  } cases[] = {
      {"OK clicked", ClickOk},
      {"OK by the space bar", [](TFormYellowMsg& n) { QTest::keyClick(n.Button1, Qt::Key_Space); }},
      {"close box", [](TFormYellowMsg& n) { n.windowHandle()->close(); }},
      {"Escape, then OK",
       [](TFormYellowMsg& n) {
         QTest::keyClick(&n, Qt::Key_Escape);
         QTest::keyClick(n.Button1, Qt::Key_Escape);
         QTest::qWait(50);
         EXPECT_TRUE(n.isVisible()) << "Escape closed the notice";
         ClickOk(n);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Show("Stampac se ne javlja!", [&](TFormYellowMsg& n) {
      EXPECT_EQ(n.focusWidget(), n.Button1);
      EXPECT_FALSE(OtherProcessCanTake(lockPath_)) << "lock not held while the notice is up";
      c.close(n);
    });
    EXPECT_TRUE(OtherProcessCanTake(lockPath_)) << "lock still held after the notice closed";
  }
}

TEST_F(NoticeWindowTest, LaysItselfOutForItsText) {
  TFormKVMsgDlg catalog;
  struct Case {
    std::string deviceText;
    QString shown;
  } cases[] = {
      {"Pa\x9enja!", QString::fromUtf8("Pažnja!")},  // Windows-1250 text
      {catalog.CatalogText(kPaperOutNotice),
       QString::fromStdString(catalog.CatalogText(kPaperOutNotice))},
      {"<b>Stampac</b> & <#1>", "<b>Stampac</b> & <#1>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deviceText);
    Show(c.deviceText, [&](TFormYellowMsg& n) {
      EXPECT_EQ(n.LabelMsg->text(), c.shown);
      // Every character shows as written: nothing is taken for markup.
      for (const QString& line : c.shown.split('\n')) {
        EXPECT_GE(n.LabelMsg->sizeHint().width(), n.fontMetrics().horizontalAdvance(line));
      }
      const NoticeLayout expected = ComputeNoticeLayout(LabelNeeds(n));
      EXPECT_EQ(n.LabelMsg->geometry(), ToQRect(expected.label));
      EXPECT_EQ(n.GroupBox1->geometry(), ToQRect(expected.groupBox));
      EXPECT_EQ(n.Button1->geometry(), ToQRect(expected.button));
      EXPECT_EQ(n.size(), QSize(expected.client.width, expected.client.height));
      ClickOk(n);
    });
  }
}

TEST_F(NoticeWindowTest, PaperOutNoticeGrowsWithItsElevenLines) {
  TFormKVMsgDlg catalog;
  Show(catalog.CatalogText(kPaperOutNotice), [](TFormYellowMsg& n) {
    const QRect label = n.LabelMsg->geometry();
    const QRect group = n.GroupBox1->geometry();
    const QRect button = n.Button1->geometry();
    EXPECT_GT(label.height(), 11 * n.fontMetrics().lineSpacing() - n.fontMetrics().leading());
    EXPECT_LE(std::abs((button.left() + button.right()) - (group.left() + group.right())), 1);
    EXPECT_EQ(button.top(), group.bottom() + 1 + 16);
    EXPECT_GT(n.height(), 226);
    ClickOk(n);
  });
}

TEST_F(NoticeWindowTest, OpensCentredOnceThenWhereItWasLeft) {
  QPoint first;
  Show("Kratko", [&](TFormYellowMsg& n) {
    const QRect workArea = n.screen()->availableGeometry();
    const NoticeSize outer = ComputeNoticeLayout(LabelNeeds(n)).outer;
    EXPECT_EQ(n.pos(), QPoint(workArea.x() + (workArea.width() - outer.width) / 2,
                              workArea.y() + (workArea.height() - outer.height) / 2));
    n.move(123, 77);  // the user drags it away
    ClickOk(n);
  });
  TFormKVMsgDlg catalog;
  Show(catalog.CatalogText(kPaperOutNotice), [&](TFormYellowMsg& n) {
    EXPECT_EQ(n.pos(), QPoint(123, 77));
    EXPECT_GT(n.height(), 226);
    ClickOk(n);
  });
  Show("Kratko", [&](TFormYellowMsg& n) {
    EXPECT_EQ(n.pos(), QPoint(123, 77));
    EXPECT_EQ(n.size(), QSize(280, 226));
    ClickOk(n);
  });
}

TEST_F(NoticeWindowTest, AnotherHolderOfTheLockDoesNotStopIt) {
  NamedLock other("YellowMsg");
  ASSERT_TRUE(other.Acquire());
  bool shown = false;
  Show("Kratko", [&](TFormYellowMsg& n) {
    shown = true;
    ClickOk(n);
  });
  EXPECT_TRUE(shown);
  EXPECT_TRUE(other.Held());
  EXPECT_FALSE(OtherProcessCanTake(lockPath_)) << "closing the notice freed another's lock";
}

TEST_F(NoticeWindowTest, RestoresAMinimisedProgramAndComesForward) {
  QWidget mainForm;
  Application().SetMainForm(&mainForm);
  mainForm.showMinimized();
  ASSERT_TRUE(mainForm.isMinimized());
  Show("Kratko", [&](TFormYellowMsg& n) {
    EXPECT_FALSE(mainForm.isMinimized());
    EXPECT_TRUE(n.isActiveWindow());
    ClickOk(n);
  });
  Application().SetMainForm(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
