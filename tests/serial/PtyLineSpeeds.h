// The line speeds a pseudo-terminal's slave holds, read through its master.
//
// A pseudo-terminal keeps both speeds exactly as set (unlike its framing), so
// a test may read them back. Kept apart from the other helpers because the
// kernel's termios2 header clashes with <termios.h>.
#pragma once

#include <cstdint>
#include <ostream>

struct LineSpeeds {
  std::uint32_t input = 0;
  std::uint32_t output = 0;
  bool operator==(const LineSpeeds&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const LineSpeeds& speeds) {
    return out << "in " << speeds.input << ", out " << speeds.output;
  }
};

// Termios calls on a master act on its slave.
LineSpeeds SlaveLineSpeeds(int masterFd);
