// The real POSIX backend with a tally of what the port asked of it, so that a
// test can see what reached the device and how often, on a real
// pseudo-terminal (which does not keep every setting it is given).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "serial/posix/PosixBackend.h"

struct BackendTally {
  std::vector<std::string> opened;
  int closes = 0;
  int queueSizes = 0;
  int lineSettings = 0;
  int timeouts = 0;
  SerialLineSettings lastLine;
  SerialTimeouts lastTimeouts{};
  // The order of the applying calls: 'Q'ueue sizes, 'L'ine, 'T'ime-outs.
  std::string applyOrder;
};

class RecordingBackend : public SerialBackend {
 public:
  explicit RecordingBackend(BackendTally& tally) : tally_(tally) {}

  int Open(const std::string& portName) override {
    tally_.opened.push_back(portName);
    return real_.Open(portName);
  }
  int Close() override {
    ++tally_.closes;
    return real_.Close();
  }
  bool IsOpen() const override { return real_.IsOpen(); }
  int SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override {
    ++tally_.queueSizes;
    tally_.applyOrder += 'Q';
    return real_.SetQueueSizes(inputSize, outputSize);
  }
  int SetLineSettings(const SerialLineSettings& settings) override {
    ++tally_.lineSettings;
    tally_.applyOrder += 'L';
    tally_.lastLine = settings;
    return real_.SetLineSettings(settings);
  }
  int SetTimeouts(const SerialTimeouts& timeouts) override {
    ++tally_.timeouts;
    tally_.applyOrder += 'T';
    tally_.lastTimeouts = timeouts;
    return real_.SetTimeouts(timeouts);
  }
  int ReadModemStatus() override { return real_.ReadModemStatus(); }
  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override {
    return real_.Read(buffer, count, transferred);
  }
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override {
    return real_.Write(buffer, count, transferred);
  }
  int Purge(bool input, bool output) override { return real_.Purge(input, output); }

 private:
  BackendTally& tally_;
  PosixBackend real_;
};
