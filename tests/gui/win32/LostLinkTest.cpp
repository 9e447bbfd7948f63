// A lost link on the real application object: the window that explains the
// failure stays up until the user closes it, nothing opens after it, and then
// the program's loops end with exit code 0.
//
// The terminate request ends every loop of its process for good, so each
// case needs a process of its own: scripts/test-windows-gui.sh runs every
// case alone, and a case (of any suite) that finds the program already ended
// is skipped.
#include "device/P00_FP.h"
#include "gui/win32/Application.h"
#include "gui/win32/MainPDV.h"
#include "gui/win32/P00_YellowMsg.h"
#include "tests/gui/win32/GuiTestSupport.h"

namespace {

const std::string kSilent =
    "Stampac se ne javlja - proverite stampac i kabl!\n\nStatus: 000000000000";

class LostLinkTest : public ProgramFormsTest {
 protected:
  void SetUp() override {
    ProgramFormsTest::SetUp();
    if (IsSkipped()) return;
    // A silent printer is given up on after many read time-outs; short ones
    // keep the cases quick without changing what they show.
    Port().Timeouts().SetReadInterval(20);
    Port().Timeouts().SetReadTotalMultiplier(0);
    Port().Timeouts().SetReadTotalConstant(50);
    user.patience = 300;  // reads each window before closing it
  }

  // Runs the program's event loop with `action` as its first event; true
  // when the program ended by itself, not by the 20 s guard.
  bool RunProgramWith(std::function<void()> action) {
    current = this;
    action_ = std::move(action);
    SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      current->action_();
    });
    const UINT_PTR guard = SetTimer(nullptr, 0, 20000, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      current->stuck_ = true;
      PostQuitMessage(1);
    });
    exitCode = Application().Run();
    KillTimer(nullptr, guard);
    return !stuck_;
  }

  void ExpectEndedAfterShowing(const std::string& shown) {
    EXPECT_EQ(user.Saw(), std::vector<std::string>{shown});
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(Application().Terminated());
    EXPECT_FALSE(Window().Unlocked());
    EXPECT_FALSE(IsWindowVisible(FormYellowMsg->Handle()));
    EXPECT_FALSE(NoticeMutexHeldElsewhere()) << "the notice kept the YellowMsg mutex";
  }

  ModalUser user;
  int exitCode = -1;

 private:
  static inline LostLinkTest* current = nullptr;
  std::function<void()> action_;
  bool stuck_ = false;
};

TEST_F(LostLinkTest, XReportThatLosesThePrinterShowsTheErrorBoxThenEnds) {
  printer.Inject(sim::Fault::Silence, sim::kAlways);

  EXPECT_TRUE(RunProgramWith([] { TypeInMainWindow(L'3'); }))
      << "the program did not end by itself";

  ExpectEndedAfterShowing("Error: Komanda 69 - Stampa preseka stanja 2\n" + kSilent);
  EXPECT_EQ(CountOf(69), 4);  // one exchange: every attempt of it, and no more
}

TEST_F(LostLinkTest, ClockReadThatLosesThePrinterShowsTheNoticeAloneThenEnds) {
  printer.Inject(sim::Fault::None, 1);  // the probe is answered
  printer.Inject(sim::Fault::Silence, sim::kAlways);

  EXPECT_TRUE(RunProgramWith([] { FormMainPDV->ReadDeviceTime(); }))
      << "the program did not end by itself";

  ExpectEndedAfterShowing("Notice: Komanda 62\n" + kSilent);
}

}  // namespace
