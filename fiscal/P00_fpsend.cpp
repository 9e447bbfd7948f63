#include "fiscal/P00_fpsend.h"

#include <cstring>
#include "fiscal/FPProtocol.h"

TCustomComPort* FiscalPort = nullptr;
std::int32_t LastSequence = 31;
std::uint8_t FrameBuffer[230];
std::uint32_t ExchangeCounter = 0;

namespace {

constexpr std::uint8_t kStart = 0x01;
constexpr std::uint8_t kStatusSeparator = 0x04;
constexpr std::uint8_t kChecksumSeparator = 0x05;
constexpr std::uint8_t kEnd = 0x03;
constexpr std::uint8_t kNak = 0x15;

constexpr int kMinCommand = 32;
constexpr int kMaxCommand = 127;
constexpr int kMinSequence = 32;
constexpr int kMaxSequence = 127;
constexpr int kRequestLenBase = 36;  // LEN of a request without data
constexpr int kMinLen = 0x20;
// The smallest LEN that leaves room for SEQ, COMMAND, 0x04, six status bytes,
// 0x05, BCC and 0x03 in the remainder.
constexpr int kMinReplyLen = 43;
constexpr int kRemainderOffset = 28;  // remainder length = LEN - 28
constexpr int kStatusBytes = 6;
constexpr int kFlagsPerStatusByte = 6;
constexpr std::uint8_t kStatusMask = 0x3F;

// How one attempt ended.
enum class AttemptResult { Accepted, Retry, Stop };

void ResetOutputs(FPCommand00& command) {
  command.Length = 0;
  command.ReplyData[0] = '\0';
  command.Checksum = 0;
  command.ReplyCommand = static_cast<std::uint8_t>(command.Command);
  std::memset(command.Status, 0, sizeof command.Status);
  std::memset(command.StatusBits, 0, sizeof command.StatusBits);
}

void AdvanceSequence() {
  ++LastSequence;
  if (LastSequence > kMaxSequence || LastSequence < kMinSequence) LastSequence = kMinSequence;
}

// An overlong request keeps only its first 204 bytes in Data; DataLength
// still tells the length that was asked for.
int RequestDataLength(const FPCommand00& command) {
  int stored = static_cast<int>(strnlen(command.Data, sizeof command.Data));
  return command.DataLength > kMaxRequestData ? command.DataLength : stored;
}

// Four characters, most significant nibble first, each nibble + 0x30.
void PutChecksum(std::uint8_t* out, int checksum) {
  for (int i = 0; i < 4; ++i) {
    out[i] = static_cast<std::uint8_t>(0x30 + ((checksum >> (12 - 4 * i)) & 0x0F));
  }
}

int TakeChecksum(const std::uint8_t* in) {
  int checksum = 0;
  for (int i = 0; i < 4; ++i) checksum = (checksum << 4) | (in[i] & 0x0F);
  return checksum;
}

int RequestChecksum(const FPCommand00& command, int len, int dataLength) {
  int sum = len + LastSequence + command.Command + kChecksumSeparator;
  for (int i = 0; i < dataLength; ++i) sum += static_cast<std::uint8_t>(command.Data[i]);
  return sum;
}

int FormatRequest(const FPCommand00& command, int len, int dataLength, int checksum) {
  int pos = 0;
  FrameBuffer[pos++] = kStart;
  FrameBuffer[pos++] = static_cast<std::uint8_t>(len);
  FrameBuffer[pos++] = static_cast<std::uint8_t>(LastSequence);
  FrameBuffer[pos++] = static_cast<std::uint8_t>(command.Command);
  std::memcpy(FrameBuffer + pos, command.Data, dataLength);
  pos += dataLength;
  FrameBuffer[pos++] = kChecksumSeparator;
  PutChecksum(FrameBuffer + pos, checksum);
  pos += 4;
  FrameBuffer[pos++] = kEnd;
  FrameBuffer[pos] = 0;
  return pos;
}

// The port's write time-out may cut a frame short (a line held by XOFF); the
// whole frame goes again, a bounded number of times.
bool WriteFrame(int length) {
  for (int i = 0; i < MaxShortWrites; ++i) {
    if (FiscalPort->Write(FrameBuffer, length) == length) return true;
  }
  return false;
}

// Reads one byte into FrameBuffer[0]; false after MaxEmptyReads empty reads.
// With skipNoise, bytes other than start and NAK are dropped and restart
// the count.
bool ReadAnswerByte(bool skipNoise) {
  int emptyReads = 0;
  while (emptyReads < MaxEmptyReads) {
    if (FiscalPort->Read(FrameBuffer, 1) != 1) {
      ++emptyReads;
    } else if (skipNoise && FrameBuffer[0] != kStart && FrameBuffer[0] != kNak) {
      emptyReads = 0;
    } else {
      return true;
    }
  }
  return false;
}

bool ReadRemainder(int remainder) {
  int got = 0;
  int calls = 0;
  while (got < remainder) {
    std::int32_t count = FiscalPort->Read(FrameBuffer + got, remainder - got);
    if (count > 0) got += count < remainder - got ? count : remainder - got;
    if (++calls > MaxBlockReads) return false;
  }
  return true;
}

bool CheckReply(FPCommand00& command, int len) {
  const int r = len - kRemainderOffset;
  command.ReplySequence = FrameBuffer[0];
  if (command.ReplySequence != LastSequence) return false;
  command.ReplyCommand = FrameBuffer[1];
  if (command.ReplyCommand != command.Command) return false;
  // Too short to hold the separators where LEN puts them.
  if (len < kMinReplyLen) return false;
  if (FrameBuffer[r - 1] != kEnd || FrameBuffer[r - 6] != kChecksumSeparator ||
      FrameBuffer[r - 13] != kStatusSeparator) {
    return false;
  }
  command.Checksum = TakeChecksum(FrameBuffer + r - 5);
  int sum = len;
  for (int i = 0; i <= r - 6; ++i) sum += FrameBuffer[i];
  return command.Checksum == sum;
}

void AcceptReply(FPCommand00& command, int len) {
  const int r = len - kRemainderOffset;
  FrameBuffer[r - 13] = 0;
  FrameBuffer[r - 6] = 0;
  FrameBuffer[r - 1] = 0;
  std::strcpy(command.ReplyData, reinterpret_cast<const char*>(FrameBuffer + 2));
  for (int i = 0; i < kStatusBytes; ++i) {
    std::uint8_t status = FrameBuffer[r - 12 + i];
    command.Status[i] = status & kStatusMask;
    for (int b = 0; b < kFlagsPerStatusByte; ++b) {
      command.StatusBits[kFlagsPerStatusByte * i + b] = (status >> b) & 1;
    }
  }
}

AttemptResult RunAttempt(FPCommand00& command, int frameLength, int& naks) {
  FiscalPort->ClearBuffer(true, true);
  if (!WriteFrame(frameLength)) {
    command.ErrorCode = fpres::NoAnswer;
    return AttemptResult::Retry;
  }
  if (!ReadAnswerByte(true)) {
    command.ErrorCode = fpres::NoAnswer;
    return AttemptResult::Retry;
  }
  if (FrameBuffer[0] == kNak) {
    if (++naks > MaxNak) {
      command.ErrorCode = fpres::TooManyNaks;
      return AttemptResult::Stop;
    }
    return AttemptResult::Retry;
  }
  if (!ReadAnswerByte(false)) {
    command.ErrorCode = fpres::NoLength;
    return AttemptResult::Retry;
  }
  const int len = FrameBuffer[0];
  command.Length = static_cast<std::uint8_t>(len);
  if (len < kMinLen) {
    command.ErrorCode = fpres::LengthTooSmall;
    return AttemptResult::Stop;
  }
  if (!ReadRemainder(len - kRemainderOffset)) {
    command.ErrorCode = fpres::ReplyIncomplete;
    return AttemptResult::Retry;
  }
  if (!CheckReply(command, len)) return AttemptResult::Retry;
  AcceptReply(command, len);
  return AttemptResult::Accepted;
}

}  // namespace

