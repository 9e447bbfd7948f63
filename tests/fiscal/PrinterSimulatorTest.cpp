// What the printer simulator guarantees beyond answering: names it publishes
// under, and frames it can build.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <stdexcept>
#include <string>

#include "serial/PortNames.h"
#include "tests/fiscal/PrinterLine.h"

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

}  // namespace
