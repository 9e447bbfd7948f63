// The exchange's counting rules, on a line whose every read and write is
// scripted: how many calls the exchange makes decides these cases, and a
// real line cannot cut a reply into exact pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "fiscal/P00_fpsend.h"
#include "tools/simulator/PrinterFrames.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
// One read call's worth: its bytes, or none for an empty read.
using Script = std::deque<Bytes>;

// A printer that answers each complete request frame with the next script.
class ScriptedBackend : public SerialBackend {
 public:
  std::deque<Script> answers;
  int shortWrites = 0;  // writes that get only 3 bytes through; -1: every one
  int writes = 0;
  int reads = 0;
  std::vector<Bytes> written;

  int Open(const std::string&) override {
    open_ = true;
    return 0;
  }
  int Close() override {
    open_ = false;
    return 0;
  }
  bool IsOpen() const override { return open_; }
  int SetQueueSizes(std::int32_t, std::int32_t) override { return 0; }
  int SetLineSettings(const SerialLineSettings&) override { return 0; }
  int SetTimeouts(const SerialTimeouts&) override { return 0; }
  int ReadModemStatus() override { return 0; }
  int Purge(bool input, bool) override {
    if (input) input_.clear();
    return 0;
  }
  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override {
    ++writes;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    written.emplace_back(bytes, bytes + count);
    const bool cut = shortWrites != 0;
    if (shortWrites > 0) --shortWrites;
    transferred = cut ? std::min(count, 3) : count;
    if (transferred == count && !answers.empty()) {
      input_ = answers.front();
      answers.pop_front();
    }
    return 0;
  }
  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override {
    ++reads;
    transferred = 0;
    if (input_.empty()) return 0;
    Bytes& chunk = input_.front();
    transferred = std::min<std::int32_t>(count, static_cast<std::int32_t>(chunk.size()));
    std::copy_n(chunk.begin(), transferred, static_cast<std::uint8_t*>(buffer));
    chunk.erase(chunk.begin(), chunk.begin() + transferred);
    if (chunk.empty()) input_.pop_front();
    return 0;
  }

 private:
  bool open_ = false;
  Script input_;
};

constexpr std::uint8_t kSeq = 32;
constexpr std::uint8_t kCmd = 62;

Bytes Reply(const std::string& data = "24-12-23 18:05:09") {
  return sim::BuildReply(kSeq, kCmd, data, {});
}

// The start byte and LEN in one read each, then the remainder in `pieces`
// reads of about equal size.
Script InPieces(const Bytes& reply, int pieces) {
  Script script{{reply[0]}, {reply[1]}};
  const std::size_t rest = reply.size() - 2;
  std::size_t from = 2;
  for (int i = 0; i < pieces; ++i) {
    std::size_t to = 2 + rest * (i + 1) / pieces;
    script.push_back(Bytes(reply.begin() + from, reply.begin() + to));
    from = to;
  }
  return script;
}

Script Empties(int n) {
  return Script(n, Bytes{});
}

