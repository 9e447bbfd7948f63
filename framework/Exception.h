// The general exception of the system and the number-conversion error.
//
// Every layer raises a class derived from Exception; the message is
// user-interface text in UTF-8 and is shown by the default exception display.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Raised by StrToInt (and the date-time encoding) on a value it cannot convert.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Decimal text to a 32-bit integer: optional leading blanks, an optional sign,
// then digits only. Anything else, or a value outside 32 bits, raises
// EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);

// The text the default exception display shows for a UTF-8 message: a full
// stop is appended when the message is not empty and its last character's
// code is greater than that of ".". An exception outside the Exception family
// shows as one with an empty message.
std::string DefaultExceptionText(const std::string& message);
std::string DefaultExceptionText(const std::exception& error);
