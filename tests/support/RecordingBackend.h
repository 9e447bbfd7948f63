// The tests' one fake serial backend. It passes every call on to a real
// backend (the platform's, on a pseudo-terminal) and keeps a tally of what
// the port asked of it, so a test sees what reached the device and how often
// on a line that does not keep every setting it is given. Writes can be made
// to fail, as a cable pulled between two exchanges. Without a real backend it
// is a line with nothing attached: it opens any name, takes every byte and
// never answers.
#pragma once

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "serial/SerialBackend.h"

struct BackendTally {
  std::vector<std::string> opened;
  int closes = 0;
  int queueSizes = 0;
  std::vector<SerialLineSettings> applied;  // every line-settings record handed down
  int timeouts = 0;
  SerialTimeouts lastTimeouts{};
  // The order of the applying calls: 'Q'ueue sizes, 'L'ine, 'T'ime-outs.
  std::string applyOrder;
  // Writes that still go through; below zero, every one does.
  int writesAllowed = -1;

  const SerialLineSettings& lastLine() const { return applied.back(); }
};

class RecordingBackend : public SerialBackend {
 public:
  explicit RecordingBackend(BackendTally& tally,
                            std::unique_ptr<SerialBackend> real = CreatePlatformBackend())
      : tally_(tally), real_(std::move(real)) {}

  int Open(const std::string& portName) override {
    tally_.opened.push_back(portName);
    if (!real_) return (nothingOpen_ = false, 0);
    return real_->Open(portName);
  }
  int Close() override {
    ++tally_.closes;
    if (!real_) return (nothingOpen_ = true, 0);
    return real_->Close();
  }
  bool IsOpen() const override { return real_ ? real_->IsOpen() : !nothingOpen_; }
  int SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override {
    ++tally_.queueSizes;
    tally_.applyOrder += 'Q';
    return real_ ? real_->SetQueueSizes(inputSize, outputSize) : 0;
  }
  int SetLineSettings(const SerialLineSettings& settings) override {
    tally_.applyOrder += 'L';
    tally_.applied.push_back(settings);
    return real_ ? real_->SetLineSettings(settings) : 0;
  }
  int SetTimeouts(const SerialTimeouts& timeouts) override {
    ++tally_.timeouts;
    tally_.applyOrder += 'T';
    tally_.lastTimeouts = timeouts;
    return real_ ? real_->SetTimeouts(timeouts) : 0;
  }
  int ReadModemStatus() override { return real_ ? real_->ReadModemStatus() : 0; }
  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override {
    transferred = 0;
    return real_ ? real_->Read(buffer, count, transferred) : 0;
  }
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override {
    transferred = 0;
    if (tally_.writesAllowed == 0) return EIO;
    if (tally_.writesAllowed > 0) --tally_.writesAllowed;
    if (!real_) return (transferred = count, 0);
    return real_->Write(buffer, count, transferred);
  }
  int Purge(bool input, bool output) override { return real_ ? real_->Purge(input, output) : 0; }
  bool DeviceGone(int error) const override { return real_ && real_->DeviceGone(error); }
  std::string ErrorDetail(int error, const std::string& portName) const override {
    return real_ ? real_->ErrorDetail(error, portName) : std::string();
  }

 private:
  BackendTally& tally_;
  std::unique_ptr<SerialBackend> real_;
  bool nothingOpen_ = true;
};
