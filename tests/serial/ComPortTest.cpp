// The port's life cycle, its failures and how settings reach the device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "serial/CPort.h"
#include "serial/PortDefaults.h"
#include "tests/serial/PtyLineSpeeds.h"
#include "tests/support/PtyPair.h"
#include "tests/support/RecordingBackend.h"

namespace {

// Runs `action`, which must raise EComPort, and hands the exception back.
EComPort CaughtComError(const std::function<void()>& action) {
  try {
    action();
  } catch (const EComPort& error) {
    return error;
  }
  ADD_FAILURE() << "no EComPort raised";
  return EComPort(0, 0);
}

void ExpectComError(const EComPort& error, int code, int winCode, const std::string& message) {
  EXPECT_EQ(error.Code(), code);
  EXPECT_EQ(error.WinCode(), winCode);
  // The first line; a second one, the backend's explanation, may follow.
  EXPECT_EQ(error.Message().substr(0, error.Message().find('\n')), message);
}

class ComPortTest : public ::testing::Test {
 protected:
  ComPortTest() : port_(std::make_unique<RecordingBackend>(tally_)) {
    SetProgramStartValues(port_);
    port_.SetPort(pty_.SlavePath());
  }

  // Forgets what the port has asked so far.
  void ResetTally() { tally_ = BackendTally(); }

