#include "tests/support/TestPrinter.h"

#include <sstream>

#include "tests/support/win32/HostLink.h"

namespace {

// "HEX HEX ..." of a list of strings, and back.
std::string HexList(const std::vector<std::string>& items) {
  std::string list;
  for (const std::string& item : items) {
    if (!list.empty()) list += ' ';
    list += ToHex(item);
  }
  return list;
}

std::vector<std::string> ListFromHex(const std::string& list) {
  std::vector<std::string> items;
  std::istringstream words(list);
  std::string word;
  while (words >> word) items.push_back(FromHex(word));
  return items;
}

}  // namespace

struct TestPrinter::Impl {
  explicit Impl(const std::string& portName) : link("printer", portName) {}
  HostLink link;
};

TestPrinter::TestPrinter() : impl_(std::make_unique<Impl>("")) {}
TestPrinter::TestPrinter(const std::string& portName) : impl_(std::make_unique<Impl>(portName)) {}
TestPrinter::~TestPrinter() = default;

std::string TestPrinter::PortName() const {
  return impl_->link.PortName();
}
void TestPrinter::SetClock(int day, int month, int year, int hour, int minute, int second) {
  std::ostringstream request;
  request << "clock " << day << ' ' << month << ' ' << year << ' ' << hour << ' ' << minute << ' '
          << second;
  impl_->link.Call(request.str());
}
void TestPrinter::SetReplyData(int command, const std::string& data) {
  impl_->link.Call("reply " + std::to_string(command) + " " + ToHex(data));
}
void TestPrinter::SetEnableMask(const std::string& mask) {
  impl_->link.Call("set-mask " + ToHex(mask));
}
std::string TestPrinter::EnableMask() const {
  return FromHex(impl_->link.Call("mask"));
}
void TestPrinter::SetRates(const std::vector<std::string>& rates) {
  impl_->link.Call("set-rates " + HexList(rates));
}
std::vector<std::string> TestPrinter::Rates() const {
  return ListFromHex(impl_->link.Call("rates"));
}
void TestPrinter::Inject(sim::Fault fault, int count) {
  impl_->link.Call("inject " + std::to_string(static_cast<int>(fault)) + " " +
                   std::to_string(count));
}
void TestPrinter::InjectStatus(const sim::StatusBytes& status, int count) {
  impl_->link.Call("status " + ToHex(std::string(status.begin(), status.end())) + " " +
                   std::to_string(count));
}
void TestPrinter::ClearInjections() {
  impl_->link.Call("clear-injections");
}
void TestPrinter::SetXoffHoldTime(std::chrono::milliseconds hold) {
  impl_->link.Call("xoff-hold " + std::to_string(hold.count()));
}
void TestPrinter::SetBytePacing(std::chrono::microseconds perByte) {
  impl_->link.Call("pacing " + std::to_string(perByte.count()));
}
std::vector<sim::Request> TestPrinter::Requests() const {
  const int count = std::stoi(impl_->link.Call("requests"));
  std::vector<sim::Request> requests;
  for (int i = 0; i < count; ++i) {
    std::istringstream line(impl_->link.NextLine());
    int sequence = 0, command = 0, intact = 0;
    std::string data, frame;
    line >> sequence >> command >> intact >> data >> frame;
    sim::Request request;
    request.sequence = static_cast<std::uint8_t>(sequence);
    request.command = static_cast<std::uint8_t>(command);
    request.intact = intact != 0;
    request.data = FromHex(data);
    const std::string frameBytes = FromHex(frame);
    request.frame.assign(frameBytes.begin(), frameBytes.end());
    requests.push_back(std::move(request));
  }
  return requests;
}
void TestPrinter::ClearRequests() {
  impl_->link.Call("clear-requests");
}
bool TestPrinter::WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const {
  return impl_->link.Call("wait " + std::to_string(n) + " " + std::to_string(timeout.count())) ==
         "1";
}
int TestPrinter::XReportCount() const {
  return std::stoi(impl_->link.Call("x-reports"));
}
