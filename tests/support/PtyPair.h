// A pseudo-terminal pair for driving the serial port from the far end.
//
// The test owns the master side and plays the device on it. It never changes
// the master's terminal settings: the port's XON/XOFF handling lives in the
// slave's line discipline and must see the bytes exactly as the test sends them.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/support/LineTiming.h"

class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
      throw std::runtime_error("no pseudo-terminal");
    slavePath_ = ::ptsname(master_);
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  int MasterFd() const { return master_; }

  // Plays the device: bytes "received" by the port.
  void Send(const std::string& bytes) const {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      throw std::runtime_error("master write failed");
  }

  // The bytes the port sent, gathered until `count` have come or the line
  // has been quiet for `quiet`.
  std::string Receive(std::size_t count,
                      std::chrono::milliseconds quiet = std::chrono::milliseconds(300)) const {
    std::string received;
    while (received.size() < count) {
      pollfd watched{master_, POLLIN, 0};
      if (::poll(&watched, 1, static_cast<int>(quiet.count())) <= 0) break;
      char chunk[256];
      const ssize_t got = ::read(master_, chunk, sizeof chunk);
      if (got <= 0) break;
      received.append(chunk, static_cast<std::size_t>(got));
    }
    return received;
  }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string slavePath_;
};
