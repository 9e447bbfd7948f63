#include "serial/PortNames.h"

// Windows: a port name is its COM name ("COM3", "COM12"), opened as
// \\.\NAME, the form that reaches COM10 and above too. A name that is a
// device path already is used as is; an empty name stays empty, so that
// opening it fails like a missing device.
std::string PortDevicePath(const std::string& portName) {
  if (portName.empty() || portName.rfind("\\\\", 0) == 0) return portName;
  return "\\\\.\\" + portName;
}
