// Writes the seed corpus of both fuzzers: the replies a printer and a bad line
// really produce, so that fuzzing starts from the exchange's interesting paths.
//
// Usage: fuzz_seeds <corpus folder>; writes <folder>/transact/* and
// <folder>/field/*. The folders in the repository are this program's output.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/MemoryLine.h"
#include "tools/simulator/PrinterFrames.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kSeq = 32;  // the request after LastSequence 31
constexpr std::uint8_t kClock = 62;
const std::string kClockData = "24-12-23 18:05:09";

struct TransactSeed {
  const char* name;
  std::uint8_t command = kClock;
  std::uint8_t dataLength = 0;
  std::uint8_t lastSequence = 31;
  std::uint8_t shortWrites = 0;
  std::vector<ScriptedAnswer> answers;
};

ScriptedAnswer Plain(sim::Bytes bytes) {
  return ScriptedAnswer{std::move(bytes), 0, 0, 0};
}

sim::Bytes Reply(std::uint8_t seq = kSeq, const std::string& data = kClockData,
                 const sim::StatusBytes& status = {}) {
  return sim::BuildReply(seq, kClock, data, status);
}

sim::Bytes Join(sim::Bytes a, const sim::Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

sim::Bytes FirstHalf(const sim::Bytes& bytes) {
  return sim::Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2);
}

std::vector<TransactSeed> TransactSeeds() {
  const sim::Bytes reply = Reply();
  const sim::Bytes nak = {sim::kNakByte};
  const sim::Bytes syns = {sim::kSynByte, sim::kSynByte, sim::kSynByte, sim::kSynByte};
  sim::Bytes badBcc = reply;
  sim::SpoilBcc(badBcc);
  std::vector<TransactSeed> seeds = {
      {"valid", kClock, 0, 31, 0, {Plain(reply)}},
      {"valid-empty-data", kClock, 0, 31, 0, {Plain(Reply(kSeq, ""))}},
      {"valid-longest", kClock, 0, 31, 0, {Plain(Reply(kSeq, std::string(212, '7')))}},
      {"valid-high-status",
       kClock,
       0,
       31,
       0,
       {Plain(Reply(kSeq, kClockData, {0x21, 0, 0x05, 0, 0, 0x3F}))}},
      {"valid-sequence-wraps", kClock, 0, 127, 0, {Plain(Reply(32))}},
      {"valid-after-short-writes", kClock, 0, 31, 3, {Plain(reply)}},
      {"valid-longest-request", kClock, 204, 31, 0, {Plain(reply)}},
      {"valid-in-pieces", kClock, 0, 31, 0, {ScriptedAnswer{reply, 4, 2, 1}}},
      {"nak-then-valid", kClock, 0, 31, 0, {Plain(nak), Plain(reply)}},
      {"three-naks-then-valid",
       kClock,
       0,
       31,
       0,
       {Plain(nak), Plain(nak), Plain(nak), Plain(reply)}},
      {"four-naks", kClock, 0, 31, 0, {Plain(nak), Plain(nak), Plain(nak), Plain(nak)}},
      {"syn-run-then-valid", kClock, 0, 31, 0, {ScriptedAnswer{Join(syns, reply), 0, 6, 3}}},
      {"silence-then-valid", kClock, 0, 31, 0, {Plain({}), Plain(reply)}},
      {"silence", kClock, 0, 31, 0, {}},
      {"short-len", kClock, 0, 31, 0, {Plain({sim::kStx, 0x1F})}},
      {"len-below-reply",
       kClock,
       0,
       31,
       0,
       {Plain(sim::BuildTooShortReply(kSeq, kClock, {})),
        Plain(sim::BuildTooShortReply(kSeq, kClock, {})), Plain(sim::Bytes{sim::kStx, 0x20}),
        Plain(sim::Bytes{sim::kStx, 0x2A})}},
      {"no-len", kClock, 0, 31, 0, {Plain({sim::kStx}), Plain({sim::kStx})}},
      {"truncated", kClock, 0, 31, 0, {Plain(FirstHalf(reply)), Plain(FirstHalf(reply))}},
      {"truncated-trickle", kClock, 0, 31, 0, {ScriptedAnswer{reply, 3, 0, 1}}},
      {"wrong-sequence-then-valid", kClock, 0, 31, 0, {Plain(Reply(33)), Plain(reply)}},
      {"bad-checksum-four-times",
       kClock,
       0,
       31,
       0,
       {Plain(badBcc), Plain(badBcc), Plain(badBcc), Plain(badBcc)}},
      {"misplaced-separator",
       kClock,
       0,
       31,
       0,
       {Plain(sim::BuildReplyWithoutSeparator(kSeq, kClock, kClockData, {}))}},
      {"paper-out", kClock, 0, 31, 0, {Plain(Reply(kSeq, "", sim::StatusPaperOut()))}},
      {"display-not-connected",
       kClock,
       0,
       31,
       0,
       {Plain(Reply(kSeq, "", sim::StatusDisplayNotConnected()))}},
      {"zero-in-data", kClock, 0, 31, 0, {Plain(Reply(kSeq, std::string("1,2\0,3", 6)))}},
      {"command-out-of-range", 200, 0, 31, 0, {Plain(reply)}},
      {"data-too-long", kClock, 205, 31, 0, {Plain(reply)}},
  };
  return seeds;
}

Bytes EncodeTransact(const TransactSeed& seed) {
  Bytes input = {seed.command, seed.dataLength, seed.lastSequence, seed.shortWrites};
  for (const ScriptedAnswer& answer : seed.answers) EncodeAnswer(answer, input);
  return input;
}

struct FieldSeed {
  const char* name;
  std::int32_t errorCode;
  std::int32_t command;
  std::uint8_t length;
  std::string replyData;
};

Bytes EncodeField(const FieldSeed& seed) {
  Bytes input;
  for (std::int32_t value : {seed.errorCode, seed.command}) {
    for (int i = 0; i < 4; ++i) input.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  input.push_back(seed.length);
  for (std::uint8_t status : {0x00, 0x21, 0x05, 0x3F, 0x00, 0x10}) input.push_back(status);
  input.insert(input.end(), seed.replyData.begin(), seed.replyData.end());
  return input;
}

std::vector<FieldSeed> FieldSeeds() {
  std::string manyCommas;
  for (int i = 0; i < 25; ++i) manyCommas += std::to_string(i) + ",";
  return {
      {"fields-with-empty", 0, 83, 55, "1,2,,4"},
      {"no-commas", 3, 62, 0, "24-12-23 18:05:09"},
      {"twenty-five-commas", 42, 97, 0, manyCommas},
      {"rates", 0, 97, 0, "20.00,10.00,0.00,0.00,0.00,0.00,0.00,0.00"},
      {"command-out-of-range", 1, 128, 0, ""},
      {"short-len", 6, 62, 31, ""},
      {"unknown-code", -2147483647 - 1, 62, 0, ",,,"},
      {"longest-reply", 100, 62, 0, std::string(249, ',')},
  };
}

void Write(const fs::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  fs::create_directories(root / "transact");
  fs::create_directories(root / "field");
  for (const TransactSeed& seed : TransactSeeds()) {
    Write(root / "transact" / seed.name, EncodeTransact(seed));
  }
  for (const FieldSeed& seed : FieldSeeds()) Write(root / "field" / seed.name, EncodeField(seed));
  return 0;
}
