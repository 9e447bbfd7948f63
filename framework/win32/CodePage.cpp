#include "framework/CodePage.h"

#include <windows.h>

#include <cstdint>
#include <optional>

// Windows-1250 through the system's tables. Both directions go one unit at a
// time so that every unmappable or broken unit becomes exactly one "?", as on
// Linux: MultiByteToWideChar would turn broken UTF-8 into U+FFFD (then "?")
// but may swallow the good bytes after a bad lead byte, and
// WideCharToMultiByte would give a "best fit" letter instead of "?".

namespace {

constexpr UINT kDeviceCodePage = 1250;

// Windows (and wine) map the five bytes that Windows-1250 leaves undefined
// (0x81, 0x83, 0x88, 0x90, 0x98) to the C1 control of the same number; the
// code page defines no C1 control at all, so none is a character here.
bool IsC1Control(wchar_t c) {
  return c >= 0x80 && c <= 0x9F;
}

// Length of the UTF-8 unit at the start of `text`: its lead byte and the
// continuation bytes that really follow it (1 for a bad lead byte).
std::size_t Utf8UnitLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t expected = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 1;
  std::size_t length = 1;
  while (length < expected && length < text.size() &&
         (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

}  // namespace

std::string DeviceToUtf8(std::string_view deviceText) {
  std::string out;
  out.reserve(deviceText.size() * 2);
  for (char byte : deviceText) {
    wchar_t wide = 0;
    // MB_ERR_INVALID_CHARS: a byte that Windows-1250 leaves undefined fails
    // instead of becoming a private-use character.
    if (MultiByteToWideChar(kDeviceCodePage, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) != 1 ||
        IsC1Control(wide)) {
      out += '?';
      continue;
    }
    char utf8[4];
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, &wide, 1, utf8, sizeof utf8, nullptr, nullptr);
    if (length <= 0) {
      out += '?';
    } else {
      out.append(utf8, static_cast<std::size_t>(length));
    }
  }
  return out;
}

namespace {

// The Windows-1250 byte of one UTF-8 unit; nothing when the unit is broken
// or its character has no byte there.
std::optional<char> DeviceByte(std::string_view unit) {
  wchar_t wide[2];
  const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, unit.data(),
                                             static_cast<int>(unit.size()), wide, 2);
  // One UTF-16 unit at most: a character beyond the BMP has no
  // Windows-1250 byte anyway.
  if (wideLength != 1) return std::nullopt;
  char byte = 0;
  BOOL defaulted = FALSE;
  const int got = WideCharToMultiByte(kDeviceCodePage, WC_NO_BEST_FIT_CHARS, wide, 1, &byte, 1,
                                      nullptr, &defaulted);
  if (got != 1 || defaulted) return std::nullopt;
  return byte;
}

// Converts unit by unit; `unmappable` decides what an unconvertible unit
// becomes (a byte to append), or ends the conversion with nothing.
template <typename Unmappable>
std::optional<std::string> ConvertToDevice(std::string_view utf8Text, Unmappable unmappable) {
  std::string out;
  out.reserve(utf8Text.size());
  while (!utf8Text.empty()) {
    const std::size_t length = Utf8UnitLength(utf8Text);
    const std::optional<char> byte = DeviceByte(utf8Text.substr(0, length));
    utf8Text.remove_prefix(length);
    const std::optional<char> appended = byte ? byte : unmappable();
    if (!appended) return std::nullopt;
    out += *appended;
  }
  return out;
}

}  // namespace

std::string Utf8ToDevice(std::string_view utf8Text) {
  return *ConvertToDevice(utf8Text, [] { return std::optional<char>('?'); });
}

std::optional<std::string> Utf8ToDeviceExact(std::string_view utf8Text) {
  return ConvertToDevice(utf8Text, [] { return std::optional<char>(); });
}
