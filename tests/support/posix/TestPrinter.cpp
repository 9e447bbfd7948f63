#include "tests/support/TestPrinter.h"

struct TestPrinter::Impl {
  sim::PrinterSimulator printer;
};

TestPrinter::TestPrinter() : impl_(std::make_unique<Impl>()) {}
TestPrinter::~TestPrinter() = default;

std::string TestPrinter::PortName() const {
  return impl_->printer.PortPath();
}
void TestPrinter::SetClock(int day, int month, int year, int hour, int minute, int second) {
  impl_->printer.SetClock(day, month, year, hour, minute, second);
}
void TestPrinter::SetReplyData(int command, const std::string& data) {
  impl_->printer.SetReplyData(command, data);
}
void TestPrinter::Inject(sim::Fault fault, int count) {
  impl_->printer.Inject(fault, count);
}
void TestPrinter::InjectStatus(const sim::StatusBytes& status, int count) {
  impl_->printer.InjectStatus(status, count);
}
void TestPrinter::SetXoffHoldTime(std::chrono::milliseconds hold) {
  impl_->printer.SetXoffHoldTime(hold);
}
std::vector<sim::Request> TestPrinter::Requests() const {
  return impl_->printer.Requests();
}
bool TestPrinter::WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const {
  return impl_->printer.WaitForRequests(n, timeout);
}
int TestPrinter::XReportCount() const {
  return impl_->printer.XReportCount();
}
