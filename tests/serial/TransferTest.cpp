// Reads and writes over a real line whose far end the test plays (a
// pseudo-terminal on Linux, a COM port mapped to one under wine): time-outs,
// flow control, the bytes delivered, and a device that goes away.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "serial/CPort.h"
#include "serial/PortDefaults.h"
#include "tests/support/DeviceEnd.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string AllByteValues() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  return bytes;
}

std::string Without(std::string bytes, char a, char b) {
  std::erase(bytes, a);
  std::erase(bytes, b);
  return bytes;
}

// The program's port, open on a line whose far end the test plays.
class TransferTest : public ::testing::Test {
 protected:
  TransferTest() {
    SetProgramStartValues(port_);
    port_.SetPort(pty_.PortName());
    port_.Open();
  }

  // Short time-outs where the case is not about them.
  void ReadForAtMost(std::int32_t totalMs) {
    port_.Timeouts().SetReadInterval(0);
    port_.Timeouts().SetReadTotalMultiplier(0);
    port_.Timeouts().SetReadTotalConstant(totalMs);
  }

  std::string ReadString(std::int32_t count) {
    std::string buffer(static_cast<std::size_t>(count), '\0');
    buffer.resize(static_cast<std::size_t>(port_.Read(buffer.data(), count)));
    return buffer;
  }

  // Sends `bytes` from the far end after `delay`, while the test reads.
  std::future<void> SendLater(std::string bytes, std::chrono::milliseconds delay) {
    return std::async(std::launch::async, [this, bytes, delay] {
      std::this_thread::sleep_for(delay);
      pty_.Send(bytes);
    });
  }

  DeviceEnd pty_;
  TComPort port_;
};

// The program's own time-outs: 100 ms interval, 100 ms a byte plus 100 ms.
TEST_F(TransferTest, ReadEndsByTheTimeoutRules) {
  Clock::time_point start = Clock::now();
  EXPECT_EQ(ReadString(1), "");  // silent line: 100 x 1 + 100 ms
  EXPECT_GE(MillisecondsSince(start), 190ms);
  EXPECT_LT(MillisecondsSince(start), 1000ms);

  start = Clock::now();
  auto sent = SendLater("1234", 300ms);
  EXPECT_EQ(ReadString(10), "1234");  // ended by the interval, long before 1100 ms
  sent.get();
  EXPECT_GE(MillisecondsSince(start), 390ms);
  EXPECT_LT(MillisecondsSince(start), 1000ms);

  start = Clock::now();
  EXPECT_EQ(ReadString(10), "");  // nothing at all: 100 x 10 + 100 ms
  EXPECT_GE(MillisecondsSince(start), 1090ms);
  EXPECT_LT(MillisecondsSince(start), 2500ms);
}

TEST_F(TransferTest, ReadOfAllBitsIntervalWithoutTotalsReturnsAtOnce) {
  port_.Timeouts().SetReadInterval(-1);
  port_.Timeouts().SetReadTotalMultiplier(0);
  port_.Timeouts().SetReadTotalConstant(0);
  Clock::time_point start = Clock::now();
  EXPECT_EQ(ReadString(10), "");
  pty_.Send("xyz");
  LetLineSettle();
  EXPECT_EQ(ReadString(10), "xyz");
  EXPECT_LT(MillisecondsSince(start), 500ms);
}

TEST_F(TransferTest, ReadWithOnlyAnIntervalWaitsForTheFirstByte) {
  port_.Timeouts().SetReadInterval(50);
  port_.Timeouts().SetReadTotalMultiplier(0);
  port_.Timeouts().SetReadTotalConstant(0);
  const Clock::time_point start = Clock::now();
  auto sent = SendLater("ab", 600ms);  // far beyond what a total would allow
  EXPECT_EQ(ReadString(10), "ab");
  sent.get();
  EXPECT_GE(MillisecondsSince(start), 600ms);
}

