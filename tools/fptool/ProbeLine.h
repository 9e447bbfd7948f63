// The line under one probe of `fptool find`: a backend over the real one that
// lets the printer have one request and waits a bounded time for its answer.
//
// The exchange retries a silent printer for 5.6 s and sends its request again
// and again; probing eight speeds that way would take most of a minute and
// send a storm of frames to whatever listens on a wrong port. Here the
// exchange runs unchanged, but after the first request every further write is
// swallowed (reported as nothing sent), reads give up at once when no answer
// byte has come within `answerWait` of the request, and once an answer has
// begun it has `replyWait` to complete.
#pragma once

#include <chrono>
#include <memory>

#include "serial/SerialBackend.h"

class ProbeLine : public SerialBackend {
 public:
  ProbeLine(std::unique_ptr<SerialBackend> inner, std::chrono::milliseconds answerWait,
            std::chrono::milliseconds replyWait);

  // Ready for the next probe: one more request may go out.
  void Rearm();

  int Open(const std::string& portName) override { return inner_->Open(portName); }
  int Close() override { return inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  int SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override {
    return inner_->SetQueueSizes(inputSize, outputSize);
  }
  int SetLineSettings(const SerialLineSettings& settings) override {
    return inner_->SetLineSettings(settings);
  }
  int SetTimeouts(const SerialTimeouts& timeouts) override;
  int ReadModemStatus() override { return inner_->ReadModemStatus(); }
  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Purge(bool input, bool output) override { return inner_->Purge(input, output); }
  bool DeviceGone(int error) const override { return inner_->DeviceGone(error); }
  std::string ErrorDetail(int error, const std::string& portName) const override {
    return inner_->ErrorDetail(error, portName);
  }

 private:
  using Clock = std::chrono::steady_clock;

  // A read that waits no longer than until `deadline`.
  int ReadUntil(Clock::time_point deadline, void* buffer, std::int32_t count,
                std::int32_t& transferred);

  std::unique_ptr<SerialBackend> inner_;
  const std::chrono::milliseconds answerWait_;
  const std::chrono::milliseconds replyWait_;
  SerialTimeouts timeouts_{0, 0, 0, 0, 0};  // the caller's, as last set
  bool requestSent_ = false;
  bool answering_ = false;
  Clock::time_point deadline_;
};
