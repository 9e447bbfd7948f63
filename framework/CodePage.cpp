#include "framework/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace {

constexpr const char* kDeviceCodePage = "WINDOWS-1250";

// Length of the UTF-8 sequence that starts with lead byte c (1 for a stray byte).
std::size_t Utf8SequenceLength(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
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
    std::size_t skip = std::min(skipUnit(static_cast<unsigned char>(*in)), inLeft);
    in += skip;
    inLeft -= skip;
    out.push_back('?');
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string DeviceToUtf8(std::string_view deviceText) {
  return Convert("UTF-8", kDeviceCodePage, deviceText, [](unsigned char) { return std::size_t{1}; });
}

std::string Utf8ToDevice(std::string_view utf8Text) {
  return Convert(kDeviceCodePage, "UTF-8", utf8Text, Utf8SequenceLength);
}
