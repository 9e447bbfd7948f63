#include "serial/posix/SysfsPortList.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>

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

// A sysfs attribute's text without its line end; empty when there is none.
std::string Attribute(const fs::path& file) {
  std::ifstream in(file);
  std::string text;
  std::getline(in, text);
  return text;
}

// The USB device a tty belongs to: the first directory with a vendor id on
// the way up from its device. A USB serial adapter's tty hangs below an
// interface (ttyUSB one level further), so a few levels suffice; going
// further would reach a hub and describe that instead.
std::optional<fs::path> UsbDeviceDir(const fs::path& device) {
  constexpr int kLevelsToUsbDevice = 3;
  std::error_code error;
  fs::path dir = fs::canonical(device, error);
  for (int level = 0; !error && level < kLevelsToUsbDevice; ++level) {
    if (fs::exists(dir / "idVendor", error)) return dir;
    dir = dir.parent_path();
  }
  return std::nullopt;
}

void AddUsbFacts(const fs::path& device, std::vector<PortFact>& facts) {
  const std::optional<fs::path> usb = UsbDeviceDir(device);
  if (!usb) return;
  facts.push_back({"usb", Attribute(*usb / "idVendor") + ":" + Attribute(*usb / "idProduct")});
  const std::pair<const char*, const char*> named[] = {
      {"vendor", "manufacturer"}, {"product", "product"}, {"serial", "serial"}};
  for (const auto& [label, attribute] : named) {
    std::string value = Attribute(*usb / attribute);
    if (!value.empty()) facts.push_back({label, std::move(value)});
  }
}

// udev's links to the tty (../../ttyUSB0), which stay the same when the
// adapter is plugged into another socket.
void AddByIdLinks(const std::string& byIdDir, const std::string& ttyName,
                  std::vector<PortFact>& facts) {
  std::vector<std::string> links = EntryNames(byIdDir);
  std::sort(links.begin(), links.end());
  for (const std::string& link : links) {
    const fs::path path = fs::path(byIdDir) / link;
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    if (!error && target.filename() == ttyName) facts.push_back({"by-id", path.string()});
  }
}

std::vector<PortFact> HardwareFacts(const PortListSources& sources, const fs::path& entry,
                                    const std::string& ttyName) {
  std::vector<PortFact> facts = {{"device", "/dev/" + ttyName}};
  AddUsbFacts(entry / "device", facts);
  AddByIdLinks(sources.byIdDir, ttyName, facts);
  return facts;
}

void AddHardwarePorts(const PortListSources& sources, bool describe,
                      std::vector<DescribedPort>& ports) {
  for (const std::string& name : EntryNames(sources.ttyClassDir)) {
    fs::path entry = fs::path(sources.ttyClassDir) / name;
    if (!IsHardwareTty(entry)) continue;
    const auto builtIn = NumberAfterPrefix(name, "ttyS");
    std::string listed;
    if (!builtIn) {
      listed = name;
    } else if (sources.uartPresent(entry.string(), name)) {
      listed = "COM" + std::to_string(*builtIn + 1);
    } else {
      continue;
    }
    ports.push_back(
        {listed, describe ? HardwareFacts(sources, entry, name) : std::vector<PortFact>{}});
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

std::vector<PortFact> PublishedFacts(const fs::path& link) {
  std::error_code error;
  const fs::path target = fs::read_symlink(link, error);
  if (error) return {};
  return {{"link", target.string()}};
}

void AddPublishedPorts(const PortListSources& sources, bool describe,
                       std::vector<DescribedPort>& ports) {
  for (const std::string& name : EntryNames(sources.virtualPortDir)) {
    fs::path link = fs::path(sources.virtualPortDir) / name;
    if (!IsCharacterDevice(link)) continue;
    ports.push_back(
        {PublishedPortName(link, name), describe ? PublishedFacts(link) : std::vector<PortFact>{}});
  }
}

// Both sources, sorted by name, each name once (a hardware port before a
// published link of the same name).
std::vector<DescribedPort> CollectPorts(const PortListSources& sources, bool describe) {
  std::vector<DescribedPort> ports;
  AddHardwarePorts(sources, describe, ports);
  AddPublishedPorts(sources, describe, ports);
  auto byName = [](const DescribedPort& a, const DescribedPort& b) {
    return PortNameLess(a.name, b.name);
  };
  std::stable_sort(ports.begin(), ports.end(), byName);
  auto sameName = [](const DescribedPort& a, const DescribedPort& b) { return a.name == b.name; };
  ports.erase(std::unique(ports.begin(), ports.end(), sameName), ports.end());
  return ports;
}

}  // namespace

PortListSources::PortListSources()
    : ttyClassDir("/sys/class/tty"),
      virtualPortDir(VirtualPortDirectory()),
      byIdDir("/dev/serial/by-id"),
      uartPresent(UartTypeKnown) {}

std::vector<std::string> ListSerialPorts(const PortListSources& sources) {
  std::vector<std::string> names;
  for (DescribedPort& port : CollectPorts(sources, false)) names.push_back(std::move(port.name));
  return names;
}

std::vector<DescribedPort> DescribeSerialPorts(const PortListSources& sources) {
  return CollectPorts(sources, true);
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

std::vector<DescribedPort> DescribeSerialPorts() {
  return DescribeSerialPorts(PortListSources());
}
