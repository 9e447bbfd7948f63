// The serial ports on Windows: the values of
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, by the setup dialog's
// algorithm: each value's data is a port name; the
// enumeration stops at the first value it cannot read.
#include <windows.h>

#include <algorithm>

#include "framework/win32/WideText.h"
#include "serial/PortList.h"

namespace {

// Visits each value as (device name, port name): the value's name is the
// driver's device (\Device\USBSER000), its data the port ("COM4").
template <typename Visit>
void ForEachSerialCommValue(Visit visit) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    BYTE data[256];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    if (type != REG_SZ) continue;  // a port name is a string; nothing else is one
    std::wstring port(reinterpret_cast<const wchar_t*>(data), dataSize / sizeof(wchar_t));
    // Without its terminating zero (the registry does not promise one).
    port.resize(std::wstring_view(port.c_str()).size());
    if (!port.empty()) visit(WideToUtf8(std::wstring(name, nameLength)), WideToUtf8(port));
  }
  RegCloseKey(key);
}

}  // namespace

std::vector<std::string> ListSerialPorts() {
  std::vector<std::string> ports;
  ForEachSerialCommValue(
      [&ports](const std::string&, const std::string& port) { ports.push_back(port); });
  std::sort(ports.begin(), ports.end(), PortNameLess);
  return ports;
}

std::vector<DescribedPort> DescribeSerialPorts() {
  std::vector<DescribedPort> ports;
  ForEachSerialCommValue([&ports](const std::string& device, const std::string& port) {
    ports.push_back({port, {{"device", device}}});
  });
  std::stable_sort(ports.begin(), ports.end(), [](const DescribedPort& a, const DescribedPort& b) {
    return PortNameLess(a.name, b.name);
  });
  return ports;
}
