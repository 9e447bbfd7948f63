// Arbitrary printer answers against one complete exchange.
//
// Input: [command][request data length][LastSequence before][short writes]
// followed by the scripted answers of MemoryLine.h, one per request frame
// written. The record goes through Execute on a port whose line is held in
// memory, and then everything the exchange promises is checked from the
// outside: the frames it sent, how it treated NAKs and silence, and that its
// record holds only what an accepted reply said.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fiscal/P00_fpcommand.h"
#include "fiscal/P00_fpsend.h"
#include "fuzz/MemoryLine.h"

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::uint8_t kStart = 0x01;
constexpr std::uint8_t kNak = 0x15;
constexpr int kMinSmallestReplyLen = 43;

// Request data without zero bytes, high bytes included: the check sum must
// count them unsigned.
std::string RequestData(int length) {
  std::string data(static_cast<std::size_t>(length), '\0');
  for (int i = 0; i < length; ++i) data[i] = static_cast<char>(1 + (i * 37) % 255);
  return data;
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
    text += ' ';
  }
  return text;
}

int NextSequence(std::int32_t last) {
  const std::int32_t next = last + 1;
  return next > 127 || next < 32 ? 32 : next;
}

// The request frame as the wire format defines it, built without the code
// under test.
Bytes ExpectedFrame(int sequence, int command, const std::string& data) {
  const int len = static_cast<int>(data.size()) + 36;
  Bytes frame = {kStart, static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(sequence),
                 static_cast<std::uint8_t>(command)};
  int sum = len + sequence + command + 0x05;
  for (char c : data) {
    frame.push_back(static_cast<std::uint8_t>(c));
    sum += static_cast<std::uint8_t>(c);
  }
  frame.push_back(0x05);
  for (int shift = 12; shift >= 0; shift -= 4) {
    frame.push_back(static_cast<std::uint8_t>(0x30 + ((sum >> shift) & 0x0F)));
  }
  frame.push_back(0x03);
  return frame;
}

// The first byte of an answer that the exchange may react to: noise before
// it is dropped.
int FirstSignificantByte(const Bytes& answer) {
  for (std::uint8_t b : answer) {
    if (b == kStart || b == kNak) return b;
  }
  return -1;
}

bool StatusMatches(const FPCommand00& record, const std::uint8_t* status) {
  for (int i = 0; i < 6; ++i) {
    if (record.Status[i] != (status[i] & 0x3F)) return false;
  }
  return true;
}

// True when the bytes the exchange read for its last frame end with a reply
// a printer could have sent to it, and the record holds that reply's data
// and status.
bool EndsWithAcceptableReply(const Bytes& got, int sequence, int command,
                             const FPCommand00& record) {
  for (std::size_t s = 0; s + 1 < got.size(); ++s) {
    if (got[s] != kStart) continue;
    const int len = got[s + 1];
    const std::size_t r = static_cast<std::size_t>(len) - 28;
    if (len < kMinSmallestReplyLen || got.size() - (s + 2) != r) continue;
    const std::uint8_t* rest = got.data() + s + 2;
    if (rest[0] != sequence || rest[1] != command) continue;
    if (rest[r - 1] != 0x03 || rest[r - 6] != 0x05 || rest[r - 13] != 0x04) continue;
    int sum = len;
    for (std::size_t i = 0; i <= r - 6; ++i) sum += rest[i];
    int bcc = 0;
    for (std::size_t i = r - 5; i <= r - 2; ++i) bcc = (bcc << 4) | (rest[i] & 0x0F);
    if (sum != bcc) continue;
    const char* data = reinterpret_cast<const char*>(rest + 2);
    const std::string replyData(data, strnlen(data, r - 15));
    if (replyData == record.ReplyData && StatusMatches(record, rest + r - 12)) return true;
  }
  return false;
}

// The code Execute derives from an accepted reply's status flags.
std::int32_t ConditionFromStatus(const FPCommand00& record) {
  const bool noPaper = record.Status[2] & 0x01;
  const bool noJournal = record.Status[2] & 0x04;
  const bool generalError = record.Status[0] & 0x20;
  const bool noDisplay = record.Status[0] & 0x08;
  if (noPaper) return noJournal ? 98 : 99;
  if (generalError) return noDisplay ? 97 : 100;
  return 0;
}

