// Conversion between user-interface text (UTF-8) and 8-bit device text in
// Windows-1250, the code page the printer speaks.
//
// A character with no Windows-1250 byte becomes "?"; so does a byte with no
// Windows-1250 character, and broken UTF-8. Conversion never fails.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string DeviceToUtf8(std::string_view deviceText);
std::string Utf8ToDevice(std::string_view utf8Text);

// The checked conversion, for text a user typed that must reach the printer
// exactly: nothing when the text is not valid UTF-8 or holds a character
// that has no Windows-1250 byte.
std::optional<std::string> Utf8ToDeviceExact(std::string_view utf8Text);
