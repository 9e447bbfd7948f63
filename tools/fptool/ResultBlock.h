// What fptool prints for one command: a block of "Name: value" lines that
// scripts read, so its form never changes.
#pragma once

#include <string>

#include "fiscal/P00_fpcommand.h"

// Backslash as "\\", line feed as "\n"; every other byte as it is.
std::string EscapeValue(const std::string& bytes);
// Names of the set status flags, byte 0 bit 0 first, separated by commas.
std::string StatusFlagList(const FPCommand00& record);
// ErrorCode .. ErrorText, one line each, then an empty line.
std::string ResultBlock(FPCommand00& record);
