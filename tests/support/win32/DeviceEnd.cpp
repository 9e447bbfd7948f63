#include "tests/support/DeviceEnd.h"

#include <windows.h>

#include "tests/support/win32/HostLink.h"

const int kNotOpenError = ERROR_INVALID_HANDLE;
const int kBadArgumentError = ERROR_INVALID_PARAMETER;
const int kFarEndGoneReadError = ERROR_BROKEN_PIPE;

struct DeviceEnd::Impl {
  HostLink link{"pty"};
};

DeviceEnd::DeviceEnd() : impl_(std::make_unique<Impl>()) {}
DeviceEnd::~DeviceEnd() = default;

const std::string& DeviceEnd::PortName() const {
  return impl_->link.PortName();
}
void DeviceEnd::Send(const std::string& bytes) const {
  impl_->link.Call("send " + ToHex(bytes));
}
std::string DeviceEnd::Receive(std::size_t count, std::chrono::milliseconds quiet) const {
  return FromHex(
      impl_->link.Call("recv " + std::to_string(count) + " " + std::to_string(quiet.count())));
}
void DeviceEnd::CloseFarEnd() {
  impl_->link.Call("close");
}
