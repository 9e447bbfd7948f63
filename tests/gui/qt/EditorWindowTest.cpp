// The tax group editor driven as a user drives it, from the main window, with
// the printer simulator on the far end of a pseudo-terminal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "device/P00_FP.h"
#include "fiscal/P00_fpsend.h"
#include "gui/qt/MainPDV.h"
#include "gui/qt/P11_Porezi.h"
#include "gui/qt/Panel.h"
#include "serial/PortDefaults.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/RecordingBackend.h"

namespace {

using Rates = std::vector<std::string>;

// Types text into a box as key presses carrying the characters, after
// selecting what the box held, as a user replacing a rate does.
void ReplaceText(QLineEdit* box, const QString& text) {
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  for (QChar c : text) {
    const auto key = c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
    QTest::sendKeyEvent(QTest::Click, box, key, QString(c), Qt::NoModifier);
  }
}

class EditorTest : public ProgramFormsTest {
 protected:
  void SetUp() override {
    ProgramFormsTest::SetUp();
    user_.LeaveAlone(FormPorezi);  // each case drives it through WithEditor
  }

  TFormPorezi& Editor() { return *FormPorezi; }

  // Short time-outs for the cases where a silent printer is not the point.
  void ShortenTimeouts() {
    Port().Timeouts().SetReadTotalConstant(10);
    Port().Timeouts().SetReadTotalMultiplier(5);
  }

  // Opens the editor with `open` (a key or a click on the main window), runs
  // `inside` once the editor is up and modal, and closes it afterwards when
  // `inside` left it open. Returns after the modal showing has ended.
  void WithEditor(const std::function<void()>& open, const std::function<void()>& inside) {
    bool ran = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == FormPorezi && modal->isVisible()) {
        poll.stop();
        ran = true;
        // Keys and focus act on the active window; activation comes a little
        // after the modal showing starts.
        EXPECT_TRUE(QTest::qWaitForWindowActive(FormPorezi));
        inside();
        if (FormPorezi->isVisible()) FormPorezi->close();
      } else if (clock.elapsed() > 30000) {
        poll.stop();
        ADD_FAILURE() << "the editor never came up";
        if (modal) modal->close();
      }
    });
    poll.start();
    open();
    EXPECT_TRUE(ran) << "the editor did not open";
    EXPECT_FALSE(Editor().isVisible());
  }
  void WithEditorByKey(const std::function<void()>& inside) {
    WithEditor([] { QTest::keyClicks(FormMainPDV, "2"); }, inside);
  }

  std::string Masks() const {
    std::string bits;
    for (QCheckBox* mask : FormPorezi->CheckBoxMask) bits += mask->isChecked() ? '1' : '0';
    return bits;
  }
  bool AllMaskBoxesDisabled() const {
    for (QCheckBox* mask : FormPorezi->CheckBoxMask) {
      if (mask->isEnabled()) return false;
    }
    return true;
  }
  QStringList RateTexts() const {
    QStringList texts;
    for (QLineEdit* rate : FormPorezi->LEditProc) texts << rate->text();
    return texts;
  }
  std::vector<sim::Request> RequestsOf(int command) const {
    std::vector<sim::Request> found;
    for (const sim::Request& request : printer_.Requests()) {
      if (request.command == command) found.push_back(request);
    }
    return found;
  }

  ModalUser user_;
};

TEST_F(EditorTest, KeyTwoOpensTheEditorShowingMaskAndRatesExactlyAsSent) {
  printer_.SetEnableMask("11111111");
  printer_.SetRates({"20.00", " 10", "0 ", "abc", "", "\xE8", "7,5", "H"});
  WithEditorByKey([&] {
    EXPECT_EQ(Masks(), "11111111");
    EXPECT_TRUE(AllMaskBoxesDisabled());
    // "7,5" is two fields on the wire: G gets "7" and the rest is never shown.
    EXPECT_EQ(RateTexts(), QStringList({"20.00", " 10", "0 ", "abc", "", "č", "7", "5"}));
    EXPECT_EQ(QApplication::focusWidget(), Editor().ButtonProcitaj);
  });
  std::vector<sim::Request> requests = printer_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].command, 83);
  EXPECT_EQ(requests[0].data, "");
  EXPECT_EQ(requests[1].command, 97);
  EXPECT_EQ(requests[1].data, "");
  EXPECT_TRUE(user_.BoxTexts().isEmpty());
}

TEST_F(EditorTest, ClickOnPanelTwoOpensTheEditorOnceTheMenuIsUnlocked) {
  FormMainPDV->ReadDeviceTime();  // the clock read of menu item 1, past its setup dialog
  ASSERT_TRUE(FormMainPDV->Unlocked());
  printer_.ClearRequests();
  printer_.SetEnableMask("10100000");
  WithEditor([] { QTest::mouseClick(FormMainPDV->Panel2, Qt::LeftButton); },
             [&] { EXPECT_EQ(Masks(), "10100000"); });
  EXPECT_EQ(RequestsOf(83).size(), 1u);
  EXPECT_EQ(RequestsOf(97).size(), 1u);
}

