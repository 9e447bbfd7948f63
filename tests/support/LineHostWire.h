// How bytes travel in the text requests and replies between the tests under
// wine and linehost: lowercase hex, "-" for none. Both ends use these.
#pragma once

#include <cstddef>
#include <string>

inline std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex.empty() ? "-" : hex;
}

inline std::string FromHex(const std::string& hex) {
  std::string bytes;
  if (hex == "-") return bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}
