// Text from outside (a printer's reply, a USB descriptor) made safe to show
// in a terminal or to keep in a tab-separated file.
#pragma once

#include <string>
#include <string_view>

// A backslash as "\\", every control byte (below 0x20, and 0x7F) and every
// byte of `alsoEscaped` as "\xHH"; all else, UTF-8 included, as it is.
std::string EscapeControls(std::string_view text, std::string_view alsoEscaped = "");