TEST_F(EditorTest, WindowLayoutAndTabOrder) {
  WithEditorByKey([&] {
    EXPECT_EQ(Editor().windowTitle(), "Porezi");
    EXPECT_EQ(Editor().size(), QSize(322, 332));
    const QRect workArea = Editor().screen()->availableGeometry();
    EXPECT_LE((Editor().frameGeometry().center() - workArea.center()).manhattanLength(), 16);
    EXPECT_EQ(Editor().ButtonProcitaj->text(), "Pročitaj");
    EXPECT_EQ(Editor().ButtonUpisi->text(), "Upiši u FP");
    EXPECT_EQ(Editor().GroupPoreziDozvoljeni->title(), "Porezi      Stope");
    for (int group = 0; group < kTaxGroups; ++group) {
      QLabel* label = Editor().LabelProc[group];
      EXPECT_EQ(label->text(), QString(QChar('A' + group)));
      EXPECT_TRUE(label->font().bold());
      EXPECT_EQ(label->geometry().right() + 1 + 16, Editor().LEditProc[group]->x());
      EXPECT_EQ(Editor().LEditProc[group]->objectName(), "LEditProc" + QString::number(group));
      EXPECT_EQ(Editor().CheckBoxMask[group]->objectName(),
                "CheckBoxMask" + QString::number(group));
    }
    // The disabled mask boxes are passed over; the rate boxes follow the buttons.
    std::vector<QWidget*> expected = {Editor().ButtonUpisi};
    for (QLineEdit* rate : Editor().LEditProc) expected.push_back(rate);
    expected.push_back(Editor().ButtonProcitaj);
    for (QWidget* next : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
  });
}

TEST_F(EditorTest, WriteSendsTheEnabledGroupsRatesByteExact) {
  const QStringList typed = {" 20 ", "1O", "č", "0", "0", "0", "0", "7"};
  struct Case {
    std::string mask;
    std::string data;
  } cases[] = {
      {"11111111", " 20 ,1O,\xE8,0,0,0,0,7"},
      {"11000000", " 20 ,1O,"},
      {"10000001", " 20 ,7"},
      {"00100000", "\xE8,"},
  };
  for (const Case& c : cases) {
    printer_.SetEnableMask(c.mask);
    printer_.ClearRequests();
    WithEditorByKey([&] {
      ASSERT_EQ(Masks(), c.mask);
      for (int group = 0; group < kTaxGroups; ++group) {
        ReplaceText(Editor().LEditProc[group], typed[group]);
      }
      QTest::mouseClick(Editor().ButtonUpisi, Qt::LeftButton);
      EXPECT_EQ(Masks(), c.mask);
      EXPECT_TRUE(AllMaskBoxesDisabled());
      EXPECT_EQ(RateTexts(), typed);
    });
    std::vector<sim::Request> writes = RequestsOf(96);
    ASSERT_EQ(writes.size(), 1u) << c.mask;
    EXPECT_EQ(writes[0].data, c.data) << c.mask;
  }
  EXPECT_TRUE(user_.BoxTexts().isEmpty());
}

TEST_F(EditorTest, RateWithACommaIsRefusedWithAMessageAndNothingIsSent) {
  printer_.SetEnableMask("11000000");
  WithEditorByKey([&] {
    printer_.ClearRequests();
    ReplaceText(Editor().LEditProc[0], "7,5");
    ReplaceText(Editor().LEditProc[2], "1,2");  // group C is off: harmless
    QTest::mouseClick(Editor().ButtonUpisi, Qt::LeftButton);
    EXPECT_EQ(Editor().LEditProc[0]->text(), "7,5");
    EXPECT_TRUE(Editor().isVisible());
  });
  EXPECT_TRUE(printer_.Requests().empty());
  EXPECT_EQ(user_.Saw(), QStringList{"Warning: Stopa grupe A sadrzi zarez!\n\nZarez razdvaja stope "
                                     "grupa, pa stope nisu upisane u FP."});
}

// Command 96 with an empty list would clear group A: what was never read is
// never written.
TEST_F(EditorTest, SilentPrinterEmptiesTheBoxesQuietlyAndAWriteIsRefusedWithAWarning) {
  ShortenTimeouts();
  printer_.Inject(sim::Fault::Silence, sim::kAlways);
  WithEditorByKey([&] {
    EXPECT_EQ(Masks(), "00000000");
    EXPECT_EQ(RateTexts(), QStringList(kTaxGroups, QString()));
    EXPECT_TRUE(AllMaskBoxesDisabled());
    EXPECT_TRUE(user_.Saw().isEmpty());  // the read itself says nothing
    printer_.ClearRequests();
    ReplaceText(Editor().LEditProc[0], "20");
    QTest::mouseClick(Editor().ButtonUpisi, Qt::LeftButton);
    EXPECT_TRUE(AllMaskBoxesDisabled());
    EXPECT_TRUE(Editor().isVisible());
  });
  EXPECT_TRUE(printer_.Requests().empty());
  EXPECT_EQ(user_.Saw(), QStringList{"Warning: Nijedna poreska grupa nije ukljucena!\n\nPrvo "
                                     "procitajte grupe iz stampaca; stope nisu upisane u FP."});
}

TEST_F(EditorTest, EscapeClosesFromARateBoxAndEnterPressesOnlyAFocusedButton) {
  WithEditorByKey([&] {
    printer_.ClearRequests();
    ReplaceText(Editor().LEditProc[2], "9");
    ASSERT_EQ(QApplication::focusWidget(), Editor().LEditProc[2]);
    // Enter in a rate box neither reads over the typed rate nor writes it.
    QTest::keyClick(Editor().LEditProc[2], Qt::Key_Return);
    QTest::keyClick(Editor().LEditProc[2], Qt::Key_Enter);
    EXPECT_TRUE(Editor().isVisible());
    EXPECT_EQ(Editor().LEditProc[2]->text(), "9");
    EXPECT_TRUE(printer_.Requests().empty());

    Editor().ButtonUpisi->setFocus();
    QTest::keyClick(Editor().ButtonUpisi, Qt::Key_Return);
    EXPECT_EQ(RequestsOf(96).size(), 1u);

    QTest::mouseClick(Editor().LEditProc[5], Qt::LeftButton);
    QTest::keyClick(Editor().LEditProc[5], Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(Editor().isVisible());
  });
  EXPECT_EQ(printer_.Requests().size(), 1u);  // closing wrote nothing
  EXPECT_TRUE(FormMainPDV->isVisible());
}

TEST_F(EditorTest, PortThatCannotBeOpenedShowsItsErrorAndTheEditorStillOpens) {
  Port().SetPort(testing::TempDir() + "no-such-port");
  WithEditorByKey([&] {
    EXPECT_TRUE(AllMaskBoxesDisabled());
    EXPECT_EQ(Masks(), "11111111");  // the design's contents, untouched
    EXPECT_EQ(RateTexts(), QStringList(kTaxGroups, "0"));
  });
  ASSERT_EQ(user_.BoxTexts().size(), 1);
  EXPECT_TRUE(user_.BoxTexts()[0].startsWith("Unable to open com port"))
      << user_.BoxTexts()[0].toStdString();
  EXPECT_TRUE(printer_.Requests().empty());
}

TEST_F(EditorTest, PortFailingOnTheRatesKeepsTheNewMaskAndTheOldRates) {
  printer_.SetEnableMask("10100001");
  printer_.SetRates({"1", "2", "3", "4", "5", "6", "7", "8"});
  // The real port on the simulator, failing every write after the first, as
  // a cable pulled between two exchanges.
  BackendTally tally;
  tally.writesAllowed = 1;
  TComPort failing(std::make_unique<RecordingBackend>(tally));
  SetProgramStartValues(failing);
  failing.SetPort(printer_.PortPath());
  FiscalPort = &failing;
  EXPECT_THROW(Editor().ReadTaxes(), EComPort);
  FiscalPort = &Port();
  EXPECT_EQ(Masks(), "10100001");
  EXPECT_EQ(RateTexts(), QStringList(kTaxGroups, "0"));
  ASSERT_EQ(printer_.Requests().size(), 1u);
  EXPECT_EQ(printer_.Requests()[0].command, 83);
}

// What a newcomer does with the bundled simulator: open the editor, change a
// rate, write it, read it back.
TEST_F(EditorTest, ChangedRateIsWrittenAndReadBack) {
  printer_.SetEnableMask("11111111");
  printer_.SetRates({"20", "10", "0", "0", "0", "0", "0", "0"});
  WithEditorByKey([&] {
    ASSERT_EQ(Editor().LEditProc[1]->text(), "10");
    ReplaceText(Editor().LEditProc[1], "8");
    QTest::mouseClick(Editor().ButtonUpisi, Qt::LeftButton);
    EXPECT_TRUE(AllMaskBoxesDisabled());
    Editor().LEditProc[1]->setText("stale");
    QTest::mouseClick(Editor().ButtonProcitaj, Qt::LeftButton);
    EXPECT_EQ(Editor().LEditProc[1]->text(), "8");
    EXPECT_EQ(Masks(), "11111111");
    EXPECT_TRUE(AllMaskBoxesDisabled());
  });
  EXPECT_EQ(printer_.Rates(), Rates({"20", "8", "0", "0", "0", "0", "0", "0"}));
  EXPECT_TRUE(user_.BoxTexts().isEmpty());
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuiTests(argc, argv);
}
