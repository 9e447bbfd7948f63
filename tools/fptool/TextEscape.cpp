#include "tools/fptool/TextEscape.h"

#include <cstdio>

std::string EscapeControls(std::string_view text, std::string_view alsoEscaped) {
  std::string escaped;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (byte < 0x20 || byte == 0x7F || alsoEscaped.find(c) != std::string_view::npos) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      escaped += hex;
    } else {
      escaped += c;
    }
  }
  return escaped;
}
