#include "serial/TraceBackend.h"

#include <cstdio>

namespace {

const char* DirectionName(LineDirection direction) {
  return direction == LineDirection::Sent ? "PC>FP" : "FP>PC";
}

}  // namespace

std::string HexBytes(std::string_view bytes) {
  std::string hex;
  char digits[4];
  for (char byte : bytes) {
    std::snprintf(digits, sizeof digits, hex.empty() ? "%02X" : " %02X",
                  static_cast<unsigned char>(byte));
    hex += digits;
  }
  return hex;
}

void TraceOutput::Line(const std::string& text) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start_);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%4lld.%06lld ",
                static_cast<long long>(elapsed.count() / 1000000),
                static_cast<long long>(elapsed.count() % 1000000));
  out_ << stamp << text << '\n';
  out_.flush();
}

TraceBackend::TraceBackend(std::unique_ptr<SerialBackend> inner, TraceOutput& output,
                           std::unique_ptr<TraceDecoder> decoder)
    : inner_(std::move(inner)), output_(output), decoder_(std::move(decoder)) {}

int TraceBackend::Checked(const char* call, int error) {
  if (error != 0) output_.Line(std::string(call) + " failed: error " + std::to_string(error));
  return error;
}

void TraceBackend::Decoded(const char* event, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) output_.Line(std::string(event) + " = " + line);
}

void TraceBackend::Transfer(LineDirection direction, const void* bytes, std::int32_t count) {
  if (count <= 0) return;
  const std::string_view data(static_cast<const char*>(bytes), static_cast<std::size_t>(count));
  output_.Line(std::string(DirectionName(direction)) + " " + HexBytes(data));
  if (decoder_) Decoded(DirectionName(direction), decoder_->Feed(direction, data));
}

int TraceBackend::Open(const std::string& portName) {
  output_.Line("open " + portName);
  return Checked("open", inner_->Open(portName));
}

int TraceBackend::Close() {
  if (inner_->IsOpen()) output_.Line("close");
  return Checked("close", inner_->Close());
}

int TraceBackend::SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) {
  return Checked("queue sizes", inner_->SetQueueSizes(inputSize, outputSize));
}

int TraceBackend::SetLineSettings(const SerialLineSettings& settings) {
  output_.Line("line " + std::to_string(settings.baudRate) + " bit/s");
  return Checked("line settings", inner_->SetLineSettings(settings));
}

int TraceBackend::SetTimeouts(const SerialTimeouts& timeouts) {
  return Checked("time-outs", inner_->SetTimeouts(timeouts));
}

int TraceBackend::ReadModemStatus() {
  return Checked("modem status", inner_->ReadModemStatus());
}

int TraceBackend::Read(void* buffer, std::int32_t count, std::int32_t& transferred) {
  const int error = inner_->Read(buffer, count, transferred);
  Transfer(LineDirection::Received, buffer, transferred);
  return Checked("read", error);
}

int TraceBackend::Write(const void* buffer, std::int32_t count, std::int32_t& transferred) {
  const int error = inner_->Write(buffer, count, transferred);
  Transfer(LineDirection::Sent, buffer, transferred);
  if (error == 0 && transferred < count) {
    output_.Line("write: " + std::to_string(transferred) + " of " + std::to_string(count) +
                 " bytes went out");
  }
  return Checked("write", error);
}

int TraceBackend::Purge(bool input, bool output) {
  output_.Line("purge");
  if (decoder_) Decoded("purge", decoder_->Discard());
  return Checked("purge", inner_->Purge(input, output));
}
