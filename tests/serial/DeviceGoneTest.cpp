// A port whose device goes away or cannot be had: a hung-up line closes the
// port, the next command opens it again by its name, and every port error
// tells the user which device failed, why, and what to do.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>

#include "fiscal/P00_fpsend.h"
#include "serial/CPort.h"
#include "serial/PortDefaults.h"
#include "serial/posix/PosixBackend.h"
#include "tests/support/PtyPair.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

const char kPortName[] = "ttyFP0";

EComPort CaughtComError(const std::function<void()>& action) {
  try {
    action();
  } catch (const EComPort& error) {
    return error;
  }
  ADD_FAILURE() << "no EComPort raised";
  return EComPort(0, 0);
}

std::string Line(const std::string& text, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index && start != std::string::npos; ++i) {
    start = text.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos) return {};
  return text.substr(start, text.find('\n', start) - start);
}

// The program's command record on a port that opens the printer by the
// virtual name a user picks, as after unplugging and plugging back an adapter
// that comes back under the same name.
class DeviceGone : public ::testing::Test {
 protected:
  DeviceGone() {
    SetProgramStartValues(port_);
    port_.Timeouts().SetReadTotalConstant(50);
    port_.SetPort(kPortName);
    FiscalPort = &port_;
    Plug();
  }
  ~DeviceGone() override { FiscalPort = nullptr; }

  void Plug() {
    printer_ = std::make_unique<sim::PrinterSimulator>();
    printer_->Publish(kPortName);
  }
  // The far end closes and the published name goes with it.
  void Unplug() { printer_.reset(); }

  TComPort port_;
  FPCommand00 record_;
  std::unique_ptr<sim::PrinterSimulator> printer_;
};

TEST_F(DeviceGone, ALineReplacedWhileThePortWasOpenServesTheNextCommand) {
  record_.Execute(62, "");
  ASSERT_EQ(record_.ErrorCode, 0);

  Unplug();
  Plug();
  record_.Execute(62, "");

  EXPECT_EQ(record_.ErrorCode, 0);
  EXPECT_TRUE(port_.Connected());
  EXPECT_EQ(printer_->Requests().size(), 1u);
}

TEST_F(DeviceGone, ACommandOnAGoneDeviceFailsClosesThePortAndTheNextOneOpensItAgain) {
  record_.Execute(62, "");
  Unplug();

  const EComPort error = CaughtComError([&] { record_.Execute(62, ""); });
  EXPECT_EQ(error.WinCode(), EIO);
  EXPECT_EQ(Line(error.Message(), 0), ComErrorText(error.Code()) + std::string(" (Error: 5)"));
  EXPECT_NE(Line(error.Message(), 1).find("device went away"), std::string::npos)
      << error.Message();
  EXPECT_FALSE(port_.Connected());

  Plug();
  record_.Execute(62, "");
  EXPECT_EQ(record_.ErrorCode, 0);
  EXPECT_EQ(printer_->Requests().size(), 1u);
}

TEST(DeviceGoneTransfers, EveryOperationOnAHungUpLineRaisesAndClosesThePort) {
  struct Case {
    const char* operation;
    std::int32_t code;
    std::function<void(TComPort&)> run;
  };
  const Case cases[] = {
      {"Read", CError_ReadFailed,
       [](TComPort& port) {
         char byte = 0;
         port.Read(&byte, 1);
       }},
      {"Write", CError_WriteFailed, [](TComPort& port) { port.Write("x", 1); }},
      {"line settings", CError_SetStateFailed, [](TComPort& port) { port.SetBaudRate(br9600); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operation);
    PtyPair line;
    TComPort port;
    SetProgramStartValues(port);
    port.SetPort(line.SlavePath());
    port.Open();
    line.CloseMaster();

    const EComPort error = CaughtComError([&] { c.run(port); });
    EXPECT_EQ(error.Code(), c.code);
    EXPECT_EQ(error.WinCode(), EIO);
    EXPECT_FALSE(port.Connected());
  }
}

// The port's first line stays as it always was; the second names the device,
// the system's reason in English, and what the user can do.
TEST(PortErrorText, TheSecondLineNamesTheDeviceTheReasonAndTheRemedy) {
  TComPort port;
  port.SetPort("/dev/no-such-tty");
  EComPort error = CaughtComError([&] { port.Open(); });
  EXPECT_EQ(Line(error.Message(), 0), "Unable to open com port (Error: 2)");
  EXPECT_EQ(Line(error.Message(), 1),
            "/dev/no-such-tty: No such file or directory. This PC has no such port: check that "
            "the printer's adapter is plugged in and choose a port that the setup dialog lists.");
  EXPECT_EQ(Line(error.Message(), 2), "");

  PtyPair line;
  TComPort holder;
  holder.SetPort(line.SlavePath());
  holder.Open();
  port.SetPort(line.SlavePath());
  error = CaughtComError([&] { port.Open(); });
  EXPECT_EQ(Line(error.Message(), 1).rfind(line.SlavePath() + ": ", 0), 0u) << error.Message();
  EXPECT_NE(Line(error.Message(), 1).find("Another program has the port open"), std::string::npos)
      << error.Message();

  // No error number, no second line.
  port.Close();
  EXPECT_EQ(CaughtComError([&] {
              char byte = 0;
              port.Read(&byte, 1);
            }).Message(),
            "Port Not Open");
}

TEST(PortErrorText, PermissionDeniedTellsWhichGroupToJoinAndToLogInAgain) {
  PtyPair line;
  struct stat info {};
  ASSERT_EQ(stat(line.SlavePath().c_str(), &info), 0);
  const group* owner = getgrgid(info.st_gid);
  ASSERT_NE(owner, nullptr);
  const std::string group = owner->gr_name;

  const PosixBackend backend;
  for (int error : {EACCES, EPERM}) {
    const std::string detail = backend.ErrorDetail(error, line.SlavePath());
    SCOPED_TRACE(detail);
    EXPECT_EQ(detail.rfind(line.SlavePath() + ": ", 0), 0u);
    EXPECT_NE(detail.find("the group \"" + group + "\""), std::string::npos);
    EXPECT_NE(detail.find("usermod -aG " + group + " "), std::string::npos);
    EXPECT_NE(detail.find("log out and in again"), std::string::npos);
    EXPECT_EQ(detail.find('\n'), std::string::npos);
  }
  EXPECT_EQ(backend.ErrorDetail(0, line.SlavePath()), "");
}

TEST(PortErrorText, OnlyAHungUpOrMissingDeviceCountsAsGone) {
  const PosixBackend backend;
  for (int gone : {EIO, ENXIO, ENODEV}) EXPECT_TRUE(backend.DeviceGone(gone)) << gone;
  for (int other : {0, EBADF, EINVAL, EACCES, ENOENT, EAGAIN})
    EXPECT_FALSE(backend.DeviceGone(other)) << other;
}

}  // namespace
