// A serial line held in memory, for the fuzzers: the printer's answers come
// from a script instead of a device, and no call ever waits.
//
// Each request frame that is written whole releases the next scripted answer;
// reads hand out its bytes in the answer's rhythm and return empty once it is
// spent, as a silent line would after its time-out. Discarding the input queue
// drops what is left of the current answer. The line also checks that every
// transfer stays inside the memory it was told the exchange may use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "serial/SerialBackend.h"

using Bytes = std::vector<std::uint8_t>;

// What the printer sends after one request frame, and how it trickles in.
struct ScriptedAnswer {
  Bytes bytes;
  int bytesPerRead = 0;       // 0: as many as a read asks for
  int emptyReadsFirst = 0;    // silent reads before the first byte
  int emptyReadsBetween = 0;  // silent reads after each read that delivered bytes
};

// Stops the process with a message: libFuzzer keeps the input as a crash.
[[noreturn]] void FuzzFailure(const std::string& what);
inline void Require(bool condition, const std::string& what) {
  if (!condition) FuzzFailure(what);
}

class MemoryLine : public SerialBackend {
 public:
  // A read or write outside [region, region + size) is a failure.
  MemoryLine(std::deque<ScriptedAnswer> answers, int shortWrites, const void* region,
             std::size_t size);

  int Open(const std::string&) override;
  int Close() override;
  bool IsOpen() const override { return open_; }
  int SetQueueSizes(std::int32_t, std::int32_t) override { return 0; }
  int SetLineSettings(const SerialLineSettings&) override { return 0; }
  int SetTimeouts(const SerialTimeouts&) override { return 0; }
  int ReadModemStatus() override { return 0; }
  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override;
  int Purge(bool input, bool output) override;

  // Request frames that went out whole, in order.
  const std::vector<Bytes>& Frames() const { return frames_; }
  // For each frame, the bytes of its answer that reads actually took.
  const std::vector<Bytes>& Delivered() const { return delivered_; }
  int WriteCalls() const { return writeCalls_; }
  // The longest run of empty reads with neither a write nor a delivered byte between.
  int LongestEmptyRun() const { return longestEmptyRun_; }

 private:
  void RequireInsideRegion(const void* buffer, std::int32_t count, const char* call) const;

  std::deque<ScriptedAnswer> script_;
  ScriptedAnswer current_;
  std::size_t next_ = 0;  // next byte of current_ to hand out
  int emptyReadsDue_ = 0;
  int shortWrites_;
  const std::uint8_t* region_;
  std::size_t regionSize_;
  bool open_ = false;
  std::vector<Bytes> frames_;
  std::vector<Bytes> delivered_;
  int writeCalls_ = 0;
  int emptyRun_ = 0;
  int longestEmptyRun_ = 0;
};

// The fuzz input's answer part: a list of [length][rhythm][bytes...] records;
// the last record takes what is left when the input ends early. The rhythm
// byte holds bytesPerRead in bits 0-2, emptyReadsFirst in bits 3-5 and
// emptyReadsBetween in bits 6-7.
std::deque<ScriptedAnswer> DecodeAnswers(const std::uint8_t* data, std::size_t size);
// The inverse, for writing seed inputs.
void EncodeAnswer(const ScriptedAnswer& answer, Bytes& out);
