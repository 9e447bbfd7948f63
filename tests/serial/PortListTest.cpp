// The Linux port list on a fake sysfs tree and a fake virtual-port directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "serial/PortList.h"
#include "serial/PortNames.h"
#include "serial/posix/SysfsPortList.h"
#include "serial/posix/VirtualPorts.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class PortListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sources_.ttyClassDir = root_ / "sys/class/tty";
    sources_.virtualPortDir = VirtualPortDirectory();
    fs::create_directories(sources_.ttyClassDir);
    fs::create_directories(sources_.virtualPortDir);
  }

  // A tty class entry linking to its device directory under sys/devices/<bus>,
  // as the kernel lays it out. `type` is the serial core's attribute ("" for none).
  void AddTty(const std::string& name, const std::string& bus, bool withDevice = true,
              const std::string& type = "") {
    fs::path deviceDir = root_ / "sys/devices" / bus / name;
    fs::path ttyDir = deviceDir / "tty" / name;
    fs::create_directories(ttyDir);
    if (withDevice) fs::create_directory_symlink(deviceDir, ttyDir / "device");
    if (!type.empty()) std::ofstream(ttyDir / "type") << type << "\n";
    fs::create_directory_symlink(ttyDir, fs::path(sources_.ttyClassDir) / name);
  }
  void Publish(const std::string& name, const fs::path& target = "/dev/null") {
    fs::create_symlink(target, fs::path(sources_.virtualPortDir) / name);
  }

  // The published names are resolved through the real mapping, which looks
  // in the runtime directory: the fake tree lives in it.
  TemporaryRuntimeDir runtime_;
  const fs::path root_ = runtime_.Path();
  PortListSources sources_;
};

TEST_F(PortListTest, HardwarePortsAreListedAndKernelPseudoDevicesAreNot) {
  AddTty("ttyS0", "pnp0/00:00", true, "4");
  AddTty("ttyS1", "platform/serial8250", true, "0");  // phantom: no UART
  AddTty("ttyS9", "pci0000:00/0000:00:16.3", true, "4");
  AddTty("ttyUSB0", "pci0000:00/usb1/1-1");
  AddTty("ttyACM0", "pci0000:00/usb1/1-2");
  AddTty("rfcomm0", "bluetooth/hci0");
  AddTty("console", "virtual", false);
  AddTty("tty1", "virtual", false);
  AddTty("ttyprintk", "virtual");  // has a device link, but a virtual one
  fs::create_directory_symlink(root_ / "gone", fs::path(sources_.ttyClassDir) / "ttyUSB7");

  EXPECT_EQ(ListSerialPorts(sources_),
            (std::vector<std::string>{"COM1", "COM10", "rfcomm0", "ttyACM0", "ttyUSB0"}));
}

TEST_F(PortListTest, BuiltInPortsAskTheUartPredicate) {
  AddTty("ttyS0", "pnp0/00:00");
  AddTty("ttyS3", "pnp0/00:03");
  std::vector<std::string> asked;
  sources_.uartPresent = [&](const std::string& entry, const std::string& name) {
    asked.push_back(name);
    EXPECT_EQ(fs::path(entry), fs::path(sources_.ttyClassDir) / name);
    return name == "ttyS3";
  };

  EXPECT_EQ(ListSerialPorts(sources_), (std::vector<std::string>{"COM4"}));
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<std::string>{"ttyS0", "ttyS3"}));
}

TEST_F(PortListTest, PublishedPortsOpenUnderTheirListedNames) {
  Publish("ttyFP0");
  Publish("COM7");  // would open /dev/ttyS6: listed by its full path instead
  Publish("stale", root_ / "no-such-pty");
  Publish(".hidden");
  std::ofstream(fs::path(sources_.virtualPortDir) / "notes.txt") << "not a port";

  const std::string com7 = (fs::path(sources_.virtualPortDir) / "COM7").string();
  std::vector<std::string> ports = ListSerialPorts(sources_);
  EXPECT_EQ(ports, (std::vector<std::string>{com7, "ttyFP0"}));
  EXPECT_EQ(fs::canonical(PortDevicePath("ttyFP0")), "/dev/null");
}

