#include "serial/posix/SysfsPortList.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "serial/PortList.h"
#include "serial/PortNames.h"
#include "serial/posix/VirtualPorts.h"

namespace fs = std::filesystem;

namespace {

// Names of a directory's entries; nothing when it cannot be read.
std::vector<std::string> EntryNames(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(directory, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::string name = it->path().filename().string();
    if (!name.empty() && name[0] != '.') names.push_back(name);
  }
  return names;
}

bool HasVirtualComponent(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::canonical(path, error);
  if (error) return true;  // a dangling link is no device either
  return std::any_of(resolved.begin(), resolved.end(),
                     [](const fs::path& part) { return part == "virtual"; });
}

// The kernel's own pseudo-devices (consoles, ptmx, virtual terminals) live
// under devices/virtual or have no device link at all.
bool IsHardwareTty(const fs::path& entry) {
  std::error_code error;
  if (!fs::exists(entry / "device", error)) return false;
  return !HasVirtualComponent(entry) && !HasVirtualComponent(entry / "device");
}

void AddHardwarePorts(const PortListSources& sources, std::vector<std::string>& ports) {
  for (const std::string& name : EntryNames(sources.ttyClassDir)) {
    fs::path entry = fs::path(sources.ttyClassDir) / name;
    if (!IsHardwareTty(entry)) continue;
    const auto builtIn = NumberAfterPrefix(name, "ttyS");
    if (!builtIn) {
      ports.push_back(name);
    } else if (sources.uartPresent(entry.string(), name)) {
      ports.push_back("COM" + std::to_string(*builtIn + 1));
    }
  }
}

bool IsCharacterDevice(const fs::path& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

// Both paths lead to the same character device (std::filesystem::equivalent
// refuses device files).
bool SameDevice(const std::string& left, const fs::path& right) {
  struct stat a {
  }, b{};
  if (stat(left.c_str(), &a) != 0 || stat(right.c_str(), &b) != 0) return false;
  return S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode) && a.st_rdev == b.st_rdev;
}

// A published link is listed by its name when that name opens the same
// device; otherwise (the name of a /dev node, or "COMn") by its full path.
std::string PublishedPortName(const fs::path& link, const std::string& name) {
  return SameDevice(PortDevicePath(name), link) ? name : link.string();
}

void AddPublishedPorts(const PortListSources& sources, std::vector<std::string>& ports) {
  for (const std::string& name : EntryNames(sources.virtualPortDir)) {
    fs::path link = fs::path(sources.virtualPortDir) / name;
    if (IsCharacterDevice(link)) ports.push_back(PublishedPortName(link, name));
  }
}

}  // namespace

PortListSources::PortListSources()
    : ttyClassDir("/sys/class/tty"),
      virtualPortDir(VirtualPortDirectory()),
      uartPresent(UartTypeKnown) {}

std::vector<std::string> ListSerialPorts(const PortListSources& sources) {
  std::vector<std::string> ports;
  AddHardwarePorts(sources, ports);
  AddPublishedPorts(sources, ports);
  std::sort(ports.begin(), ports.end(), PortNameLess);
  ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
  return ports;
}

bool UartTypeKnown(const std::string& ttyClassEntry, const std::string& name) {
  std::ifstream typeFile(ttyClassEntry + "/type");
  int type = PORT_UNKNOWN;
  if (typeFile >> type) return type != PORT_UNKNOWN;

  // Kernels without the attribute: ask the driver. Opening may stir the
  // modem lines, which is why the attribute comes first.
  int fd = open(("/dev/" + name).c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct serial_struct serial {};
  bool known = ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type != PORT_UNKNOWN;
  close(fd);
  return known;
}

std::vector<std::string> ListSerialPorts() {
  return ListSerialPorts(PortListSources());
}
