// A command record on a serial port whose far end is the printer simulator.
#pragma once

#include <gtest/gtest.h>

#include "fiscal/P00_fpsend.h"
#include "serial/PortDefaults.h"
#include "tools/simulator/PrinterSimulator.h"

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
    port.SetPort(printer.PortPath());
    UseShortReadTimeouts(port);
    FiscalPort = &port;
    LastSequence = 31;
  }
  ~PrinterLine() override { FiscalPort = nullptr; }

  std::vector<std::uint8_t> SentFrame(std::size_t i) const {
    return printer.Requests().at(i).frame;
  }

  sim::PrinterSimulator printer;
  TComPort port;
  FPCommand00 record;
};
