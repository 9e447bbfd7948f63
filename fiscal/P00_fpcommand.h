// The command record: every command reaches the printer through one of these.
//
// A caller puts a command number and request data in, calls Execute, and
// reads the result out of the same record: ErrorCode (0 success, 1..8 from
// the exchange, 97..100 from the printer's status flags), the reply data, the
// six status bytes and their 36 flags. The record never raises errors of its
// own; only the serial port's EComPort (and, from ExecuteText, the number
// conversion's EConvertError) pass through. Storage is fixed in size.
#pragma once

#include <cstdint>
#include <string>

constexpr int kMaxRequestData = 204;

class FPCommand00 {
 public:
  FPCommand00();

  std::int32_t Command;
  char Data[kMaxRequestData + 1];  // 8-bit text, ends at its first zero byte
  std::int32_t DataLength;         // length asked for; above 204 gives code 2 (Data keeps 204)
  std::int32_t ErrorCode;
  std::uint8_t ReplySequence;
  std::uint8_t ReplyCommand;
  std::uint8_t Length;
  std::int32_t Checksum;
  char ReplyData[250];
  std::uint8_t Status[6];
  bool StatusBits[36];
  char ErrorMessage[128];

  // Runs one command. Opens FiscalPort first when it is not connected.
  FPCommand00& Execute(int command, const char* data);
  FPCommand00& Execute(int command, const std::string& data);
  // Execute with the command number as decimal text (StrToInt's rules).
  void ExecuteText(const std::string& numberText, const std::string& data);

  // Field index (0..19) of ReplyData, fields separated by commas; field 19
  // holds the rest. Empty outside 0..19. Valid until the next exchange's split.
  const char* Field(int index);

  // The result text with the status suffix; empty for code 0.
  const char* ErrorText();
};

// Names of the 36 status flags (byte i bit b at 6*i+b).
extern const char* const StatusFlagNames[36];
