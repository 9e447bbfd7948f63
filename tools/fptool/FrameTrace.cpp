#include "tools/fptool/FrameTrace.h"

#include <cstdint>
#include <cstdio>

#include "fiscal/P00_fpcommand.h"

namespace {

constexpr std::uint8_t kStart = 0x01;
constexpr std::uint8_t kEnd = 0x03;
constexpr std::uint8_t kStatusSeparator = 0x04;
constexpr std::uint8_t kChecksumSeparator = 0x05;
constexpr std::uint8_t kXon = 0x11;
constexpr std::uint8_t kXoff = 0x13;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kSyn = 0x16;
// The frame from 01 to 03 is LEN minus this long.
constexpr int kLenOverFrame = 26;
// 01 LEN SEQ CMD 05 BCC(4) 03: no frame is shorter.
constexpr std::size_t kShortestFrame = 10;
// A reply's tail after its data: 04, six status bytes, 05, BCC, 03.
constexpr std::size_t kReplyTail = 13;
constexpr std::size_t kStatusBytes = 6;
constexpr int kFlagsPerStatusByte = 6;

std::uint8_t Byte(std::string_view bytes, std::size_t i) {
  return static_cast<std::uint8_t>(bytes[i]);
}

// Data as a quoted text: printable ASCII as it is, every other byte \xHH.
std::string Quoted(std::string_view data) {
  std::string text = "\"";
  for (char c : data) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      text += c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    }
  }
  return text + "\"";
}

bool ChecksumValid(std::string_view frame) {
  const std::size_t separator = frame.size() - 6;
  int sum = 0;
  for (std::size_t i = 1; i <= separator; ++i) sum += Byte(frame, i);
  int stated = 0;
  for (std::size_t i = separator + 1; i < separator + 5; ++i) {
    const std::uint8_t digit = Byte(frame, i);
    if (digit < 0x30 || digit > 0x3F) return false;
    stated = stated * 16 + (digit - 0x30);
  }
  return stated == (sum & 0xFFFF);
}

std::string StatusText(std::string_view status) {
  std::string flags;
  for (std::size_t i = 0; i < status.size(); ++i) {
    for (int bit = 0; bit < kFlagsPerStatusByte; ++bit) {
      if (!(Byte(status, i) >> bit & 1)) continue;
      if (!flags.empty()) flags += ',';
      flags += StatusFlagNames[kFlagsPerStatusByte * i + bit];
    }
  }
  return "status " + HexBytes(status) + " flags " + (flags.empty() ? "-" : flags);
}

}  // namespace

std::string DescribeFrame(LineDirection direction, std::string_view frame) {
  const bool request = direction == LineDirection::Sent;
  const std::size_t n = frame.size();
  const std::size_t dataEnd = request ? n - 6 : n - kReplyTail;
  const bool shaped = n >= (request ? kShortestFrame : kShortestFrame + kReplyTail - 6) &&
                      Byte(frame, n - 1) == kEnd && Byte(frame, n - 6) == kChecksumSeparator &&
                      (request || Byte(frame, n - kReplyTail) == kStatusSeparator);
  std::string text = request ? "request" : "reply";
  text += " SEQ " + std::to_string(Byte(frame, 2)) + " CMD " + std::to_string(Byte(frame, 3));
  if (!shaped) {
    return text + ", " + std::to_string(n) + " bytes with the separators out of place, BCC " +
           (n >= kShortestFrame && ChecksumValid(frame) ? "valid" : "INVALID");
  }
  text += " data " + Quoted(frame.substr(4, dataEnd - 4));
  if (!request) {
    text += ' ';
    text += StatusText(frame.substr(n - kReplyTail + 1, kStatusBytes));
  }
  return text + ", BCC " + (ChecksumValid(frame) ? "valid" : "INVALID");
}

void FrameTrace::TellStrayBytes(Side& side, std::vector<std::string>& lines) {
  if (side.strayBytes == 0) return;
  lines.push_back(std::to_string(side.strayBytes) + " byte(s) outside a frame");
  side.strayBytes = 0;
}

void FrameTrace::TakeByte(LineDirection direction, Side& side, char byte,
                          std::vector<std::string>& lines) {
  const std::uint8_t value = static_cast<std::uint8_t>(byte);
  if (side.frame.empty()) {
    const char* control = value == kNak    ? "NAK"
                          : value == kSyn  ? "SYN"
                          : value == kXon  ? "XON"
                          : value == kXoff ? "XOFF"
                                           : nullptr;
    if (value != kStart && !control) {
      ++side.strayBytes;
      return;
    }
    TellStrayBytes(side, lines);
    if (control) {
      lines.push_back(control);
    } else {
      side.frame += byte;
    }
    return;
  }
  side.frame += byte;
  const int len = Byte(side.frame, 1);
  if (len - kLenOverFrame < static_cast<int>(kShortestFrame)) {
    lines.push_back("frame start with LEN " + std::to_string(len) + ", too short for a frame");
    side.frame.clear();
  } else if (side.frame.size() == static_cast<std::size_t>(len - kLenOverFrame)) {
    lines.push_back(DescribeFrame(direction, side.frame));
    side.frame.clear();
  }
}

std::vector<std::string> FrameTrace::Feed(LineDirection direction, std::string_view bytes) {
  std::vector<std::string> lines;
  Side& side = sides_[direction == LineDirection::Sent ? 0 : 1];
  for (char byte : bytes) TakeByte(direction, side, byte, lines);
  TellStrayBytes(side, lines);
  return lines;
}

std::vector<std::string> FrameTrace::Discard() {
  std::vector<std::string> lines;
  for (Side& side : sides_) {
    if (side.frame.size() > 1) {
      lines.push_back("incomplete frame dropped: " + std::to_string(side.frame.size()) + " of " +
                      std::to_string(Byte(side.frame, 1) - kLenOverFrame) + " bytes");
    } else if (!side.frame.empty()) {
      lines.push_back("incomplete frame dropped: its start byte alone");
    }
    side.frame.clear();
  }
  return lines;
}
