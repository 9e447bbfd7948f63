// The far end of a serial line that the port opens: the test plays the
// device on it. One test body runs on every platform:
// - Linux: a pseudo-terminal pair of the test process (PtyPair); the port
//   opens the slave.
// - Windows (under wine): the COM port that linehost, a helper running
//   natively on Linux, maps to a pseudo-terminal whose master it holds; the
//   test reaches it over a loopback socket (tests/win32/host).
// The far end never changes terminal settings: XON/XOFF must see the bytes
// exactly as sent.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "tests/support/LineTiming.h"

class DeviceEnd {
 public:
  DeviceEnd();
  ~DeviceEnd();
  DeviceEnd(const DeviceEnd&) = delete;
  DeviceEnd& operator=(const DeviceEnd&) = delete;

  // The name the port opens this line by.
  const std::string& PortName() const;
  // Plays the device: bytes "received" by the port.
  void Send(const std::string& bytes) const;
  // The bytes the port sent, gathered until `count` have come or the line
  // has been quiet for `quiet`.
  std::string Receive(std::size_t count,
                      std::chrono::milliseconds quiet = std::chrono::milliseconds(300)) const;
  // The device goes away (the far end closes).
  void CloseFarEnd();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The platform's error numbers that the shared serial tests expect.
extern const int kNotOpenError;         // a call on a closed port
extern const int kBadArgumentError;     // a negative count
extern const int kFarEndGoneReadError;  // a read once the far end is gone
