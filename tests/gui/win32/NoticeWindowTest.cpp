// The notice window: its layout from the text, the "YellowMsg" mutex while
// it is up, where later notices open, and no key of its own.
#include "gui/win32/P00_YellowMsg.h"
#include "tests/gui/win32/GuiTestSupport.h"

namespace {

RECT ClientRectIn(HWND control, HWND form) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class NoticeWindowTest : public ProgramFormsTest {};

TEST_F(NoticeWindowTest, ShortTextGetsTheSmallestLayoutAndHoldsTheMutex) {
  if (FormYellowMsg->Dpi() != USER_DEFAULT_SCREEN_DPI) GTEST_SKIP() << "laid out at 96 dpi";
  ModalUser user;
  bool heldWhileUp = false;
  user.notice = [&](TFormYellowMsg& notice) {
    heldWhileUp = NoticeMutexHeldElsewhere();
    const RECT label = ClientRectIn(notice.LabelMsg, notice.Handle());
    const RECT group = ClientRectIn(notice.GroupBox1, notice.Handle());
    const RECT button = ClientRectIn(notice.Button1, notice.Handle());
    RECT client;
    GetClientRect(notice.Handle(), &client);
    EXPECT_EQ((std::vector<LONG>{label.left, label.top, label.right, label.bottom}),
              (std::vector<LONG>{40, 40, 240, 140}));
    EXPECT_EQ((std::vector<LONG>{group.left, group.top, group.right, group.bottom}),
              (std::vector<LONG>{16, 16, 264, 164}));
    EXPECT_EQ((std::vector<LONG>{button.left, button.top, button.right, button.bottom}),
              (std::vector<LONG>{100, 180, 180, 210}));
    EXPECT_EQ((std::vector<LONG>{client.right, client.bottom}), (std::vector<LONG>{280, 226}));
    PostMessageW(notice.Button1, BM_CLICK, 0, 0);
  };
  FormYellowMsg->ShowText("Kratko");
  EXPECT_EQ(user.Saw(), std::vector<std::string>{"Notice: Kratko"});
  EXPECT_TRUE(heldWhileUp);
  EXPECT_FALSE(NoticeMutexHeldElsewhere());
}

TEST_F(NoticeWindowTest, LaterNoticesOpenWhereTheLastWasLeftAndGrowWithTheText) {
  ModalUser user;
  std::vector<RECT> places;
  user.notice = [&](TFormYellowMsg& notice) {
    RECT place;
    GetWindowRect(notice.Handle(), &place);
    places.push_back(place);
    if (places.size() == 1) SetWindowPos(notice.Handle(), nullptr, 30, 40, 0, 0, SWP_NOSIZE);
    // Escape is no key of the notice: only the OK button closes it here.
    PostKey(notice.Button1, VK_ESCAPE);
    PostMessageW(notice.Button1, BM_CLICK, 0, 0);
  };
  FormYellowMsg->ShowText("Kratko");
  FormYellowMsg->ShowText(
      "Prvi red\nDrugi red\nTreci red\nCetvrti red\nPeti red\nSesti red\n"
      "Sedmi red\nOsmi red\nDeveti red\nDeseti red\nJedanaesti red sa dosta teksta");
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[1].left, 30);
  EXPECT_EQ(places[1].top, 40);
  EXPECT_GT(places[1].bottom - places[1].top, places[0].bottom - places[0].top);
  EXPECT_EQ(user.Saw().size(), 2u);
}

}  // namespace