  PtyPair pty_;
  BackendTally tally_;
  TComPort port_;
};

TEST_F(ComPortTest, OpenAndCloseAreIdempotent) {
  port_.Open();
  EXPECT_TRUE(port_.Connected());
  EXPECT_EQ(tally_.applyOrder, "QLT");
  port_.Open();  // nothing happens: no second device, no re-apply
  EXPECT_EQ(tally_.opened.size(), 1u);
  EXPECT_EQ(tally_.applyOrder, "QLT");

  port_.Close();
  port_.Close();
  EXPECT_FALSE(port_.Connected());
  EXPECT_EQ(tally_.closes, 1);

  port_.Open();
  EXPECT_TRUE(port_.Connected());
}

TEST_F(ComPortTest, OpenFailureRaisesCodeOneWithTheErrorNumber) {
  struct Case {
    std::string name;
    int error;
  };
  const Case cases[] = {
      {"/dev/no-such-tty", ENOENT}, {"", ENOENT}, {"/dev/null", ENOTTY},  // not a serial port
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetTally();
    port_.SetPort(c.name);
    const EComPort error = CaughtComError([&] { port_.Open(); });
    ExpectComError(error, 1, c.error,
                   "Unable to open com port (Error: " + std::to_string(c.error) + ")");
    EXPECT_FALSE(port_.Connected());
    EXPECT_EQ(tally_.applyOrder, "");
  }
  port_.SetPort(pty_.SlavePath());
  port_.Open();
  EXPECT_TRUE(port_.Connected());
}

TEST_F(ComPortTest, PortHeldByAnotherOpenerIsRefused) {
  TComPort holder;
  holder.SetPort(pty_.SlavePath());
  holder.Open();

  const EComPort error = CaughtComError([&] { port_.Open(); });
  ExpectComError(error, 1, EWOULDBLOCK,
                 "Unable to open com port (Error: " + std::to_string(EWOULDBLOCK) + ")");
  EXPECT_FALSE(port_.Connected());
  EXPECT_EQ(tally_.applyOrder, "");  // the holder's line was not touched

  holder.Close();
  port_.Open();
  EXPECT_TRUE(port_.Connected());
}

TEST_F(ComPortTest, TransfersNeedAnOpenPort) {
  char byte = 0;
  auto expectNotOpen = [&] {
    ExpectComError(CaughtComError([&] { port_.Read(&byte, 1); }), 24, -1, "Port Not Open");
    ExpectComError(CaughtComError([&] { port_.Write(&byte, 1); }), 24, -1, "Port Not Open");
    ExpectComError(CaughtComError([&] { port_.ClearBuffer(true, true); }), 5, EBADF,
                   "PurgeComm function failed (Error: " + std::to_string(EBADF) + ")");
  };
  {
    SCOPED_TRACE("never opened");
    expectNotOpen();
  }
  port_.Open();
  port_.Close();
  {
    SCOPED_TRACE("closed again");
    expectNotOpen();
  }
}

TEST_F(ComPortTest, ChangesInsideAnUpdateReachTheDeviceOnceAtTheEnd) {
  port_.Open();
  ResetTally();
  port_.BeginUpdate();
  port_.BeginUpdate();
  port_.SetBaudRate(br38400);
  port_.SetDataBits(dbSeven);
  port_.FlowControl().SetFlowControl(fcNone);
  port_.Timeouts().SetReadInterval(50);
  port_.EndUpdate();
  EXPECT_EQ(tally_.applyOrder, "");  // still inside the outer update
  port_.EndUpdate();
  EXPECT_EQ(tally_.applyOrder, "QLT");
  EXPECT_EQ(tally_.lastLine().baudRate, 38400);
  EXPECT_EQ(tally_.lastLine().dataBits, 7);
  EXPECT_FALSE(tally_.lastLine().outX);
  EXPECT_FALSE(tally_.lastLine().inX);
  EXPECT_EQ(tally_.lastTimeouts.ReadInterval, 50);

  port_.EndUpdate();  // never below zero, nothing applied
  EXPECT_EQ(tally_.applyOrder, "QLT");
  port_.SetBaudRate(br57600);  // the count is back at zero: applied at once
  EXPECT_EQ(tally_.applyOrder, "QLTL");
}

TEST_F(ComPortTest, EachChangeReappliesOnlyItsOwnGroupAndOnlyWhenOpen) {
  port_.SetBaudRate(br115200);  // closed: stored for the next Open
  EXPECT_EQ(tally_.applyOrder, "");
  port_.Open();
  EXPECT_EQ(tally_.lastLine().baudRate, 115200);
  ResetTally();

  port_.SetBaudRate(br115200);  // unchanged: nothing happens
  port_.Parity().SetBits(prNone);
  EXPECT_EQ(tally_.applyOrder, "");

  port_.Parity().SetBits(prEven);
  port_.Timeouts().SetWriteTotalConstant(500);
  port_.Buffer().SetInputSize(2049);  // odd: one lower
  EXPECT_EQ(tally_.applyOrder, "LTQ");
  EXPECT_EQ(tally_.lastLine().parity, prEven);
  EXPECT_EQ(tally_.lastTimeouts.WriteTotalConstant, 500);
  EXPECT_EQ(port_.Buffer().InputSize(), 2048);

  port_.FlowControl().SetFlowControl(fcSoftware);  // the mode always re-applies
  EXPECT_EQ(tally_.applyOrder, "LTQL");
  EXPECT_EQ(tally_.lastLine().xonLim, 512);  // a quarter of the input queue
  EXPECT_EQ(tally_.lastLine().xoffLim, 512);
}

TEST_F(ComPortTest, NewNameOnAnOpenPortReopensAtOnceEvenInsideAnUpdate) {
  const std::filesystem::path runtime =
      std::filesystem::temp_directory_path() / ("serial-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(runtime / "serial-ports");
  std::filesystem::create_symlink(pty_.SlavePath(), runtime / "serial-ports" / "ttyTest0");
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

  port_.Open();
  port_.BeginUpdate();
  port_.SetPort("ttyTest0");
  EXPECT_TRUE(port_.Connected());
  EXPECT_EQ(tally_.closes, 1);
  ASSERT_EQ(tally_.opened.size(), 2u);
  EXPECT_EQ(tally_.opened.back(), "ttyTest0");
  EXPECT_EQ(port_.Write("via link", 8), 8);  // the published name reaches the same device
  EXPECT_EQ(pty_.Receive(8), "via link");
  port_.EndUpdate();

  ::unsetenv("XDG_RUNTIME_DIR");
  std::filesystem::remove_all(runtime);
}

TEST_F(ComPortTest, RefusedLineSettingRaisesCodeSeven) {
  const std::string refused =
      "SetCommState function failed (Error: " + std::to_string(EINVAL) + ")";
  port_.FlowControl().SetOutDSRFlow(true);  // no DSR flow control on Linux
  ExpectComError(CaughtComError([&] { port_.Open(); }), 7, EINVAL, refused);
  EXPECT_FALSE(port_.Connected());
  TComPort other;  // the failed Open released the device
  other.SetPort(pty_.SlavePath());
  other.Open();
  other.Close();

  port_.FlowControl().SetOutDSRFlow(false);
  port_.Open();
  EXPECT_NO_THROW(port_.SetCustomBaudRate(0));  // stored, not in use yet
  ExpectComError(CaughtComError([&] { port_.SetBaudRate(brCustom); }), 7, EINVAL, refused);
  EXPECT_TRUE(port_.Connected());  // a refused change leaves the port open
}

TEST_F(ComPortTest, EveryOfferedLineIsAcceptedByTheDevice) {
  struct Case {
    TBaudRate rate;
    std::int32_t custom;
    std::int32_t expected;
  };
  const Case speeds[] = {{br110, 0, 110},       {br14400, 0, 14400},   {br56000, 0, 56000},
                         {br128000, 0, 128000}, {br256000, 0, 256000}, {brCustom, 250000, 250000},
                         {brCustom, 9600, 9600}};
  port_.Open();
  for (const Case& c : speeds) {
    SCOPED_TRACE(c.expected);
    if (c.custom) port_.SetCustomBaudRate(c.custom);
    port_.SetBaudRate(c.rate);
    EXPECT_EQ(tally_.lastLine().baudRate, c.expected);
  }
  port_.BeginUpdate();
  port_.SetDataBits(dbFive);
  port_.SetStopBits(sbOne5StopBits);
  port_.Parity().SetBits(prMark);
  port_.Parity().SetCheck(true);
  port_.Parity().SetReplace(true);
  port_.Parity().SetReplaceChar('?');
  port_.FlowControl().SetFlowControl(fcHardware);
  port_.EndUpdate();
  EXPECT_EQ(tally_.lastLine().dataBits, 5);
  EXPECT_EQ(tally_.lastLine().stopBits, sbOne5StopBits);
  EXPECT_TRUE(tally_.lastLine().replaceOnError);
  EXPECT_EQ(tally_.lastLine().errorChar, '?');
  EXPECT_EQ(port_.Write("ok", 2), 2);
}

// Both directions follow every speed change, also from a speed that classic
// termios cannot name back to one that it can.
TEST_F(ComPortTest, BothDirectionsTakeEverySpeed) {
  struct Case {
    TBaudRate rate;
    std::uint32_t expected;
  };
  const Case speeds[] = {{br14400, 14400}, {br19200, 19200},   {brCustom, 250000},
                         {br9600, 9600},   {br256000, 256000}, {br115200, 115200}};
  port_.SetCustomBaudRate(250000);
  port_.Open();
  EXPECT_EQ(SlaveLineSpeeds(pty_.MasterFd()), (LineSpeeds{19200, 19200}));
  for (const Case& c : speeds) {
    SCOPED_TRACE(c.expected);
    port_.SetBaudRate(c.rate);
    EXPECT_EQ(SlaveLineSpeeds(pty_.MasterFd()), (LineSpeeds{c.expected, c.expected}));
  }
}

struct Flags {
  TRTSFlowControl rts;
  bool cts;
  bool xonXoffIn;
  bool xonXoffOut;
};

void SetFlags(TComFlowControl& flow, const Flags& flags) {
  flow.SetControlRTS(flags.rts);
  flow.SetOutCTSFlow(flags.cts);
  flow.SetXonXoffIn(flags.xonXoffIn);
  flow.SetXonXoffOut(flags.xonXoffOut);
}

TEST(FlowControlMode, WritingAModeSetsItsFlagsAndKeepsTheOthers) {
  struct Case {
    TFlowControl mode;
    Flags expected;
  };
  const Case cases[] = {
      {fcHardware, {rtsHandshake, true, false, false}},
      {fcSoftware, {rtsDisable, false, true, true}},
      {fcNone, {rtsDisable, false, false, false}},
      {fcCustom, {rtsEnable, true, true, false}},  // the odd flags below stay
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    TComPort port;
    SetProgramStartValues(port);
    TComFlowControl& flow = port.FlowControl();
    SetFlags(flow, {rtsEnable, true, true, false});
    flow.SetOutDSRFlow(true);
    flow.SetXonChar('Q');
    flow.SetFlowControl(c.mode);
    EXPECT_EQ(flow.ControlRTS(), c.expected.rts);
    EXPECT_EQ(flow.OutCTSFlow(), c.expected.cts);
    EXPECT_EQ(flow.XonXoffIn(), c.expected.xonXoffIn);
    EXPECT_EQ(flow.XonXoffOut(), c.expected.xonXoffOut);
    EXPECT_EQ(flow.FlowControl(), c.mode);
    EXPECT_EQ(flow.ControlDTR(), dtrEnable);
    EXPECT_TRUE(flow.OutDSRFlow());
    EXPECT_EQ(flow.XonChar(), 'Q');
  }
}

TEST(FlowControlMode, ReadsCustomForAnyOtherCombination) {
  TComPort port;
  SetProgramStartValues(port);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcSoftware);
  const Flags custom[] = {
      {rtsHandshake, true, true, false}, {rtsHandshake, false, false, false},
      {rtsEnable, false, false, false},  {rtsToggle, false, true, true},
      {rtsDisable, false, true, false},  {rtsDisable, true, false, false},
  };
  for (const Flags& flags : custom) {
    SetFlags(port.FlowControl(), flags);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcCustom)
        << flags.rts << flags.cts << flags.xonXoffIn << flags.xonXoffOut;
  }
}

}  // namespace
