#include "serial/PortNames.h"

#include <sys/stat.h>

#include <cctype>
#include <string_view>

#include "framework/RuntimeDir.h"

namespace {

// The n of "COMn" with n >= 1 written without leading zeros; 0 for any other name.
long BuiltInPortNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "COM";
  if (name.size() <= kPrefix.size() || name.substr(0, kPrefix.size()) != kPrefix) return 0;
  const std::string_view digits = name.substr(kPrefix.size());
  if (digits.size() > 6 || digits.front() == '0') return 0;
  long number = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    number = number * 10 + (c - '0');
  }
  return number;
}

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
  if (const long number = BuiltInPortNumber(portName); number > 0)
    return "/dev/ttyS" + std::to_string(number - 1);
  const std::string device = "/dev/" + portName;
  if (PathExists(device)) return device;
  return VirtualPortDirectory() + "/" + portName;
}
