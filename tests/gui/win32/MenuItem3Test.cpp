// Menu item 3, the X report, while the printer takes its time: the busy
// cursor is up for the whole exchange, and the keys pressed meanwhile are
// dropped, not replayed as a second report.
#include <atomic>
#include <chrono>
#include <thread>

#include "gui/win32/MainPDV.h"
#include "tests/gui/win32/GuiTestSupport.h"

namespace {

using namespace std::chrono_literals;

class MenuItem3Test : public ProgramFormsTest {};

TEST_F(MenuItem3Test, KeysPressedDuringTheExchangeAreDroppedUnderTheBusyCursor) {
  ModalUser user;
  // The reply comes a byte per 25 ms: some 400 ms for the whole frame, well
  // inside the port's read time-outs.
  printer.SetBytePacing(25ms);
  const HWND window = Window().Handle();
  const HCURSOR before = GetCursor();

  // As the user would, once the request is out: "3" twice more, and a look
  // at the cursor the system shows.
  std::atomic<bool> pressed = false;
  HCURSOR shown = nullptr;
  std::thread impatientUser([&] {
    if (!printer.WaitForRequests(1, 10s)) return;
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    if (GetCursorInfo(&cursor)) shown = cursor.hCursor;
    PostKey(window, '3');
    PostKey(window, '3');
    pressed = true;
  });
  TypeInMainWindow(L'3');
  impatientUser.join();
  ProcessMessages(300);

  ASSERT_TRUE(pressed) << "the request never reached the printer";
  EXPECT_EQ(shown, LoadCursorW(nullptr, IDC_WAIT));
  EXPECT_EQ(GetCursor(), before);
  EXPECT_EQ(CountOf(69), 1);
  EXPECT_EQ(printer.XReportCount(), 1);
  EXPECT_TRUE(user.Saw().empty());

  // The same key once the exchange is over is taken: what was dropped was
  // dropped for its timing alone.
  PostKey(window, '3');
  ProcessMessages(300);
  EXPECT_EQ(CountOf(69), 2);
  EXPECT_EQ(printer.XReportCount(), 2);
}

}  // namespace
