// The trace's reading of the line: one summary per frame of the protocol,
// and the single control bytes between frames.
//
// Requests go out as 01 LEN SEQ CMD DATA 05 BCC 03 and replies come back as
// 01 LEN SEQ CMD DATA 04 STATUS(6) 05 BCC 03; LEN counts so that the frame
// from 01 to 03 is LEN - 26 bytes long, and BCC is the sum of the bytes from
// LEN to 05 in four characters 0x30 + nibble. The description is written
// apart from the exchange's code on purpose: a trace that reused it would
// repeat its mistakes instead of showing them.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "serial/TraceBackend.h"

class FrameTrace : public TraceDecoder {
 public:
  std::vector<std::string> Feed(LineDirection direction, std::string_view bytes) override;
  std::vector<std::string> Discard() override;

 private:
  // What one direction has brought so far.
  struct Side {
    std::string frame;           // from its 01 on, while a frame is under way
    std::size_t strayBytes = 0;  // bytes outside a frame, not yet told
  };

  static void TellStrayBytes(Side& side, std::vector<std::string>& lines);
  static void TakeByte(LineDirection direction, Side& side, char byte,
                       std::vector<std::string>& lines);

  std::array<Side, 2> sides_;
};

// One complete frame, 01 to 03, as the summary line tells it.
std::string DescribeFrame(LineDirection direction, std::string_view frame);
