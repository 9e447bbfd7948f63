#include "tools/simulator/PrinterFrames.h"

#include <cstdio>

namespace sim {

namespace {

constexpr int kReplyLenBase = 43;  // LEN of a reply without data

Bytes ReplyFrame(std::uint8_t sequence, std::uint8_t command, const std::string& data,
                 const StatusBytes& status, std::uint8_t separator) {
  // Reserved first: growing a four-byte vector by the data makes g++ 12 see
  // a copy out of bounds that is not there.
  Bytes frame;
  frame.reserve(data.size() + kReplyLenBase);
  for (std::uint8_t head :
       {kStx, static_cast<std::uint8_t>(data.size() + kReplyLenBase), sequence, command}) {
    frame.push_back(head);
  }
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(separator);
  for (std::uint8_t s : status) frame.push_back(s | kStatusHighBit);
  frame.push_back(kBccSep);
  AppendBcc(frame, FrameSum(frame, frame.size() - 1));
  frame.push_back(kEtx);
  return frame;
}

std::string Hex2(unsigned value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value & 0xFF);
  return text;
}

std::string StatusText(const Bytes& reply, std::size_t first) {
  std::string text;
  for (std::size_t i = first; i < first + 6 && i < reply.size(); ++i) {
    if (!text.empty()) text += ' ';
    text += Hex2(reply[i]);
  }
  return text;
}

std::string DescribeReply(const Bytes& bytes) {
  const int len = bytes[1];
  const std::size_t expected = static_cast<std::size_t>(len) - 28 + 2;
  if (len < kReplyLenBase) {
    return "reply frame with LEN " + std::to_string(len) + ", too short to be a reply";
  }
  if (bytes.size() < expected) {
    return "first " + std::to_string(bytes.size()) + " of " + std::to_string(expected) +
           " bytes of a reply frame";
  }
  const std::size_t separator = expected - 13;
  std::string data(bytes.begin() + 4, bytes.begin() + separator);
  std::string text = "reply seq " + std::to_string(bytes[2]) + " cmd " + std::to_string(bytes[3]) +
                     " (" + CommandName(bytes[3]) + ") data \"" + Printable(data) + "\" status " +
                     StatusText(bytes, separator + 1);
  if (bytes[separator] != kStatusSep) text += ", separator misplaced";
  int sum = FrameSum(bytes, expected - 6);
  int bcc = 0;
  for (std::size_t i = expected - 5; i < expected - 1; ++i) bcc = (bcc << 4) | (bytes[i] & 0x0F);
  if (bcc != sum) text += ", check sum wrong";
  return text;
}

}  // namespace

void AppendBcc(Bytes& frame, int sum) {
  for (int shift = 12; shift >= 0; shift -= 4) {
    frame.push_back(static_cast<std::uint8_t>(0x30 + ((sum >> shift) & 0x0F)));
  }
}

int FrameSum(const Bytes& frame, std::size_t bccSeparator) {
  int sum = 0;
  for (std::size_t i = 1; i <= bccSeparator && i < frame.size(); ++i) sum += frame[i];
  return sum;
}

Request ParseRequest(const Bytes& frame) {
  Request request;
  request.frame = frame;
  const std::size_t n = frame.size();
  if (n < static_cast<std::size_t>(kMinRequestLen - kRequestFrameOverhead)) return request;
  request.sequence = frame[2];
  request.command = frame[3];
  request.data.assign(frame.begin() + 4, frame.end() - 6);
  int bcc = 0;
  bool digits = true;
  for (std::size_t i = n - 5; i < n - 1; ++i) {
    digits = digits && (frame[i] & 0xF0) == 0x30;
    bcc = (bcc << 4) | (frame[i] & 0x0F);
  }
  request.intact =
      frame[n - 1] == kEtx && frame[n - 6] == kBccSep && digits && bcc == FrameSum(frame, n - 6);
  return request;
}

Bytes BuildReply(std::uint8_t sequence, std::uint8_t command, const std::string& data,
                 const StatusBytes& status) {
  return ReplyFrame(sequence, command, data, status, kStatusSep);
}

Bytes BuildReplyWithoutSeparator(std::uint8_t sequence, std::uint8_t command,
                                 const std::string& data, const StatusBytes& status) {
  return ReplyFrame(sequence, command, data, status, ',');
}

Bytes BuildTooShortReply(std::uint8_t sequence, std::uint8_t command, const StatusBytes& status) {
  // LEN 0x28 announces a remainder of 12 bytes: SEQ, COMMAND, 0x04, the
  // status, 0x05, one check-sum character and 0x03.
  Bytes frame{kStx, 0x28, sequence, command, kStatusSep};
  for (std::uint8_t s : status) frame.push_back(s | kStatusHighBit);
  frame.push_back(kBccSep);
  frame.push_back(0x30);
  frame.push_back(kEtx);
  return frame;
}

void SpoilBcc(Bytes& reply) {
  std::uint8_t& last = reply[reply.size() - 2];
  last = static_cast<std::uint8_t>(0x30 | ((last + 1) & 0x0F));
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

std::string HexBytes(const Bytes& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += Hex2(b);
  }
  return text;
}

std::string Printable(const std::string& data) {
  std::string text;
  for (unsigned char c : data) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text += static_cast<char>(c);
    } else {
      text += "\\x" + Hex2(c);
    }
  }
  return text;
}

const char* CommandName(int command) {
  switch (command) {
    case 62:
      return "clock";
    case 69:
      return "report";
    case 83:
      return "enable mask";
    case 96:
      return "write rates";
    case 97:
      return "read rates";
    default:
      return "unknown";
  }
}

std::string DescribeSent(const Bytes& bytes) {
  if (bytes.empty()) return "nothing";
  std::size_t start = 0;
  std::string prefix;
  while (start < bytes.size() && bytes[start] != kStx) {
    switch (bytes[start]) {
      case kNakByte:
        prefix += "NAK ";
        break;
      case kSynByte:
        prefix += "SYN ";
        break;
      case kXon:
        prefix += "XON ";
        break;
      case kXoff:
        prefix += "XOFF ";
        break;
      default:
        prefix += "byte " + Hex2(bytes[start]) + " ";
    }
    ++start;
  }
  if (start == bytes.size()) return prefix.substr(0, prefix.size() - 1);
  Bytes frame(bytes.begin() + start, bytes.end());
  if (frame.size() == 1) return prefix + "start byte alone, no LEN";
  if (frame[1] < 0x20) return prefix + "start byte and LEN " + std::to_string(frame[1]);
  return prefix + DescribeReply(frame);
}

std::string DescribeRequest(const Request& request) {
  std::string text = "request seq " + std::to_string(request.sequence) + " cmd " +
                     std::to_string(request.command) + " (" + CommandName(request.command) +
                     ") data \"" + Printable(request.data) + "\"";
  if (!request.intact) text += ", damaged";
  return text;
}

}  // namespace sim
