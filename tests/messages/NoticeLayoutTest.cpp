// The notice's layout arithmetic, from the size its label's text needs.
#include <gtest/gtest.h>

#include "messages/NoticeLayout.h"

#include <ostream>

void PrintTo(const NoticeRect& r, std::ostream* os) {
  *os << r.left << "," << r.top << " " << r.width << "x" << r.height;
}
void PrintTo(const NoticeSize& s, std::ostream* os) {
  *os << s.width << "x" << s.height;
}

namespace {

TEST(NoticeLayoutTest, WorkedExamples) {
  struct Case {
    NoticeSize labelNeeds;
    NoticeRect label, groupBox, button;
    NoticeSize outer, client;
  } cases[] = {
      // One short line: everything at its smallest.
      {{60, 15},
       {24, 24, 200, 100},
       {16, 16, 248, 148},
       {100, 180, 80, 30},
       {288, 252},
       {280, 226}},
      {{200, 100},
       {24, 24, 200, 100},
       {16, 16, 248, 148},
       {100, 180, 80, 30},
       {288, 252},
       {280, 226}},
      {{300, 160},
       {24, 24, 300, 160},
       {16, 16, 348, 208},
       {150, 240, 80, 30},
       {388, 312},
       {380, 286}},
      // An odd group width: the half pixel of the centring is dropped.
      {{201, 100},
       {24, 24, 201, 100},
       {16, 16, 249, 148},
       {100, 180, 80, 30},
       {289, 252},
       {281, 226}},
      // Narrow but tall: only the width is raised.
      {{150, 180},
       {24, 24, 200, 180},
       {16, 16, 248, 228},
       {100, 260, 80, 30},
       {288, 332},
       {280, 306}},
  };
  for (const Case& c : cases) {
    const NoticeLayout layout = ComputeNoticeLayout(c.labelNeeds);
    SCOPED_TRACE(testing::Message()
                 << "label needs " << c.labelNeeds.width << "x" << c.labelNeeds.height);
    EXPECT_EQ(layout.label, c.label);
    EXPECT_EQ(layout.groupBox, c.groupBox);
    EXPECT_EQ(layout.button, c.button);
    EXPECT_EQ(layout.outer, c.outer);
    EXPECT_EQ(layout.client, c.client);
  }
}

}  // namespace
