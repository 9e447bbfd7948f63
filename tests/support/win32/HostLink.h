// A line of linehost (tests/win32/host), the Linux helper that holds the far
// ends of the COM ports the tests under wine open: one loopback connection
// per line, text requests and replies. Its port is in $FP_LINEHOST_PORT.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/LineHostWire.h"

class HostLink {
 public:
  // Connects and asks for a line of `kind` ("pty" or "printer") on COM port
  // `portName`, or on one of its own when that is empty; throws
  // std::runtime_error when linehost is not there.
  explicit HostLink(const std::string& kind, const std::string& portName = "");
  ~HostLink();
  HostLink(const HostLink&) = delete;
  HostLink& operator=(const HostLink&) = delete;

  const std::string& PortName() const { return portName_; }
  // Sends one request; returns the reply's value (after "ok "). An "err"
  // reply throws std::runtime_error.
  std::string Call(const std::string& request) const;
  // The next reply line as it stands (for multi-line replies).
  std::string NextLine() const;

 private:
  std::uintptr_t socket_;
  std::string portName_;
  mutable std::string pending_;
};
