// What the printer simulator guarantees beyond answering: names it publishes
// under, frames it can build, and its log.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "serial/PortNames.h"
#include "serial/posix/VirtualPorts.h"
#include "tests/support/PrinterLine.h"

namespace {

class PrinterSimulator : public PrinterLine {};

// The program would open /dev/null or the first built-in port under these
// names, so publishing them could only mislead.
TEST_F(PrinterSimulator, RefusesNamesThatMapToADevice) {
  for (const std::string name : {"null", "COM1"}) {
    EXPECT_THROW(printer.Publish(name), std::invalid_argument) << name;
    struct stat link {};
    EXPECT_NE(lstat((VirtualPortDirectory() + "/" + name).c_str(), &link), 0) << name;
  }
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
