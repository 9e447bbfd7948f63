// The serial port on Linux: a tty driven through termios, never blocking.
//
// The descriptor stays non-blocking for its whole life; every wait is a
// ppoll() against a deadline on the monotonic clock, so the read and write
// time-outs hold to the millisecond whatever the device does.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "serial/SerialBackend.h"

// Turns the bytes the tty layer queues into the bytes Read hands out.
//
// With parity checking the tty marks each damaged byte as 0xFF 0x00 X and
// doubles a genuine 0xFF (PARMRK); a mark may be split across two reads, so
// the filter keeps its place between calls. It also drops zero bytes when
// asked to.
class ReceivedByteFilter {
 public:
  struct Rules {
    bool marksErrors = false;     // the tty marks damaged bytes (PARMRK)
    bool replaceOnError = false;  // a damaged byte becomes `errorChar`
    std::uint8_t errorChar = 0;
    bool discardNull = false;
  };

  void SetRules(const Rules& rules);
  // Filters `count` bytes in place; returns how many remain at the front.
  std::int32_t Filter(std::uint8_t* bytes, std::int32_t count);
  // Forgets a mark that was cut off (the input queue was discarded).
  void Reset() { state_ = State::Plain; }

 private:
  enum class State { Plain, AfterMark, AfterErrorMark };
  bool Keep(std::uint8_t byte) const { return byte != 0 || !rules_.discardNull; }

  Rules rules_;
  State state_ = State::Plain;
};

class PosixBackend : public SerialBackend {
 public:
  PosixBackend() = default;
  ~PosixBackend() override;
  PosixBackend(const PosixBackend&) = delete;
  PosixBackend& operator=(const PosixBackend&) = delete;

  int Open(const std::string& portName) override;
  int Close() override;
  bool IsOpen() const override { return fd_ >= 0; }

  int SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override;
  int SetLineSettings(const SerialLineSettings& settings) override;
  int SetTimeouts(const SerialTimeouts& timeouts) override;
  int ReadModemStatus() override;

  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override;

  int Purge(bool input, bool output) override;

  // EIO (a hung-up tty: the adapter pulled out, the far end of a
  // pseudo-terminal closed), ENXIO and ENODEV.
  bool DeviceGone(int error) const override;
  // "<device path>: <strerror>." and, where the user can act, what to do:
  // join the device's group for EACCES/EPERM, close the program that holds
  // the port, plug the adapter back in.
  std::string ErrorDetail(int error, const std::string& portName) const override;

 private:
  int SetModemLine(int line, bool on);
  int ApplyModemLines(const SerialLineSettings& settings);
  // No value: no time limit.
  using Deadline = std::optional<std::chrono::steady_clock::time_point>;

  // Waits for `events` until `deadline`; `revents` is 0 when it passed first.
  int WaitFor(short events, const Deadline& deadline, short& revents) const;
  // Waits for the driver's output queue to drain; the bytes still queued
  // when `deadline` passes are discarded and their number returned.
  std::int32_t UnsentAtDeadline(const Deadline& deadline);

  int fd_ = -1;
  SerialTimeouts timeouts_{0, 0, 0, 0, 0};
  std::int32_t bitsPerSecond_ = 9600;
  bool rtsToggle_ = false;
  ReceivedByteFilter filter_;
};
