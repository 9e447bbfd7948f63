// The printer's view of the wire format: taking request frames apart,
// building reply frames, and one-line descriptions for the log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/simulator/PrinterSimulator.h"

namespace sim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kStx = 0x01;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kStatusSep = 0x04;
constexpr std::uint8_t kBccSep = 0x05;
constexpr std::uint8_t kNakByte = 0x15;
constexpr std::uint8_t kSynByte = 0x16;
constexpr std::uint8_t kXon = 0x11;
constexpr std::uint8_t kXoff = 0x13;
// Set on every status byte the printer sends; the program keeps bits 0..5.
constexpr std::uint8_t kStatusHighBit = 0x80;

// Bytes of a request frame before LEN counts: a request of LEN L is L - 26
// bytes long from 0x01 to 0x03.
constexpr int kRequestFrameOverhead = 26;
constexpr int kMinRequestLen = 36;
// LEN is one byte: a reply frame carries at most 255 - 43 data bytes.
constexpr std::size_t kMaxReplyData = 212;

// The four check-sum characters of `sum`, most significant nibble first.
void AppendBcc(Bytes& frame, int sum);
// LEN plus every byte after it up to and including the 0x05 separator.
int FrameSum(const Bytes& frame, std::size_t bccSeparator);

// Splits a complete request frame (0x01 .. 0x03, length from its LEN).
Request ParseRequest(const Bytes& frame);

// A well-formed reply frame; status bytes are sent with kStatusHighBit set.
Bytes BuildReply(std::uint8_t sequence, std::uint8_t command, const std::string& data,
                 const StatusBytes& status);
// The same reply with the 0x04 separator replaced, check sum still right.
Bytes BuildReplyWithoutSeparator(std::uint8_t sequence, std::uint8_t command,
                                 const std::string& data, const StatusBytes& status);
// A frame whose LEN (0x28) is too small to be a reply, sequence and command right.
Bytes BuildTooShortReply(std::uint8_t sequence, std::uint8_t command, const StatusBytes& status);
// Breaks the last check-sum character of a reply.
void SpoilBcc(Bytes& reply);

// The pieces between commas, empty ones included: how the printer reads the
// rate list of command 96 (and the simulator program its --rates).
std::vector<std::string> SplitCommas(const std::string& text);

std::string HexBytes(const Bytes& bytes);
// Request or reply data for the log: printable bytes as they are, others \xHH.
std::string Printable(const std::string& data);
const char* CommandName(int command);
// One line describing bytes the printer sent.
std::string DescribeSent(const Bytes& bytes);
std::string DescribeRequest(const Request& request);

}  // namespace sim
