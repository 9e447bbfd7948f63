// The main window: the menu's states as drawn, the keys, the clicks (through
// the system's input, so that a greyed panel takes none) and menu item 1.
#include "gui/win32/CPortSetup.h"
#include "gui/win32/MainPDV.h"
#include "gui/win32/Startup.h"
#include "tests/gui/win32/GuiTestSupport.h"

namespace {

struct PanelState {
  int item;
  const char* caption;
  bool enabled;
};

void ExpectPanels(TFormMainPDV& window, std::initializer_list<PanelState> expected) {
  TPanel* panels[] = {window.Panel0, window.Panel1, window.Panel2, window.Panel3};
  for (const PanelState& state : expected) {
    SCOPED_TRACE("Panel" + std::to_string(state.item));
    EXPECT_EQ(panels[state.item]->Caption(), state.caption);
    EXPECT_EQ(Enabled(panels[state.item]->Handle()), state.enabled);
  }
}

const std::string kClockBox = "Information: Vreme u Stampacu je:\n\n24.12.2023 18:05:09";

class MainWindowTest : public ProgramFormsTest {
 protected:
  MainWindowTest() { printer.SetClock(24, 12, 2023, 18, 5, 9); }
};

TEST_F(MainWindowTest, StartsLockedAsDesigned) {
  EXPECT_EQ(TextOf(Window().Handle()), "Korvena - Promena Poreskih grupa - RK730");
  ExpectPanels(Window(), {{0, "0. Kraj rada", true},
                          {1, "1. Procitaj vreme iz RK-730", true},
                          {2, "2.", false},
                          {3, "3.", false}});
  EXPECT_EQ(GetDlgCtrlID(Window().Panel2->Handle()), TFormMainPDV::IDC_Panel2);
}

TEST_F(MainWindowTest, OtherKeysAndGreyedPanelsDoNothing) {
  ModalUser user;
  for (wchar_t key : {L'4', L'9', L'a', L' '}) TypeInMainWindow(key);
  ClickWithMouse(Window().Panel2->Handle());
  ClickWithMouse(Window().Panel3->Handle());
  EXPECT_TRUE(printer.Requests().empty());
  EXPECT_TRUE(user.Saw().empty());
  EXPECT_TRUE(IsWindowVisible(Window().Handle()));
}

TEST_F(MainWindowTest, MenuItem1ReadsTheClockAndUnlocks) {
  ModalUser user;
  TypeInMainWindow(L'1');
  EXPECT_EQ(user.Saw(), (std::vector<std::string>{"Setup", kClockBox}));
  EXPECT_EQ(CountOf(62), 2);                     // the probe and the checked read
  EXPECT_EQ(Port().Port(), printer.PortName());  // "OK" kept the port the dialog showed
  ExpectPanels(Window(), {{1, "1.", false},
                          {2, "2. Promeni poreske grupe", true},
                          {3, "3. X-Report ( presek stanja )", true}});
  // Key 1 still works on the greyed panel; a click on it does nothing.
  ClickWithMouse(Window().Panel1->Handle());
  EXPECT_EQ(user.Saw().size(), 2u);
  TypeInMainWindow(L'1');
  EXPECT_EQ(user.Saw().size(), 4u);
}

TEST_F(MainWindowTest, ProbeThatFailsWarnsAndLeavesTheMenuLocked) {
  printer.InjectStatus({0, 0, 0x01, 0, 0, 0}, sim::kAlways);  // "#NoPaper"
  ModalUser user;
  TypeInMainWindow(L'1');
  EXPECT_EQ(user.Saw(), (std::vector<std::string>{
                            "Setup", "Warning: Stampac se ne javlja!\n\nIzaberite drugi ComPort"}));
  ExpectPanels(Window(), {{1, "1. Procitaj vreme iz RK-730", true}, {2, "2.", false}});
}

TEST_F(MainWindowTest, PortThatCannotOpenGoesToTheDefaultExceptionDisplay) {
  // A COM port nothing maps; "Cancel" keeps it, as no list offers it.
  Port().SetPort("COM77");
  ModalUser user;
  user.setup = [](TComSetupFrm& dialog) { PostMessageW(dialog.Button2, BM_CLICK, 0, 0); };
  TypeInMainWindow(L'1');
  ASSERT_EQ(user.Saw().size(), 2u);
  EXPECT_EQ(user.Saw()[1].rfind(std::string(kApplicationTitle) + ": Unable to open com port", 0),
            0u)
      << user.Saw()[1];
  ExpectPanels(Window(), {{2, "2.", false}});
  EXPECT_TRUE(printer.Requests().empty());
}

TEST_F(MainWindowTest, DoubleClickOnAPanelRunsItsItemOnce) {
  ModalUser user;
  TypeInMainWindow(L'1');
  ClickWithMouse(Window().Panel3->Handle(), 2);
  EXPECT_EQ(CountOf(69), 1);
  EXPECT_EQ(LastDataOf(69), "2");
  EXPECT_EQ(printer.XReportCount(), 1);
}

TEST_F(MainWindowTest, ClickOnPanel0AndEscapeEndTheProgram) {
  for (bool byEscape : {false, true}) {
    ShowWindow(Window().Handle(), SW_SHOW);
    if (byEscape) {
      TypeInMainWindow(27);
    } else {
      ClickWithMouse(Window().Panel0->Handle());
    }
    EXPECT_FALSE(IsWindowVisible(Window().Handle())) << "by Escape: " << byEscape;
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  }
}

}  // namespace