void Transact(FPCommand00& command) {
  ++ExchangeCounter;
  ResetOutputs(command);
  if (command.Command < kMinCommand || command.Command > kMaxCommand) {
    command.ErrorCode = fpres::CommandOutOfRange;
    return;
  }
  AdvanceSequence();
  command.ReplySequence = static_cast<std::uint8_t>(LastSequence);

  const int dataLength = RequestDataLength(command);
  const int len = dataLength + kRequestLenBase;
  command.Length = static_cast<std::uint8_t>(len);
  if (dataLength > kMaxRequestData) {
    command.ErrorCode = fpres::DataTooLong;
    return;
  }
  command.Checksum = RequestChecksum(command, len, dataLength);
  // A reply that fails its checks leaves its own BCC in the record; the
  // resend must still carry the request's.
  const int requestChecksum = command.Checksum;

  // A code set by an attempt survives later attempts that end on a failed
  // check; only when no attempt set one is the result 8.
  command.ErrorCode = fpres::Ok;
  int naks = 0;
  for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
    const int frameLength = FormatRequest(command, len, dataLength, requestChecksum);
    AttemptResult result = RunAttempt(command, frameLength, naks);
    if (result == AttemptResult::Accepted) {
      command.ErrorCode = fpres::Ok;
      return;
    }
    if (result == AttemptResult::Stop) return;
  }
  if (command.ErrorCode == fpres::Ok) command.ErrorCode = fpres::InconsistentReplies;
}
