// The printer simulator at the far end of a serial line, as the shared
// exchange tests drive it. One test body runs on every platform:
// - Linux: sim::PrinterSimulator in the test process, on a pseudo-terminal.
// - Windows (under wine): a PrinterSimulator in linehost on the Linux side,
//   behind a mapped COM port, driven over a loopback socket.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tools/simulator/PrinterSimulator.h"  // its types only: Fault, StatusBytes, Request

class TestPrinter {
 public:
  TestPrinter();
  ~TestPrinter();
  TestPrinter(const TestPrinter&) = delete;
  TestPrinter& operator=(const TestPrinter&) = delete;

  // The name the port opens the printer's line by.
  std::string PortName() const;

  // As sim::PrinterSimulator's members of the same names.
  void SetClock(int day, int month, int year, int hour, int minute, int second);
  void SetReplyData(int command, const std::string& data);
  void Inject(sim::Fault fault, int count = 1);
  void InjectStatus(const sim::StatusBytes& status, int count = 1);
  void SetXoffHoldTime(std::chrono::milliseconds hold);
  std::vector<sim::Request> Requests() const;
  bool WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const;
  int XReportCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
