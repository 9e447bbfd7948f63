#include "tools/fptool/ProbeLine.h"

#include <algorithm>

ProbeLine::ProbeLine(std::unique_ptr<SerialBackend> inner, std::chrono::milliseconds answerWait,
                     std::chrono::milliseconds replyWait)
    : inner_(std::move(inner)), answerWait_(answerWait), replyWait_(replyWait) {}

void ProbeLine::Rearm() {
  requestSent_ = false;
  answering_ = false;
}

int ProbeLine::SetTimeouts(const SerialTimeouts& timeouts) {
  timeouts_ = timeouts;
  return inner_->SetTimeouts(timeouts);
}

int ProbeLine::Write(const void* buffer, std::int32_t count, std::int32_t& transferred) {
  if (requestSent_) {
    transferred = 0;
    return 0;
  }
  const int error = inner_->Write(buffer, count, transferred);
  if (error == 0 && transferred > 0) {
    requestSent_ = true;
    deadline_ = Clock::now() + answerWait_;
  }
  return error;
}

int ProbeLine::Read(void* buffer, std::int32_t count, std::int32_t& transferred) {
  transferred = 0;
  if (!requestSent_ || Clock::now() >= deadline_) return 0;
  if (answering_) return inner_->Read(buffer, count, transferred);
  const int error = ReadUntil(deadline_, buffer, count, transferred);
  if (transferred > 0) {
    answering_ = true;
    deadline_ = Clock::now() + replyWait_;
  }
  return error;
}

int ProbeLine::ReadUntil(Clock::time_point deadline, void* buffer, std::int32_t count,
                         std::int32_t& transferred) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  // A constant of 0 with the other two at 0 would mean "wait for ever".
  const std::int32_t waitMs = static_cast<std::int32_t>(std::max<long long>(1, left.count()));
  SerialTimeouts bounded = timeouts_;
  bounded.ReadInterval = 0;
  bounded.ReadTotalMultiplier = 0;
  bounded.ReadTotalConstant = waitMs;
  if (const int error = inner_->SetTimeouts(bounded); error != 0) return error;
  const int error = inner_->Read(buffer, count, transferred);
  const int restored = inner_->SetTimeouts(timeouts_);
  return error != 0 ? error : restored;
}
