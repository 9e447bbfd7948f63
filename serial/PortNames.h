// How a port name maps to the device the platform opens.
//
// Linux: a name containing "/" is a device path used as is. "COMn" (n >= 1)
// is the PC's n-th built-in port, /dev/ttyS(n-1). Any other name is /dev/NAME
// when that exists, else NAME in the virtual-port directory, where the
// printer simulator and other tools publish pseudo-terminals.
// Windows: a port name is its COM name, opened as \\.\NAME.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string PortDevicePath(const std::string& portName);

// The n of a name that is `prefix` followed by n, written in at most six
// decimal digits without leading zeros ("COM10", "ttyS0"); none otherwise.
std::optional<long> NumberAfterPrefix(std::string_view name, std::string_view prefix);
