// What the printer simulator guarantees beyond answering: names it publishes
// under, frames it can build, and its log.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "fiscal/P00_fpsend.h"
#include "serial/PortDefaults.h"
#include "serial/PortNames.h"
#include "serial/posix/VirtualPorts.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

// A command record on a port whose far end is the simulator itself (not the
// shared test printer, which stands for whatever simulator a platform has).
class PrinterSimulator : public ::testing::Test {
 protected:
  PrinterSimulator() {
    SetProgramStartValues(port);
    port.SetPort(printer.PortPath());
    FiscalPort = &port;
    LastSequence = 31;
  }
  ~PrinterSimulator() override { FiscalPort = nullptr; }

  sim::PrinterSimulator printer;
  TComPort port;
  FPCommand00 record;
};

// The program would open /dev/null or the first built-in port under these
// names, so publishing them could only mislead.
TEST_F(PrinterSimulator, RefusesNamesThatMapToADevice) {
  for (const std::string name : {"null", "COM1"}) {
    EXPECT_THROW(printer.Publish(name), std::invalid_argument) << name;
    struct stat link {};
    EXPECT_NE(lstat((VirtualPortDirectory() + "/" + name).c_str(), &link), 0) << name;
  }
}

// A name is one simulator's while it runs; a link whose simulator ended
// without removing it is free to take.
TEST_F(PrinterSimulator, PublishesANameOnlyWhenNoRunningSimulatorHasIt) {
  const std::string link = printer.Publish("ttyFPtaken");
  {
    sim::PrinterSimulator second;
    EXPECT_THROW(second.Publish("ttyFPtaken"), std::runtime_error);
  }
  EXPECT_EQ(std::filesystem::read_symlink(link), printer.PortPath());

  const std::string left = VirtualPortDirectory() + "/ttyFPleft";
  ASSERT_EQ(symlink("/dev/pts/4095", left.c_str()), 0);
  EXPECT_EQ(printer.Publish("ttyFPleft"), left);
  EXPECT_EQ(std::filesystem::read_symlink(left), printer.PortPath());
}

TEST_F(PrinterSimulator, CutsReplyDataToWhatAFrameHolds) {
  printer.SetReplyData(97, std::string(250, 'x'));
  EXPECT_EQ(record.Execute(97, "").ErrorCode, 0);
  EXPECT_EQ(std::string(record.ReplyData), std::string(212, 'x'));
  EXPECT_EQ(printer.Requests().size(), 1u);
}

// Rates are whatever command 96 brought; the line's flow control must not
// swallow any of them.
TEST_F(PrinterSimulator, SendsNoXonOrXoffInsideAReply) {
  printer.SetRates(
      {"a\x13"
       "b\x11"
       "c"});
  EXPECT_EQ(record.Execute(97, "").ErrorCode, 0);
  EXPECT_STREQ(record.Field(0), "a?b?c");
  EXPECT_EQ(printer.Requests().size(), 1u);
}

TEST_F(PrinterSimulator, LogsEveryFrameBothWaysInHexWithASummary) {
  std::vector<std::string> log;
  printer.SetLog([&log](const std::string& line) { log.push_back(line); });
  printer.SetClock(24, 12, 2023, 18, 5, 9);
  printer.Inject(sim::Fault::Nak);
  record.Execute(62, "");
  printer.SetLog(nullptr);

  const std::string request =
      "PC>FP 01 24 20 3E 05 30 30 38 37 03  | request seq 32 cmd 62 (clock) data \"\"";
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], request);
  EXPECT_EQ(log[1], "FP>PC 15  | NAK");
  EXPECT_EQ(log[2], request);
  EXPECT_EQ(log[3],
            "FP>PC 01 3C 20 3E 32 34 2D 31 32 2D 32 33 20 31 38 3A 30 35 3A 30 39 04 80 80 80 80 "
            "80 80 05 30 36 3F 36 03  | reply seq 32 cmd 62 (clock) data \"24-12-23 18:05:09\" "
            "status 80 80 80 80 80 80");
}

}  // namespace