TEST_F(TransferTest, EveryByteButXonAndXoffIsDeliveredUnchanged) {
  ReadForAtMost(300);
  // The trailing XON lets the port send again after the XOFF among the values.
  pty_.Send(AllByteValues() + "\x11");
  EXPECT_EQ(ReadString(300), Without(AllByteValues(), 0x11, 0x13));

  port_.FlowControl().SetXonXoffOut(false);  // now they are plain data
  pty_.Send("\x11\x13");
  EXPECT_EQ(ReadString(10), "\x11\x13");
}

TEST_F(TransferTest, WrittenBytesReachTheDeviceUnchanged) {
  EXPECT_EQ(port_.Write(AllByteValues().data(), 256), 256);
  EXPECT_EQ(pty_.Receive(256), AllByteValues());  // no CR/LF translation either
}

TEST_F(TransferTest, XoffHoldsWritingUntilXonAndTheWriteTimesOut) {
  port_.Timeouts().SetWriteTotalMultiplier(20);
  port_.Timeouts().SetWriteTotalConstant(200);
  pty_.Send("\x13");
  LetLineSettle();

  const Clock::time_point start = Clock::now();
  EXPECT_LT(port_.Write("0123456789", 10), 10);  // held: 20 x 10 + 200 ms
  EXPECT_GE(MillisecondsSince(start), 390ms);
  EXPECT_LT(MillisecondsSince(start), 1500ms);
  EXPECT_EQ(pty_.Receive(10, 100ms), "");

  pty_.Send("\x11");
  LetLineSettle();
  EXPECT_EQ(port_.Write("abc", 3), 3);
  EXPECT_EQ(pty_.Receive(3), "abc");
}

TEST_F(TransferTest, DiscardNullDropsZeroBytes) {
  ReadForAtMost(200);
  port_.SetDiscardNull(true);
  pty_.Send(std::string("a\0b\0\0c", 6));
  EXPECT_EQ(ReadString(6), "abc");
}

TEST_F(TransferTest, QueuedBytesWaitForReadUntilClearBuffer) {
  ReadForAtMost(200);
  pty_.Send("abc");
  LetLineSettle();
  EXPECT_EQ(ReadString(1), "a");
  EXPECT_EQ(ReadString(2), "bc");

  pty_.Send("stale reply");
  LetLineSettle();
  port_.ClearBuffer(true, true);
  EXPECT_EQ(ReadString(1), "");
}

// The device going away ends a waiting read at once with the platform's
// "gone" error, and the port closes itself after raising it (the rule of
// DeviceGoneTest), so the next transfer finds it closed.
TEST_F(TransferTest, FarEndClosingEndsReadWithTheErrorAndClosesThePort) {
  port_.Timeouts().SetReadTotalConstant(5000);
  auto closed = std::async(std::launch::async, [this] {
    std::this_thread::sleep_for(200ms);
    pty_.CloseFarEnd();
  });
  const Clock::time_point start = Clock::now();
  char buffer[10];
  try {
    port_.Read(buffer, 10);
    ADD_FAILURE() << "Read returned";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), 3);
    EXPECT_EQ(error.WinCode(), kFarEndGoneReadError);
  }
  closed.get();
  EXPECT_LT(MillisecondsSince(start), 2000ms);  // not the 5.1 s time-out
  EXPECT_FALSE(port_.Connected());
  try {
    port_.Write("x", 1);
    ADD_FAILURE() << "Write returned";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), CError_PortNotOpen);
  }
  port_.Close();
  EXPECT_FALSE(port_.Connected());
}

TEST_F(TransferTest, CountsOutsideTheBufferAreRefused) {
  char byte = 0;
  EXPECT_EQ(port_.Read(&byte, 0), 0);
  EXPECT_EQ(port_.Write(&byte, 0), 0);
  try {
    port_.Read(&byte, -1);
    ADD_FAILURE() << "negative read count accepted";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), 3);
    EXPECT_EQ(error.WinCode(), kBadArgumentError);
  }
  try {
    port_.Write(&byte, -1);
    ADD_FAILURE() << "negative write count accepted";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), 2);
    EXPECT_EQ(error.WinCode(), kBadArgumentError);
  }
}

}  // namespace
