// UTF-8 and the UTF-16 of the Windows "W" calls.
//
// Broken UTF-8 becomes U+FFFD and a lone surrogate becomes "?" in UTF-8: a
// conversion for names and messages, never failing.
#pragma once

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view utf8Text);
std::string WideToUtf8(std::wstring_view wideText);
