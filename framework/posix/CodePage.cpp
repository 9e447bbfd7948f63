#include "framework/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <stdexcept>

namespace {

constexpr const char* kDeviceCodePage = "WINDOWS-1250";

// Length of the broken or unmappable UTF-8 sequence at the start of `text`:
// its lead byte and the continuation bytes that really follow it, so that a
// bad lead byte never swallows the good characters after it.
std::size_t Utf8UnitLength(const char* text, std::size_t left) {
  auto lead = static_cast<unsigned char>(text[0]);
  std::size_t expected = lead >= 0xC2 && lead <= 0xDF   ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 1;
  std::size_t length = 1;
  while (length < expected && length < left &&
         (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

// Runs iconv over the whole input; an input unit it cannot convert is replaced
// by "?" and skipped (skipUnit tells how long that unit is).
template <typename SkipUnit>
std::string Convert(const char* to, const char* from, std::string_view input, SkipUnit skipUnit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  std::string out;
  out.reserve(input.size() * 2);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: an unmappable or broken unit.
    std::size_t skip = std::min(skipUnit(in, inLeft), inLeft);
    in += skip;
    inLeft -= skip;
    out.push_back('?');
  }
  iconv_close(cd);
  return out;
}

// Runs iconv over the whole input; nothing when any unit cannot be converted.
std::optional<std::string> ConvertExactly(const char* to, const char* from,
                                          std::string_view input) {
  bool refused = false;
  std::string converted = Convert(to, from, input, [&refused](const char*, std::size_t) {
    refused = true;
    return std::size_t{1};
  });
  if (refused) return std::nullopt;
  return converted;
}

}  // namespace

std::string DeviceToUtf8(std::string_view deviceText) {
  return Convert("UTF-8", kDeviceCodePage, deviceText,
                 [](const char*, std::size_t) { return std::size_t{1}; });
}

std::string Utf8ToDevice(std::string_view utf8Text) {
  return Convert(kDeviceCodePage, "UTF-8", utf8Text, Utf8UnitLength);
}

std::optional<std::string> Utf8ToDeviceExact(std::string_view utf8Text) {
  return ConvertExactly(kDeviceCodePage, "UTF-8", utf8Text);
}
