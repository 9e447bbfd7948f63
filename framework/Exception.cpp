#include "framework/Exception.h"

#include <charconv>
#include <cstdint>

int StrToInt(const std::string& text) {
  std::size_t pos = text.find_first_not_of(" \t");
  if (pos == std::string::npos) pos = text.size();
  const char* first = text.data() + pos;
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;  // from_chars takes '-' only
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(first, last, value, 10);
  bool digitsOnly =
      error == std::errc() && end == last && first != last && (*first != '-' || last - first > 1);
  if (!digitsOnly || value < INT32_MIN || value > INT32_MAX) {
    throw EConvertError("'" + text + "' is not a valid integer value");
  }
  return static_cast<int>(value);
}

std::string DefaultExceptionText(const std::string& message) {
  // Every byte of a multi-byte UTF-8 character is above ".", as is its code.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}

std::string DefaultExceptionText(const std::exception& error) {
  auto* ours = dynamic_cast<const Exception*>(&error);
  return DefaultExceptionText(ours ? ours->Message() : std::string());
}
