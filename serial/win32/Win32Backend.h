// The serial port on Windows: the Win32 communications API on an
// overlapped handle.
//
// Every transfer waits on its own deadline, computed by the time-out rules
// the component relies on (the COMMTIMEOUTS rules, with values taken as
// unsigned milliseconds), and cancels what is still pending when it passes:
// the driver's own time-outs end a transfer on Windows, but some drivers and
// wine do not honour every COMMTIMEOUTS mode (wine waits for ever in the
// MAXDWORD modes and keeps no write time-out), and a read must never hang.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "serial/SerialBackend.h"

// What one Read asks of the driver and how long it may take at most.
struct Win32ReadPlan {
  bool queuedOnly = false;  // hand out what is queued, wait for nothing
  // Native time-outs for this read (ReadTotalMultiplier is always 0: the
  // total is computed here, free of 32-bit overflow).
  std::uint32_t interval = 0;
  std::uint32_t totalConstant = 0;
  std::optional<std::uint64_t> totalMs;  // none: no total limit
};
Win32ReadPlan PlanWin32Read(const SerialTimeouts& timeouts, std::int32_t count);
// The write time-out for `count` bytes; none: no limit.
std::optional<std::uint64_t> Win32WriteLimit(const SerialTimeouts& timeouts, std::int32_t count);

class Win32Backend : public SerialBackend {
 public:
  Win32Backend() = default;
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  int Open(const std::string& portName) override;
  int Close() override;
  bool IsOpen() const override { return handle_ != nullptr; }

  int SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override;
  int SetLineSettings(const SerialLineSettings& settings) override;
  int SetTimeouts(const SerialTimeouts& timeouts) override;
  int ReadModemStatus() override;

  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override;

  int Purge(bool input, bool output) override;

  bool DeviceGone(int error) const override;
  std::string ErrorDetail(int error, const std::string& portName) const override;

 private:
  // Sets the driver's time-outs unless they are in force already.
  int UseNativeTimeouts(std::uint32_t interval, std::uint32_t totalConstant,
                        std::uint32_t writeConstant);
  // Runs one overlapped ReadFile or WriteFile to its end or to `waitMs`
  // (none: no limit), cancelling it then; `done` gets the bytes moved.
  int Transfer(bool reading, void* buffer, std::uint32_t count, std::optional<std::uint64_t> waitMs,
               std::uint32_t& done);

  void* handle_ = nullptr;  // HANDLE of the device; null when closed
  void* event_ = nullptr;   // manual-reset event of the overlapped calls
  SerialTimeouts timeouts_{0, 0, 0, 0, 0};
  bool discardNull_ = false;
  struct Native {
    std::uint32_t interval, totalConstant, writeConstant;
    bool operator==(const Native&) const = default;
  };
  std::optional<Native> native_;
};
