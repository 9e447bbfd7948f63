// The tax group editor: what it shows of the printer's groups, what it
// writes with command 96, and its keys.
#include "gui/win32/MainPDV.h"
#include "gui/win32/P11_Porezi.h"
#include "tests/gui/win32/GuiTestSupport.h"

namespace {

class EditorWindowTest : public ProgramFormsTest {
 protected:
  using Step = std::function<void(TFormPorezi&)>;

  // Opens the editor by key 2 and runs `steps` on it, each on a turn of the
  // editor's own loop (so that posted keys pass through it first); then
  // closes it with Escape unless a step did.
  void WithEditor(std::vector<Step> steps) {
    user.LeaveAlone(FormPorezi->Handle());
    current = this;
    steps_ = std::move(steps);
    SetTimer(FormPorezi->Handle(), 1, 30, [](HWND editor, UINT, UINT_PTR id, DWORD) {
      auto& steps = current->steps_;
      if (steps.empty()) {
        KillTimer(editor, id);
        if (IsWindowVisible(editor)) PostKey(editor, VK_ESCAPE);
        return;
      }
      const Step step = steps.front();
      steps.erase(steps.begin());
      step(*FormPorezi);
    });
    TypeInMainWindow(L'2');
  }

  ModalUser user;

 private:
  static inline EditorWindowTest* current = nullptr;
  std::vector<Step> steps_;
};

TEST_F(EditorWindowTest, ShowsTheMaskAndRatesAsThePrinterSentThem) {
  printer.SetEnableMask("1100000");  // seven characters: H is not enabled
  printer.SetRates({"20.00", " 10 ", "x", "0", "0", "0", "0", "18"});
  WithEditor({[](TFormPorezi& editor) {
    EXPECT_EQ(TextOf(editor.Handle()), "Porezi");
    EXPECT_EQ(TextOf(editor.ButtonProcitaj), "Pročitaj");
    EXPECT_EQ(TextOf(editor.ButtonUpisi), "Upiši u FP");
    EXPECT_EQ(TextOf(editor.GroupPoreziDozvoljeni), "Porezi      Stope");
    const bool masks[] = {true, true, false, false, false, false, false, false};
    const char* rates[] = {"20.00", " 10 ", "x", "0", "0", "0", "0", "18"};
    for (int group = 0; group < kTaxGroups; ++group) {
      SCOPED_TRACE(TextOf(editor.LabelProc[group]));
      EXPECT_EQ(Checked(editor.CheckBoxMask[group]), masks[group]);
      EXPECT_FALSE(Enabled(editor.CheckBoxMask[group]));
      EXPECT_EQ(TextOf(editor.LEditProc[group]), rates[group]);
    }
    EXPECT_EQ(GetFocus(), editor.ButtonProcitaj);
  }});
  EXPECT_EQ(CountOf(83), 1);
  EXPECT_EQ(CountOf(97), 1);
  EXPECT_TRUE(user.Saw().empty());
}

TEST_F(EditorWindowTest, WritesTheRatesOfTheEnabledGroupsInTheDevicesCodePage) {
  struct Case {
    const char* mask;
    const char* written;
  };
  // "č" is 0xE8 in Windows-1250.
  const Case cases[] = {
      {"11111111", "7 \xE8,10,0,0,0,0,0,0"}, {"11000000", "7 \xE8,10,"}, {"10000001", "7 \xE8,0"}};
  for (const Case& c : cases) {
    printer.SetEnableMask(c.mask);
    printer.SetRates({"20", "10", "0", "0", "0", "0", "0", "0"});
    WithEditor({[](TFormPorezi& editor) {
      SetWindowTextW(editor.LEditProc[0], L"7 č");
      SendMessageW(editor.ButtonUpisi, BM_CLICK, 0, 0);
      EXPECT_TRUE(IsWindowVisible(editor.Handle()));
      EXPECT_FALSE(Enabled(editor.CheckBoxMask[0]));
    }});
    EXPECT_EQ(LastDataOf(96), c.written) << "mask " << c.mask;
    // The printer took group A's new rate and kept the others.
    EXPECT_EQ(printer.Rates(),
              (std::vector<std::string>{"7 \xE8", "10", "0", "0", "0", "0", "0", "0"}))
        << "mask " << c.mask;
  }
  EXPECT_TRUE(user.Saw().empty());
}

TEST_F(EditorWindowTest, RatesTheRulesRefuseAreExplainedAndNotSent) {
  for (const char* mask : {"00000000", "11111111"}) {
    printer.SetEnableMask(mask);
    WithEditor({[](TFormPorezi& editor) {
      SetWindowTextW(editor.LEditProc[1], L"7,5");
      SendMessageW(editor.ButtonUpisi, BM_CLICK, 0, 0);
    }});
  }
  EXPECT_EQ(CountOf(96), 0);
  ASSERT_EQ(user.Saw().size(), 2u);
  for (const std::string& seen : user.Saw()) EXPECT_EQ(seen.rfind("Warning: ", 0), 0u) << seen;
}

TEST_F(EditorWindowTest, EnterInARateBoxDoesNothingAndEscapeClosesFromIt) {
  WithEditor({[](TFormPorezi& editor) {
                SetFocus(editor.LEditProc[3]);
                PostKey(editor.LEditProc[3], VK_RETURN);
              },
              [](TFormPorezi& editor) {
                EXPECT_TRUE(IsWindowVisible(editor.Handle()));
                PostKey(editor.LEditProc[3], VK_ESCAPE);
              },
              [](TFormPorezi& editor) { EXPECT_FALSE(IsWindowVisible(editor.Handle())); }});
  EXPECT_EQ(CountOf(83), 1);  // Enter read nothing again
  EXPECT_EQ(CountOf(96), 0);  // and wrote nothing
}

TEST_F(EditorWindowTest, TabSkipsTheGreyedMaskBoxes) {
  std::vector<HWND> focus;
  auto tab = [&focus](TFormPorezi&) {
    focus.push_back(GetFocus());
    PostKey(GetFocus(), VK_TAB);
  };
  WithEditor({tab, tab, tab, tab});
  const TFormPorezi& editor = *FormPorezi;
  EXPECT_EQ(focus, (std::vector<HWND>{editor.ButtonProcitaj, editor.ButtonUpisi,
                                      editor.LEditProc[0], editor.LEditProc[1]}));
}

}  // namespace
