// A backend that hands every call on to another and writes down what crossed
// the line, for whoever has to see the bytes of a misbehaving printer.
//
// Every line of the trace starts with the time since the trace began, in
// seconds on the monotonic clock. Bytes are shown in hexadecimal, one line per
// transfer, "PC>FP" for those written and "FP>PC" for those read; a decoder
// may add lines that describe what the bytes make up (the protocol's frames,
// which this layer knows nothing of). Opening, closing, the line speed,
// discarded queues and failed calls are noted too. The trace only watches:
// every call and its result pass through unchanged.
#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "serial/SerialBackend.h"

enum class LineDirection { Sent, Received };

// Turns the bytes of the line into descriptions as they complete something.
class TraceDecoder {
 public:
  virtual ~TraceDecoder() = default;
  // The bytes of one transfer; returns the lines they complete.
  virtual std::vector<std::string> Feed(LineDirection direction, std::string_view bytes) = 0;
  // The queues were discarded, and with them whatever was under way.
  virtual std::vector<std::string> Discard() = 0;
};

// Where a trace goes, and the moment its time stamps count from; several
// backends (one port after another) may share one.
class TraceOutput {
 public:
  explicit TraceOutput(std::ostream& out) : out_(out), start_(std::chrono::steady_clock::now()) {}
  // One line, time-stamped, written out at once so that it survives a crash.
  void Line(const std::string& text);

 private:
  std::ostream& out_;
  std::chrono::steady_clock::time_point start_;
};

class TraceBackend : public SerialBackend {
 public:
  TraceBackend(std::unique_ptr<SerialBackend> inner, TraceOutput& output,
               std::unique_ptr<TraceDecoder> decoder = nullptr);

  int Open(const std::string& portName) override;
  int Close() override;
  bool IsOpen() const override { return inner_->IsOpen(); }
  int SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override;
  int SetLineSettings(const SerialLineSettings& settings) override;
  int SetTimeouts(const SerialTimeouts& timeouts) override;
  int ReadModemStatus() override;
  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Purge(bool input, bool output) override;
  bool DeviceGone(int error) const override { return inner_->DeviceGone(error); }
  std::string ErrorDetail(int error, const std::string& portName) const override {
    return inner_->ErrorDetail(error, portName);
  }

 private:
  // Notes a failed call; returns its result.
  int Checked(const char* call, int error);
  void Transfer(LineDirection direction, const void* bytes, std::int32_t count);
  // The decoder's lines, each after the event (a direction, "purge") they belong to.
  void Decoded(const char* event, const std::vector<std::string>& lines);

  std::unique_ptr<SerialBackend> inner_;
  TraceOutput& output_;
  std::unique_ptr<TraceDecoder> decoder_;
};

// Bytes as "01 24 20 3E".
std::string HexBytes(std::string_view bytes);
