// A command record on a serial port whose far end is the printer simulator
// (TestPrinter: in the test process on Linux, beside wine on Windows).
#pragma once

#include <gtest/gtest.h>

#include "fiscal/P00_fpsend.h"
#include "serial/PortDefaults.h"
#include "tests/support/TestPrinter.h"

// The program's start values, with read time-outs cut to 50 ms so that the
// cases with a silent printer cost a quarter of what they cost the program.
inline void UseShortReadTimeouts(TCustomComPort& port) {
  port.Timeouts().SetReadInterval(20);
  port.Timeouts().SetReadTotalMultiplier(0);
  port.Timeouts().SetReadTotalConstant(50);
}

class PrinterLine : public ::testing::Test {
 protected:
  PrinterLine() {
    SetProgramStartValues(port);
    port.SetPort(printer.PortName());
    UseShortReadTimeouts(port);
    FiscalPort = &port;
    LastSequence = 31;
  }
  ~PrinterLine() override { FiscalPort = nullptr; }

  std::vector<std::uint8_t> SentFrame(std::size_t i) const {
    return printer.Requests().at(i).frame;
  }

  TestPrinter printer;
  TComPort port;
  FPCommand00 record;
};
