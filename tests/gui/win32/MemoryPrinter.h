// A printer held in memory behind the program's port: each whole request
// frame written is answered at once, as the printer simulator would answer
// it, and every request is kept. No serial port is touched.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "serial/SerialBackend.h"
#include "tools/simulator/PrinterFrames.h"

struct PrinterState {
  std::string clock = "24-12-23 18:05:09";  // reply to 62
  std::string mask = "11111111";            // field 2 of the reply to 83
  std::vector<std::string> rates = {"20", "10", "0", "0", "0", "0", "0", "0"};
  sim::StatusBytes status{};  // of every reply
  bool openFails = false;     // the port cannot be opened
  std::vector<sim::Request> requests;
  std::vector<std::string> opened;  // port names, in order

  int CountOf(int command) const;
  std::string LastDataOf(int command) const;
};

// The backend owns nothing of the state, so a test reads it after the port
// (and the backend with it) has gone.
std::unique_ptr<SerialBackend> MakeMemoryPrinter(PrinterState& state);