// A USB adapter as the kernel and udev lay it out: its tty below the
// adapter's interface, the names in the USB device's attributes, a by-id link
// (another adapter's link beside it).
TEST_F(PortListTest, DescribesAUsbAdapterByItsUsbNamesAndLink) {
  AddTty("ttyUSB0", "pci0000:00/usb1/1-2/1-2:1.0");
  const fs::path usbDevice = root_ / "sys/devices/pci0000:00/usb1/1-2";
  const std::pair<const char*, const char*> attributes[] = {{"idVendor", "0403"},
                                                            {"idProduct", "6001"},
                                                            {"manufacturer", "FTDI"},
                                                            {"product", "FT232R USB UART"},
                                                            {"serial", "A9J4KL2B"}};
  for (const auto& [file, text] : attributes) std::ofstream(usbDevice / file) << text << "\n";
  AddTty("ttyS0", "pnp0/00:00", true, "4");
  Publish("ttyFP0");
  sources_.byIdDir = (root_ / "dev/serial/by-id").string();
  fs::create_directories(sources_.byIdDir);
  const fs::path byId = fs::path(sources_.byIdDir) / "usb-FTDI_FT232R_USB_UART_A9J4KL2B-if00-port0";
  fs::create_symlink("../../ttyUSB0", byId);
  fs::create_symlink("../../ttyUSB1", fs::path(sources_.byIdDir) / "usb-Other_A1-if00-port0");

  using Facts = std::vector<std::pair<std::string, std::string>>;
  auto factsOf = [](const DescribedPort& port) {
    Facts facts;
    for (const PortFact& fact : port.facts) facts.emplace_back(fact.label, fact.value);
    return facts;
  };
  const std::vector<DescribedPort> ports = DescribeSerialPorts(sources_);
  ASSERT_EQ(ports.size(), 3u);
  std::vector<std::string> names;
  for (const DescribedPort& port : ports) names.push_back(port.name);
  EXPECT_EQ(names, ListSerialPorts(sources_));
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "ttyFP0", "ttyUSB0"}));
  EXPECT_EQ(factsOf(ports[0]), (Facts{{"device", "/dev/ttyS0"}}));
  EXPECT_EQ(factsOf(ports[1]), (Facts{{"link", "/dev/null"}}));
  EXPECT_EQ(factsOf(ports[2]), (Facts{{"device", "/dev/ttyUSB0"},
                                      {"usb", "0403:6001"},
                                      {"vendor", "FTDI"},
                                      {"product", "FT232R USB UART"},
                                      {"serial", "A9J4KL2B"},
                                      {"by-id", byId.string()}}));
}

TEST_F(PortListTest, SortedRegardlessOfCase) {
  AddTty("ttyS1", "pnp0/00:01", true, "4");
  AddTty("ttyS9", "pnp0/00:09", true, "4");
  AddTty("ttyS0", "pnp0/00:00", true, "4");
  Publish("ttyfp1");
  Publish("TTYFP0");
  Publish("ttyFp2");

  EXPECT_EQ(ListSerialPorts(sources_),
            (std::vector<std::string>{"COM1", "COM10", "COM2", "TTYFP0", "ttyfp1", "ttyFp2"}));
}

TEST_F(PortListTest, UnreadableSourcesContributeNothing) {
  Publish("ttyFP0");
  sources_.ttyClassDir = (root_ / "missing").string();
  EXPECT_EQ(ListSerialPorts(sources_), (std::vector<std::string>{"ttyFP0"}));

  sources_.virtualPortDir = (root_ / "missing-too").string();
  EXPECT_TRUE(ListSerialPorts(sources_).empty());
}

TEST(PortNameLess, ComparesLettersRegardlessOfCase) {
  EXPECT_TRUE(PortNameLess("COM10", "COM2"));
  EXPECT_TRUE(PortNameLess("com1", "COM10"));
  EXPECT_TRUE(PortNameLess("ttyA", "TTYb"));
  EXPECT_FALSE(PortNameLess("TTYb", "ttyA"));
  EXPECT_TRUE(PortNameLess("COM1", "com1") != PortNameLess("com1", "COM1"));  // a strict order
}

}  // namespace
