#include "fuzz/MemoryLine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void FuzzFailure(const std::string& what) {
  std::fprintf(stderr, "FUZZ INVARIANT BROKEN: %s\n", what.c_str());
  std::abort();
}

MemoryLine::MemoryLine(std::deque<ScriptedAnswer> answers, int shortWrites, const void* region,
                       std::size_t size)
    : script_(std::move(answers)),
      shortWrites_(shortWrites),
      region_(static_cast<const std::uint8_t*>(region)),
      regionSize_(size) {}

int MemoryLine::Open(const std::string&) {
  open_ = true;
  return 0;
}

int MemoryLine::Close() {
  open_ = false;
  return 0;
}

void MemoryLine::RequireInsideRegion(const void* buffer, std::int32_t count,
                                     const char* call) const {
  const auto* start = static_cast<const std::uint8_t*>(buffer);
  Require(count > 0, std::string(call) + " of " + std::to_string(count) + " bytes");
  Require(start >= region_ && start + count <= region_ + regionSize_,
          std::string(call) + " outside the frame buffer");
}

int MemoryLine::Read(void* buffer, std::int32_t count, std::int32_t& transferred) {
  RequireInsideRegion(buffer, count, "Read");
  transferred = 0;
  const std::size_t left = current_.bytes.size() - next_;
  if (emptyReadsDue_ > 0 || left == 0) {
    if (emptyReadsDue_ > 0) --emptyReadsDue_;
    ++emptyRun_;
    longestEmptyRun_ = std::max(longestEmptyRun_, emptyRun_);
    return 0;
  }
  std::size_t take = std::min<std::size_t>(left, static_cast<std::size_t>(count));
  if (current_.bytesPerRead > 0) take = std::min<std::size_t>(take, current_.bytesPerRead);
  std::memcpy(buffer, current_.bytes.data() + next_, take);
  delivered_.back().insert(delivered_.back().end(), current_.bytes.begin() + next_,
                           current_.bytes.begin() + next_ + take);
  next_ += take;
  transferred = static_cast<std::int32_t>(take);
  emptyReadsDue_ = current_.emptyReadsBetween;
  emptyRun_ = 0;
  return 0;
}

int MemoryLine::Write(const void* buffer, std::int32_t count, std::int32_t& transferred) {
  RequireInsideRegion(buffer, count, "Write");
  ++writeCalls_;
  emptyRun_ = 0;
  if (shortWrites_ > 0) {
    --shortWrites_;
    transferred = count / 2;
    return 0;
  }
  transferred = count;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  frames_.emplace_back(bytes, bytes + count);
  delivered_.emplace_back();
  current_ = ScriptedAnswer{};
  if (!script_.empty()) {
    current_ = std::move(script_.front());
    script_.pop_front();
  }
  next_ = 0;
  emptyReadsDue_ = current_.emptyReadsFirst;
  return 0;
}

int MemoryLine::Purge(bool input, bool) {
  if (input) {
    next_ = current_.bytes.size();
    emptyReadsDue_ = 0;
  }
  return 0;
}

std::deque<ScriptedAnswer> DecodeAnswers(const std::uint8_t* data, std::size_t size) {
  std::deque<ScriptedAnswer> answers;
  std::size_t pos = 0;
  while (pos + 2 <= size) {
    const std::size_t length = data[pos];
    const std::uint8_t rhythm = data[pos + 1];
    pos += 2;
    const std::size_t take = std::min(length, size - pos);
    ScriptedAnswer answer;
    answer.bytes.assign(data + pos, data + pos + take);
    answer.bytesPerRead = rhythm & 0x07;
    answer.emptyReadsFirst = (rhythm >> 3) & 0x07;
    answer.emptyReadsBetween = (rhythm >> 6) & 0x03;
    answers.push_back(std::move(answer));
    pos += take;
  }
  return answers;
}

void EncodeAnswer(const ScriptedAnswer& answer, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(std::min<std::size_t>(answer.bytes.size(), 255)));
  out.push_back(static_cast<std::uint8_t>((answer.bytesPerRead & 0x07) |
                                          ((answer.emptyReadsFirst & 0x07) << 3) |
                                          ((answer.emptyReadsBetween & 0x03) << 6)));
  out.insert(out.end(), answer.bytes.begin(),
             answer.bytes.begin() + std::min<std::size_t>(answer.bytes.size(), 255));
}
