// The serial ports on Linux.
//
// Two sources: the serial devices the kernel knows as hardware (the tty class
// in sysfs) and the pseudo-terminals that the printer simulator and similar
// tools publish in the virtual-port directory. Every name listed opens under
// PortDevicePath: a built-in ttySn is listed as "COM(n+1)", a published port
// by its link name (or by its full path when that name would open another
// device).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "serial/PortList.h"

struct PortListSources {
  PortListSources();

  // The kernel's tty class directory (/sys/class/tty).
  std::string ttyClassDir;
  // Where pseudo-terminals are published (VirtualPortDirectory()).
  std::string virtualPortDir;
  // Where udev links serial devices by their USB identity
  // (/dev/serial/by-id); only the port descriptions read it.
  std::string byIdDir;
  // Whether a built-in ttySn port has a UART behind it; given the port's
  // entry in ttyClassDir and its name. The 8250 driver registers ports that
  // may not exist at all ("phantom" ports of unknown type).
  std::function<bool(const std::string& ttyClassEntry, const std::string& name)> uartPresent;
};

std::vector<std::string> ListSerialPorts(const PortListSources& sources);
std::vector<DescribedPort> DescribeSerialPorts(const PortListSources& sources);

// The default UART test: the serial core's "type" attribute of the entry
// (0 is an unknown port), or, where a kernel lacks that attribute, the type
// TIOCGSERIAL reports for /dev/NAME.
bool UartTypeKnown(const std::string& ttyClassEntry, const std::string& name);
