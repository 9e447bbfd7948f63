#include "tests/support/DeviceEnd.h"

#include <cerrno>

#include "tests/support/PtyPair.h"

const int kNotOpenError = EBADF;
const int kBadArgumentError = EINVAL;
const int kFarEndGoneReadError = EIO;

struct DeviceEnd::Impl {
  PtyPair pty;
};

DeviceEnd::DeviceEnd() : impl_(std::make_unique<Impl>()) {}
DeviceEnd::~DeviceEnd() = default;

const std::string& DeviceEnd::PortName() const {
  return impl_->pty.SlavePath();
}
void DeviceEnd::Send(const std::string& bytes) const {
  impl_->pty.Send(bytes);
}
std::string DeviceEnd::Receive(std::size_t count, std::chrono::milliseconds quiet) const {
  return impl_->pty.Receive(count, quiet);
}
void DeviceEnd::CloseFarEnd() {
  impl_->pty.CloseMaster();
}
