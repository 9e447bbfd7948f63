// The printer simulator at the far end of a serial line, as the shared
// exchange tests and the Win32 GUI tests drive it. One test body runs on
// every platform:
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
  // The line under a name of its own (Linux: the device path; Windows: a COM
  // port no other line of the run uses).
  TestPrinter();
  // The line under `portName`, as a user picks it from the system's port
  // list (Linux: published in the virtual-port directory; Windows: that COM
  // port mapped to it, which the test script has entered in the list).
  explicit TestPrinter(const std::string& portName);
  ~TestPrinter();
  TestPrinter(const TestPrinter&) = delete;
  TestPrinter& operator=(const TestPrinter&) = delete;

  // The name the port opens the printer's line by.
  std::string PortName() const;

  // As sim::PrinterSimulator's members of the same names.
  void SetClock(int day, int month, int year, int hour, int minute, int second);
  void SetReplyData(int command, const std::string& data);
  void SetEnableMask(const std::string& mask);
  std::string EnableMask() const;
  void SetRates(const std::vector<std::string>& rates);
  std::vector<std::string> Rates() const;
  void Inject(sim::Fault fault, int count = 1);
  void InjectStatus(const sim::StatusBytes& status, int count = 1);
  void ClearInjections();
  void SetXoffHoldTime(std::chrono::milliseconds hold);
  void SetBytePacing(std::chrono::microseconds perByte);
  std::vector<sim::Request> Requests() const;
  void ClearRequests();
  bool WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const;
  int XReportCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
