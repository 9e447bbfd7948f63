#include "serial/PortNames.h"

#include <sys/stat.h>

#include <cctype>

#include "framework/RuntimeDir.h"

namespace {

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::optional<long> NumberAfterPrefix(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 6 || (digits.front() == '0' && digits.size() > 1)) return std::nullopt;
  long number = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

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
