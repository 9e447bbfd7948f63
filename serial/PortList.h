// The serial ports the setup dialog offers: the names, sorted ascending by
// case-insensitive comparison, read afresh at each call. Every name listed
// opens as it stands. A source the platform cannot read contributes nothing.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> ListSerialPorts();

// What the system knows of the device behind a port, for a person choosing
// among several: a label ("vendor") and its value ("FTDI").
struct PortFact {
  std::string label;
  std::string value;
};
struct DescribedPort {
  std::string name;  // as ListSerialPorts() lists it
  std::vector<PortFact> facts;
};
// The ports of ListSerialPorts(), in its order, each with its facts. Linux:
// the device file and, for a USB adapter, the USB ids, vendor and product
// names, serial number and /dev/serial/by-id link; for a published port the
// device its link leads to. Windows: the registry's device name.
std::vector<DescribedPort> DescribeSerialPorts();

// Ascending by text with ASCII letters compared regardless of case.
bool PortNameLess(const std::string& left, const std::string& right);
