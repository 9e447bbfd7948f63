// The serial ports the setup dialog offers: the names, sorted ascending by
// case-insensitive comparison, read afresh at each call. Every name listed
// opens as it stands. A source the platform cannot read contributes nothing.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> ListSerialPorts();

// Ascending by text with ASCII letters compared regardless of case.
bool PortNameLess(const std::string& left, const std::string& right);
