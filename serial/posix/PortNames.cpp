#include "serial/PortNames.h"

#include <sys/stat.h>

#include "framework/RuntimeDir.h"
#include "serial/posix/VirtualPorts.h"

namespace {

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string VirtualPortDirectory() {
  return RuntimePath("serial-ports");
}

std::string PortDevicePath(const std::string& portName) {
  // An empty name stays empty so that opening it fails like a missing device.
  if (portName.empty() || portName.find('/') != std::string::npos) return portName;
  // "COMn" with n >= 1 is the n-th built-in port.
  if (const auto number = NumberAfterPrefix(portName, "COM"); number && *number >= 1)
    return "/dev/ttyS" + std::to_string(*number - 1);
  const std::string device = "/dev/" + portName;
  if (PathExists(device)) return device;
  return VirtualPortDirectory() + "/" + portName;
}
