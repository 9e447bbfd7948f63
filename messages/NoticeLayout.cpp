#include "messages/NoticeLayout.h"

#include <algorithm>

namespace {

constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 30;
constexpr int kLabelMargin = 24;  // label left and top inside the group box
constexpr int kGroupMargin = 16;  // group box left and top inside the window
constexpr int kMinLabelWidth = 200;
constexpr int kMinLabelHeight = 100;
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 26;  // frame and title bar

}  // namespace

NoticeLayout ComputeNoticeLayout(NoticeSize labelNeeds) {
  NoticeLayout layout;
  const int labelWidth = std::max(labelNeeds.width, kMinLabelWidth);
  const int labelHeight = std::max(labelNeeds.height, kMinLabelHeight);
  layout.label = {kLabelMargin, kLabelMargin, labelWidth, labelHeight};
  const int groupWidth = labelWidth + 2 * kLabelMargin;
  const int groupHeight = labelHeight + 2 * kLabelMargin;
  layout.groupBox = {kGroupMargin, kGroupMargin, groupWidth, groupHeight};
  const int buttonLeft = (groupWidth - kButtonWidth) / 2 + kGroupMargin;
  const int buttonTop = groupHeight + 2 * kGroupMargin;
  layout.button = {buttonLeft, buttonTop, kButtonWidth, kButtonHeight};
  layout.client = {groupWidth + 2 * kGroupMargin, buttonTop + kButtonHeight + kGroupMargin};
  layout.outer = {layout.client.width + kFrameWidth, layout.client.height + kFrameHeight};
  return layout;
}
