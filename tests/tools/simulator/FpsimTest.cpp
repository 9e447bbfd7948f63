// The simulator program as a user starts it: its options, and the name it
// publishes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "serial/posix/VirtualPorts.h"
#include "tests/tools/support/RunProgram.h"

namespace fs = std::filesystem;

namespace {

// Each of these is refused before anything is published, with the setting
// it is about named.
TEST(Fpsim, RefusesWhatItCannotSimulateAndSaysWhy) {
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  const std::vector<Case> cases = {
      {{"--clock", "29.02.2023 10:00:00"}, "clock"},
      {{"--clock", "24.12.2023 24:00:00"}, "clock"},
      {{"--clock", "24.12.1999 10:00:00"}, "clock"},
      {{"--clock", "24.12.2023"}, "clock"},
      {{"--mask", "1100000"}, "mask"},
      {{"--mask", "110000001"}, "mask"},
      {{"--mask", "1,000000"}, "mask"},
      {{"--rates", "20,10,0,0,0,0,0"}, "rates"},
      {{"--rates", "20,10,0,0,0,0,0,0,0"}, "rates"},
      {{"--speed", "9600"}, "unknown option --speed"},
      {{"--name", "ttyFPbad", "--verbose"}, "unknown option --verbose"},
      {{"--name"}, "--name wants a value"},
      {{"ttyFP1"}, "\"ttyFP1\""},
  };
  for (const Case& c : cases) {
    Outcome r = RunProgram(FPSIM_PATH, c.args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(c.args);
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
  }
  std::error_code noDirectory;
  EXPECT_TRUE(fs::is_empty(VirtualPortDirectory(), noDirectory) || noDirectory);
}

TEST(Fpsim, LeavesANameAnotherRunningSimulatorPublishedToIt) {
  const std::string link = VirtualPortDirectory() + "/ttyFPshared";
  BackgroundProgram first(FPSIM_PATH, {"--name", "ttyFPshared"});
  ASSERT_TRUE(first.WaitForOutput("published as"));
  const fs::path firstPort = fs::read_symlink(link);

  Outcome second = RunProgram(FPSIM_PATH, {"--name", "ttyFPshared"});
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.err.find("\"ttyFPshared\" is published by another simulator"), std::string::npos)
      << second.err;
  EXPECT_EQ(fs::read_symlink(link), firstPort);

  EXPECT_EQ(first.Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

}  // namespace