Script operator+(Script a, const Script& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ScriptedLine : public ::testing::Test {
 protected:
  ScriptedLine() {
    auto owned = std::make_unique<ScriptedBackend>();
    line = owned.get();
    port = std::make_unique<TComPort>(std::move(owned));
    FiscalPort = port.get();
  }
  ~ScriptedLine() override { FiscalPort = nullptr; }

  // Every run carries kSeq, so one reply script fits them all.
  int Run() {
    LastSequence = kSeq - 1;
    return record.Execute(kCmd, "").ErrorCode;
  }

  ScriptedBackend* line;
  std::unique_ptr<TComPort> port;
  FPCommand00 record;
};

TEST_F(ScriptedLine, NoiseBytesRestartTheCountOfEmptyReads) {
  // Eighteen empty reads in all, never seven in a row.
  line->answers = {Empties(6) + Script{{0x16}} + Empties(6) + Script{{0x16, 0x16}} + Empties(6) +
                   Script{Reply()}};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(line->writes, 1);
  EXPECT_STREQ(record.ReplyData, "24-12-23 18:05:09");
}

TEST_F(ScriptedLine, SevenEmptyReadsEndEachAttemptAndASilentPrinterGivesThree) {
  EXPECT_EQ(Run(), 3);
  EXPECT_EQ(line->writes, MaxAttempts);
  EXPECT_EQ(line->reads, MaxAttempts * MaxEmptyReads);
}

TEST_F(ScriptedLine, SevenEmptyReadsForLenGiveFive) {
  for (int i = 0; i < MaxAttempts; ++i) line->answers.push_back(Script{{0x01}});
  EXPECT_EQ(Run(), 5);
  EXPECT_EQ(line->reads, MaxAttempts * (1 + MaxEmptyReads));
}

TEST_F(ScriptedLine, TheRemainderMayTakeSixReadsButNotSeven) {
  line->answers = {InPieces(Reply(), 6)};
  EXPECT_EQ(Run(), 0);

  // The seventh call completes the remainder and still ends the attempt.
  line->answers.assign(MaxAttempts, InPieces(Reply(), 7));
  EXPECT_EQ(Run(), 7);
  EXPECT_STREQ(record.ReplyData, "");

  line->answers = {InPieces(Reply(), 7), InPieces(Reply(), 1)};
  EXPECT_EQ(Run(), 0);
}

TEST_F(ScriptedLine, CheckSumCharactersCountByTheirLowFourBitsOnly) {
  Bytes reply = Reply();
  for (std::size_t i = reply.size() - 5; i < reply.size() - 1; ++i) {
    reply[i] = static_cast<std::uint8_t>(0x40 | (reply[i] & 0x0F));
  }
  line->answers = {Script{reply}};
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(line->writes, 1);
}

TEST_F(ScriptedLine, ShortWritesAreRepeatedABoundedNumberOfTimesAndCountAsNoAnswer) {
  line->shortWrites = -1;
  EXPECT_EQ(Run(), 3);
  EXPECT_EQ(line->writes, MaxAttempts * MaxShortWrites);
  EXPECT_EQ(line->reads, 0);
}

TEST_F(ScriptedLine, AFrameCutShortIsWrittenAgainWhole) {
  line->shortWrites = MaxShortWrites - 1;
  line->answers = {Script{Reply()}};
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(line->writes, MaxShortWrites);
  const Bytes frame{0x01, 0x24, 0x20, 0x3E, 0x05, 0x30, 0x30, 0x38, 0x37, 0x03};
  for (const Bytes& w : line->written) EXPECT_EQ(w, frame);
}

struct LenCase {
  std::uint8_t len;
  int code;
  int writes;
};

class ReplyLen : public ScriptedLine, public ::testing::WithParamInterface<LenCase> {};

// Below 32 the exchange stops at once; from 32 to 42 the separators would lie
// before the remainder, so such a reply is only a failed check.
TEST_P(ReplyLen, DecidesBetweenStoppingAndTryingAgain) {
  const LenCase c = GetParam();
  Bytes reply{0x01, c.len};
  if (c.len >= 0x20) {
    reply.insert(reply.end(), {kSeq, kCmd});
    reply.resize(c.len - 28 + 2, 0x04);
  }
  line->answers.assign(MaxAttempts, Script{reply});
  EXPECT_EQ(Run(), c.code);
  EXPECT_EQ(line->writes, c.writes);
  EXPECT_EQ(record.Length, c.len);
  EXPECT_STREQ(record.ReplyData, "");
}

INSTANTIATE_TEST_SUITE_P(Boundaries, ReplyLen,
                         ::testing::Values(LenCase{0x00, 6, 1}, LenCase{0x1F, 6, 1},
                                           LenCase{0x20, 8, MaxAttempts},
                                           LenCase{0x2A, 8, MaxAttempts}));

}  // namespace
