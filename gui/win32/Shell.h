// The shell's "open" of a link (a mailto: address or a web address). The
// result is deliberately ignored: with no mail program or browser nothing
// happens and nothing is shown.
#pragma once

#include <string>

void ShellOpen(const std::string& target);