void CheckRecordShape(const FPCommand00& record) {
  Require(std::memchr(record.ReplyData, 0, sizeof record.ReplyData) != nullptr,
          "ReplyData not terminated");
  for (int i = 0; i < 6; ++i) {
    Require(record.Status[i] <= 0x3F, "Status byte not masked");
    for (int b = 0; b < 6; ++b) {
      Require(record.StatusBits[6 * i + b] == static_cast<bool>((record.Status[i] >> b) & 1),
              "StatusBits disagree with Status");
    }
  }
}

void CheckNothingFromAFailure(const FPCommand00& record) {
  Require(record.ReplyData[0] == '\0', "ReplyData kept after a failed exchange");
  for (int i = 0; i < 6; ++i) Require(record.Status[i] == 0, "Status kept after a failure");
}

void CheckFrames(const MemoryLine& line, const Bytes& expected) {
  const auto& frames = line.Frames();
  Require(!frames.empty(), "an exchange that sent nothing");
  Require(frames.size() <= static_cast<std::size_t>(MaxAttempts),
          "more than four frames sent: " + std::to_string(frames.size()));
  for (const Bytes& frame : frames) {
    Require(frame == expected, "a frame not as the request says: " + Hex(frame));
  }
  Require(line.WriteCalls() <= MaxAttempts * MaxShortWrites, "unbounded short writes");
  Require(line.LongestEmptyRun() <= MaxEmptyReads,
          "waited for more than seven empty reads: " + std::to_string(line.LongestEmptyRun()));
}

void CheckNakHandling(const MemoryLine& line, std::int32_t code) {
  const auto& answers = line.Delivered();
  int nakAnswers = 0;
  int resentAfterNak = 0;
  for (std::size_t k = 0; k < answers.size(); ++k) {
    if (FirstSignificantByte(answers[k]) != kNak) continue;
    ++nakAnswers;
    if (k + 1 < answers.size()) ++resentAfterNak;
  }
  Require(resentAfterNak <= MaxNak, "more than three NAKs answered with a resend");
  if (code == 4) {
    Require(nakAnswers == MaxNak + 1 && FirstSignificantByte(answers.back()) == kNak,
            "code 4 without four NAKs");
  }
}

void CheckExchange(const FPCommand00& record, const MemoryLine& line, int command,
                   const std::string& data, std::int32_t sequenceBefore) {
  const std::int32_t code = record.ErrorCode;
  CheckRecordShape(record);
  if (command < 32 || command > 127) {
    Require(code == 1 && line.WriteCalls() == 0, "a command out of range not refused");
    Require(LastSequence == sequenceBefore, "sequence advanced for a refused command");
    return;
  }
  const int sequence = NextSequence(sequenceBefore);
  Require(LastSequence == sequence, "sequence not advanced by one step");
  if (data.size() > static_cast<std::size_t>(kMaxRequestData)) {
    Require(code == 2 && line.WriteCalls() == 0, "overlong data not refused");
    return;
  }
  Require((code >= 0 && code <= 8 && code != 1 && code != 2) || (code >= 97 && code <= 100),
          "result code out of range: " + std::to_string(code));
  CheckFrames(line, ExpectedFrame(sequence, command, data));
  CheckNakHandling(line, code);
  const bool accepted = code == 0 || code >= 97;
  if (!accepted) return CheckNothingFromAFailure(record);
  Require(EndsWithAcceptableReply(line.Delivered().back(), sequence, command, record),
          "reply data or status not from an acceptable reply");
  Require(code == ConditionFromStatus(record), "printer condition code disagrees with flags");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < kHeaderSize) return 0;
  const int command = input[0];
  const std::string data = RequestData(input[1]);
  LastSequence = input[2];
  const std::int32_t sequenceBefore = LastSequence;
  const int shortWrites = input[3] & 0x07;

  auto owned = std::make_unique<MemoryLine>(DecodeAnswers(input + kHeaderSize, size - kHeaderSize),
                                            shortWrites, FrameBuffer, sizeof FrameBuffer);
  const MemoryLine& line = *owned;
  TComPort port(std::move(owned));
  port.SetPort("memory");
  FiscalPort = &port;

  FPCommand00 record;
  record.Execute(command, data);
  CheckExchange(record, line, command, data, sequenceBefore);
  const char* text = record.ErrorText();
  Require(std::memchr(record.ErrorMessage, 0, sizeof record.ErrorMessage) != nullptr &&
              (record.ErrorCode == 0) == (text[0] == '\0'),
          "result text");
  FiscalPort = nullptr;
  return 0;
}
