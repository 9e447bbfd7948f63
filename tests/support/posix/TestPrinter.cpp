#include "tests/support/TestPrinter.h"

struct TestPrinter::Impl {
  sim::PrinterSimulator printer;
  std::string portName;
};

TestPrinter::TestPrinter() : impl_(std::make_unique<Impl>()) {
  impl_->portName = impl_->printer.PortPath();
}
TestPrinter::TestPrinter(const std::string& portName) : impl_(std::make_unique<Impl>()) {
  impl_->printer.Publish(portName);
  impl_->portName = portName;
}
TestPrinter::~TestPrinter() = default;

std::string TestPrinter::PortName() const {
  return impl_->portName;
}
void TestPrinter::SetClock(int day, int month, int year, int hour, int minute, int second) {
  impl_->printer.SetClock(day, month, year, hour, minute, second);
}
void TestPrinter::SetReplyData(int command, const std::string& data) {
  impl_->printer.SetReplyData(command, data);
}
void TestPrinter::SetEnableMask(const std::string& mask) {
  impl_->printer.SetEnableMask(mask);
}
std::string TestPrinter::EnableMask() const {
  return impl_->printer.EnableMask();
}
void TestPrinter::SetRates(const std::vector<std::string>& rates) {
  impl_->printer.SetRates(rates);
}
std::vector<std::string> TestPrinter::Rates() const {
  return impl_->printer.Rates();
}
void TestPrinter::Inject(sim::Fault fault, int count) {
  impl_->printer.Inject(fault, count);
}
void TestPrinter::InjectStatus(const sim::StatusBytes& status, int count) {
  impl_->printer.InjectStatus(status, count);
}
void TestPrinter::ClearInjections() {
  impl_->printer.ClearInjections();
}
void TestPrinter::SetXoffHoldTime(std::chrono::milliseconds hold) {
  impl_->printer.SetXoffHoldTime(hold);
}
void TestPrinter::SetBytePacing(std::chrono::microseconds perByte) {
  impl_->printer.SetBytePacing(perByte);
}
std::vector<sim::Request> TestPrinter::Requests() const {
  return impl_->printer.Requests();
}
void TestPrinter::ClearRequests() {
  impl_->printer.ClearRequests();
}
bool TestPrinter::WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const {
  return impl_->printer.WaitForRequests(n, timeout);
}
int TestPrinter::XReportCount() const {
  return impl_->printer.XReportCount();
}
