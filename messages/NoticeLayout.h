// Where everything of the notice window goes, from the size its label's text
// needs; each front end measures the text and places its controls here.
#pragma once

struct NoticeSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const NoticeSize&, const NoticeSize&) = default;
};

struct NoticeRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const NoticeRect&, const NoticeRect&) = default;
};

// The outer size counts a frame 8 pixels wide and a frame plus title bar 26
// pixels high; the client area is the outer size less those allowances.
struct NoticeLayout {
  NoticeRect label;  // inside the group box
  NoticeRect groupBox;
  NoticeRect button;
  NoticeSize outer;
  NoticeSize client;
};

NoticeLayout ComputeNoticeLayout(NoticeSize labelNeeds);
