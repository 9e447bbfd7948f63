// Arbitrary reply data and result codes against Field and ErrorText.
//
// Input: ErrorCode (4 bytes, little endian), Command (4 bytes), Length,
// six status bytes, then the reply data (up to its first zero byte, at most
// what ReplyData holds). Each field is compared with a plain split of the
// data, twice (the second from the cache), and the result text with the
// text its code prescribes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fiscal/P00_fpcommand.h"
#include "fiscal/P00_fpsend.h"
#include "fuzz/MemoryLine.h"

namespace {

constexpr std::size_t kHeaderSize = 15;
constexpr int kFields = 20;

std::int32_t TakeInt32(const std::uint8_t* bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[i];
  return static_cast<std::int32_t>(value);
}

// Pieces between commas; the last of twenty takes the rest, commas and all.
std::vector<std::string> ExpectedFields(const std::string& data) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() + 1 < kFields) {
    std::size_t comma = data.find(',', start);
    if (comma == std::string::npos) break;
    fields.push_back(data.substr(start, comma - start));
    start = comma + 1;
  }
  fields.push_back(data.substr(start));
  fields.resize(kFields);
  return fields;
}

std::string Format(const char* pattern, std::int32_t number) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, number);
  return text;
}

std::string ExpectedCodeText(const FPCommand00& record) {
  switch (record.ErrorCode) {
    case 1:
      return Format("Zadata komanda (%d) je van opsega!", record.Command);
    case 2:
      return "Zadato previse podataka!";
    case 3:
      return "Stampac se ne javlja - proverite stampac i kabl!";
    case 4:
      return "Stampac javlja greske u komunikaciji - proverite kabl!";
    case 5:
    case 7:
      return "Stampac je prestao da se javlja - proverite stampac i kabl!";
    case 6:
      return Format("Stampac je vratio duzinu %d - van opsega!", record.Length);
    case 8:
      return "Stampac vraca nekonzistentne podatke!";
    case 97:
      return "Povezite Display za kupca sa Stampacem!";
    case 98:
      return "Nema JOURNAL papira!";
    case 99:
      return "Nema BON papira!";
    case 100:
      return "Greska 100!";
    default:
      return Format("Nepoznata greska (%d)!", record.ErrorCode);
  }
}

std::string ExpectedErrorText(const FPCommand00& record) {
  if (record.ErrorCode == 0) return "";
  std::string text = ExpectedCodeText(record) + "\n\nStatus: ";
  for (std::uint8_t status : record.Status) text += Format("%02X", status);
  return text;
}

void CheckFields(FPCommand00& record, const std::vector<std::string>& expected) {
  for (int index = -2; index < kFields + 2; ++index) {
    const char* field = record.Field(index);
    const bool inRange = index >= 0 && index < kFields;
    Require(field != nullptr && field == (inRange ? expected[index] : std::string()),
            "field " + std::to_string(index) + " differs from the reply data's piece");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < kHeaderSize) return 0;
  FPCommand00 record;
  record.ErrorCode = TakeInt32(input);
  record.Command = TakeInt32(input + 4);
  record.Length = input[8];
  std::memcpy(record.Status, input + 9, sizeof record.Status);
  const std::size_t dataSize = std::min(size - kHeaderSize, sizeof record.ReplyData - 1);
  std::memcpy(record.ReplyData, input + kHeaderSize, dataSize);
  record.ReplyData[dataSize] = '\0';
  // What an exchange does to the record: the next Field call splits anew.
  ++ExchangeCounter;

  const std::vector<std::string> expected = ExpectedFields(record.ReplyData);
  CheckFields(record, expected);
  CheckFields(record, expected);

  const std::string text = record.ErrorText();
  Require(std::memchr(record.ErrorMessage, 0, sizeof record.ErrorMessage) != nullptr,
          "ErrorMessage not terminated");
  Require(text == ExpectedErrorText(record), "result text: " + text);
  return 0;
}
