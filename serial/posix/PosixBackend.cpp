#include "serial/posix/PosixBackend.h"

#include <fcntl.h>
#include <grp.h>
#include <locale.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "serial/PortNames.h"
#include "serial/posix/Termios2.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::unique_ptr<SerialBackend> CreatePlatformBackend() {
  return std::make_unique<PosixBackend>();
}

// ---------------------------------------------------------------------------
// ReceivedByteFilter

void ReceivedByteFilter::SetRules(const Rules& rules) {
  rules_ = rules;
  state_ = State::Plain;
}

std::int32_t ReceivedByteFilter::Filter(std::uint8_t* bytes, std::int32_t count) {
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint8_t byte = bytes[i];
    switch (state_) {
      case State::Plain:
        if (rules_.marksErrors && byte == 0xFF) {
          state_ = State::AfterMark;
        } else if (Keep(byte)) {
          bytes[kept++] = byte;
        }
        break;
      case State::AfterMark:
        // 0xFF 0xFF is a genuine 0xFF; 0xFF 0x00 announces a damaged byte.
        state_ = byte == 0x00 ? State::AfterErrorMark : State::Plain;
        if (byte != 0x00) bytes[kept++] = byte;
        break;
      case State::AfterErrorMark: {
        state_ = State::Plain;
        const std::uint8_t delivered = rules_.replaceOnError ? rules_.errorChar : byte;
        if (Keep(delivered)) bytes[kept++] = delivered;
        break;
      }
    }
  }
  return kept;
}

// ---------------------------------------------------------------------------
// Time-outs, by the rules the callers rely on (all values are unsigned
// milliseconds, as the serial time-outs have always been).

namespace {

constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;

std::uint32_t Unsigned(std::int32_t value) {
  return static_cast<std::uint32_t>(value);
}

// multiplier x count + constant, capped far beyond any real wait so that a
// deadline on the monotonic clock (in nanoseconds) cannot overflow.
milliseconds TotalLimit(std::uint64_t multiplier, std::int32_t count, std::uint64_t constant) {
  constexpr std::uint64_t kLongest = 1ull << 50;  // some 35000 years
  const std::uint64_t total = multiplier * static_cast<std::uint64_t>(count) + constant;
  return milliseconds(static_cast<milliseconds::rep>(std::min(total, kLongest)));
}

struct ReadPlan {
  bool returnAtOnce = false;             // hand out what is queued, wait for nothing
  std::optional<milliseconds> total;     // from the start of the call
  std::optional<milliseconds> interval;  // after the latest byte
};

ReadPlan PlanRead(const SerialTimeouts& timeouts, std::int32_t count) {
  ReadPlan plan;
  const std::uint32_t interval = Unsigned(timeouts.ReadInterval);
  const std::uint64_t multiplier = Unsigned(timeouts.ReadTotalMultiplier);
  const std::uint64_t constant = Unsigned(timeouts.ReadTotalConstant);
  if (interval == kAllBits && multiplier == 0 && constant == 0) {
    plan.returnAtOnce = true;
    return plan;
  }
  if (multiplier != 0 || constant != 0) plan.total = TotalLimit(multiplier, count, constant);
  if (interval != 0) plan.interval = milliseconds(interval);
  return plan;
}

std::optional<milliseconds> WriteLimit(const SerialTimeouts& timeouts, std::int32_t count) {
  const std::uint64_t multiplier = Unsigned(timeouts.WriteTotalMultiplier);
  const std::uint64_t constant = Unsigned(timeouts.WriteTotalConstant);
  if (multiplier == 0 && constant == 0) return std::nullopt;
  return TotalLimit(multiplier, count, constant);
}

timespec ToTimespec(Clock::duration span) {
  if (span < Clock::duration::zero()) span = Clock::duration::zero();
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(span).count();
  return timespec{static_cast<time_t>(nanoseconds / 1000000000),
                  static_cast<long>(nanoseconds % 1000000000)};
}

void SleepFor(Clock::duration span) {
  const timespec pause = ToTimespec(span);
  ::ppoll(nullptr, 0, &pause, nullptr);
}

// A modem-line call refused because the device has no modem lines (a
// pseudo-terminal) is no failure: the line simply does not exist there.
bool NoModemLines(int error) {
  return error == ENOTTY || error == EINVAL;
}

speed_t StandardSpeed(std::int32_t bitsPerSecond) {
  switch (bitsPerSecond) {
    case 50:
      return B50;
    case 75:
      return B75;
    case 110:
      return B110;
    case 134:
      return B134;
    case 150:
      return B150;
    case 200:
      return B200;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 1800:
      return B1800;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    case 460800:
      return B460800;
    case 500000:
      return B500000;
    case 576000:
      return B576000;
    case 921600:
      return B921600;
    case 1000000:
      return B1000000;
    case 1152000:
      return B1152000;
    case 1500000:
      return B1500000;
    case 2000000:
      return B2000000;
    default:
      return B0;  // not expressible in classic termios
  }
}

tcflag_t CharacterSize(int dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

tcflag_t ParityFlags(TParityBits parity) {
  switch (parity) {
    case prOdd:
      return PARENB | PARODD;
    case prEven:
      return PARENB;
    case prMark:
      return PARENB | CMSPAR | PARODD;
    case prSpace:
      return PARENB | CMSPAR;
    default:
      return 0;
  }
}

// The raw line: no translation, no echo, no signals; only XON restarts
// output (never IXANY), and a non-blocking read of an empty queue gives
// EAGAIN (VMIN 1) so that a read of 0 bytes means the device hung up.
void DescribeLine(const SerialLineSettings& settings, termios& line) {
  cfmakeraw(&line);
  line.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP | IGNBRK | BRKINT);
  line.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
  line.c_cflag |= CLOCAL | CREAD | CharacterSize(settings.dataBits) | ParityFlags(settings.parity);
  // One and a half stop bits: the UART gives 1.5 with 5 data bits, 2 otherwise.
  if (settings.stopBits != sbOneStopBit) line.c_cflag |= CSTOPB;
  if (settings.parityCheck) line.c_iflag |= INPCK | PARMRK;
  if (settings.outCTSFlow || settings.rtsControl == rtsHandshake) line.c_cflag |= CRTSCTS;
  if (settings.outX) line.c_iflag |= IXON;
  if (settings.inX) line.c_iflag |= IXOFF;
  line.c_cc[VSTART] = settings.xonChar;
  line.c_cc[VSTOP] = settings.xoffChar;
  line.c_cc[VMIN] = 1;
  line.c_cc[VTIME] = 0;
}

// A pseudo-terminal keeps 8 data bits and no parity whatever it is told, and
// the C library reports that as EINVAL although the rest of the line was set.
bool IsPseudoTerminal(int fd) {
  constexpr unsigned kFirstSlaveMajor = 136, kLastSlaveMajor = 143;  // Unix98 slaves
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  const unsigned deviceMajor = major(info.st_rdev);
  return deviceMajor >= kFirstSlaveMajor && deviceMajor <= kLastSlaveMajor;
}

int SetLine(int fd, const termios& line) {
  if (::tcsetattr(fd, TCSANOW, &line) == 0) return 0;
  if (errno == EINVAL && IsPseudoTerminal(fd)) return 0;
  return errno;
}

// What this platform's serial interface cannot do at all, so the device is
// said to refuse it: DSR never steers a Linux tty. Settings that only tune
// what Linux does by itself are taken without effect: the XON/XOFF
// thresholds (the tty throttles near its own fixed limits), sending on after
// the port's XOFF (Linux always does), the event byte (no line-event
// monitor) and the queue sizes.
bool Unsupported(const SerialLineSettings& settings) {
  return settings.dataBits < 5 || settings.dataBits > 8 || settings.baudRate <= 0 ||
         settings.outDSRFlow || settings.dsrSensitivity;
}

}  // namespace

// ---------------------------------------------------------------------------
// PosixBackend

PosixBackend::~PosixBackend() {
  Close();
}

int PosixBackend::Open(const std::string& portName) {
  if (fd_ >= 0) return EBUSY;
  const std::string path = PortDevicePath(portName);
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  termios line{};
  // The lock comes before any call that changes the device, so a second
  // opener never disturbs the line of the first.
  if (::tcgetattr(fd, &line) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  // Keeps out openers that do not take the lock; root is not kept out.
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  filter_.Reset();
  return 0;
}

int PosixBackend::Close() {
  if (fd_ < 0) return 0;
  // Nothing may linger: a queue held by XOFF would make close() wait for
  // the driver's closing time, and the next opener starts afresh anyway.
  ::tcflush(fd_, TCIOFLUSH);
  // The exclusive flag belongs to the tty and would outlive this descriptor.
  ::ioctl(fd_, TIOCNXCL);
  const int result = ::close(fd_) == 0 ? 0 : errno;
  fd_ = -1;  // Linux releases the descriptor even when close() reports an error
  return result;
}

int PosixBackend::SetQueueSizes(std::int32_t inputSize, std::int32_t outputSize) {
  if (fd_ < 0) return EBADF;
  // The tty layer sizes its queues itself; only nonsense is refused.
  if (inputSize < 0 || outputSize < 0) return EINVAL;
  return 0;
}

int PosixBackend::SetLineSettings(const SerialLineSettings& settings) {
  if (fd_ < 0) return EBADF;
  if (Unsupported(settings)) return EINVAL;
  termios line{};
  if (::tcgetattr(fd_, &line) != 0) return errno;
  DescribeLine(settings, line);
  const speed_t speed = StandardSpeed(settings.baudRate);
  // A speed classic termios cannot name is set afterwards through termios2.
  const speed_t classicSpeed = speed != B0 ? speed : B38400;
  // No input speed of its own: the input follows the output. An input speed
  // left from an earlier termios2 setting would otherwise stay in force.
  line.c_cflag &= ~CIBAUD;
  if (::cfsetispeed(&line, classicSpeed) != 0 || ::cfsetospeed(&line, classicSpeed) != 0)
    return errno;
  if (const int error = SetLine(fd_, line); error != 0) return error;
  if (speed == B0) {
    if (const int error = SetArbitraryLineSpeed(fd_, settings.baudRate); error != 0) return error;
  }
  if (const int error = ApplyModemLines(settings); error != 0) return error;
  bitsPerSecond_ = settings.baudRate;
  rtsToggle_ = settings.rtsControl == rtsToggle;
  filter_.SetRules(
      {settings.parityCheck, settings.replaceOnError, settings.errorChar, settings.discardNull});
  return 0;
}

int PosixBackend::SetModemLine(int line, bool on) {
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0 || NoModemLines(errno)) return 0;
  return errno;
}

int PosixBackend::ApplyModemLines(const SerialLineSettings& settings) {
  // Linux has no DTR handshake; the line is held on instead.
  if (const int error = SetModemLine(TIOCM_DTR, settings.dtrControl != dtrDisable); error != 0)
    return error;
  // With a handshake the driver (CRTSCTS) steers RTS; a toggled RTS rests off.
  if (settings.rtsControl == rtsHandshake) return 0;
  return SetModemLine(TIOCM_RTS, settings.rtsControl == rtsEnable);
}

int PosixBackend::SetTimeouts(const SerialTimeouts& timeouts) {
  if (fd_ < 0) return EBADF;
  timeouts_ = timeouts;
  return 0;
}

int PosixBackend::ReadModemStatus() {
  if (fd_ < 0) return EBADF;
  int lines = 0;
  if (::ioctl(fd_, TIOCMGET, &lines) == 0 || NoModemLines(errno)) return 0;
  return errno;
}

int PosixBackend::WaitFor(short events, const Deadline& deadline, short& revents) const {
  pollfd watched{fd_, events, 0};
  for (;;) {
    timespec limit{};
    if (deadline) limit = ToTimespec(*deadline - Clock::now());
    const int ready = ::ppoll(&watched, 1, deadline ? &limit : nullptr, nullptr);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return errno;
    revents = ready == 0 ? 0 : watched.revents;
    return 0;
  }
}

int PosixBackend::Read(void* buffer, std::int32_t count, std::int32_t& transferred) {
  transferred = 0;
  if (fd_ < 0) return EBADF;
  if (count < 0) return EINVAL;
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  const Clock::time_point start = Clock::now();
  const ReadPlan plan = PlanRead(timeouts_, count);
  Clock::time_point lastArrival = start;
  bool anyArrived = false;
  while (transferred < count) {
    Deadline deadline;
    if (plan.returnAtOnce) deadline = start;
    if (plan.total) deadline = start + *plan.total;
    if (anyArrived && plan.interval) {
      const Clock::time_point quiet = lastArrival + *plan.interval;
      deadline = deadline ? std::min(*deadline, quiet) : quiet;
    }
    short revents = 0;
    if (const int error = WaitFor(POLLIN, deadline, revents); error != 0) return error;
    if (revents == 0) break;  // a time-out ends the call normally
    if (revents & POLLNVAL) return EBADF;
    // A hang-up with nothing left to read: the device is gone.
    if (!(revents & POLLIN)) return EIO;
    const ssize_t got = ::read(fd_, bytes + transferred, count - transferred);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (got < 0) return errno;
    if (got == 0) return EIO;  // readable yet empty: hung up
    lastArrival = Clock::now();
    anyArrived = true;
    transferred += filter_.Filter(bytes + transferred, static_cast<std::int32_t>(got));
  }
  return 0;
}

int PosixBackend::Write(const void* buffer, std::int32_t count, std::int32_t& transferred) {
  transferred = 0;
  if (fd_ < 0) return EBADF;
  if (count < 0) return EINVAL;
  if (count == 0) return 0;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  Deadline deadline;
  if (const auto limit = WriteLimit(timeouts_, count)) deadline = Clock::now() + *limit;
  if (rtsToggle_) SetModemLine(TIOCM_RTS, true);
  std::int32_t taken = 0;
  int result = 0;
  while (taken < count) {
    const ssize_t put = ::write(fd_, bytes + taken, count - taken);
    if (put > 0) {
      taken += static_cast<std::int32_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN) {
      result = errno;
      break;
    }
    // The queue is full, or the device sent XOFF and the driver holds it.
    short revents = 0;
    if ((result = WaitFor(POLLOUT, deadline, revents)) != 0) break;
    if (revents == 0) break;  // the write time-out ends the call
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
      result = revents & POLLNVAL ? EBADF : EIO;
      break;
    }
  }
  if (result == 0) transferred = std::max(0, taken - UnsentAtDeadline(deadline));
  if (rtsToggle_) SetModemLine(TIOCM_RTS, false);
  return result;
}

std::int32_t PosixBackend::UnsentAtDeadline(const Deadline& deadline) {
  for (;;) {
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) return 0;
    const Clock::time_point now = Clock::now();
    if (deadline && now >= *deadline) {
      ::tcflush(fd_, TCOFLUSH);
      return queued;
    }
    // About the time the queue needs on the line (11 bits a byte), in short steps.
    const auto drainTime = milliseconds(1 + queued * 11000LL / std::max(bitsPerSecond_, 1));
    Clock::duration pause = std::min<Clock::duration>(drainTime, milliseconds(20));
    if (deadline) pause = std::min<Clock::duration>(pause, *deadline - now);
    SleepFor(pause);
  }
}

int PosixBackend::Purge(bool input, bool output) {
  if (fd_ < 0) return EBADF;
  if (input && ::tcflush(fd_, TCIFLUSH) != 0) return errno;
  if (output && ::tcflush(fd_, TCOFLUSH) != 0) return errno;
  if (input) filter_.Reset();
  return 0;
}

// ---------------------------------------------------------------------------
// Errors for the user

bool PosixBackend::DeviceGone(int error) const {
  return error == EIO || error == ENXIO || error == ENODEV;
}

namespace {

// The system's reason in English, whatever the user's locale: the port's
// other texts are English too.
std::string SystemReason(int error) {
  static const locale_t english = ::newlocale(LC_ALL_MASK, "C", locale_t{});
  const char* reason = english ? ::strerror_l(error, english) : std::strerror(error);
  return reason ? reason : "System error " + std::to_string(error);
}

// The group that owns the device node; Debian's serial ports belong to dialout.
std::string OwningGroup(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (const group* owner = ::getgrgid(info.st_gid)) return owner->gr_name;
  }
  return "dialout";
}

std::string UserName() {
  if (const passwd* user = ::getpwuid(::getuid())) return user->pw_name;
  return "$USER";
}

std::string Remedy(int error, const std::string& path) {
  switch (error) {
    case EACCES:
    case EPERM: {
      const std::string group = OwningGroup(path);
      return "Only members of the group \"" + group +
             "\" may use the port: run \"sudo usermod -aG " + group + " " + UserName() +
             "\", then log out and in again";
    }
    case EBUSY:
    case EWOULDBLOCK:  // the lock of another opener
      return "Another program has the port open; close that program, or choose another port";
    case ENOENT:
      return "This PC has no such port: check that the printer's adapter is plugged in and "
             "choose a port that the setup dialog lists";
    case ENOTTY:
      return "The device is no serial port: choose another port";
    case EIO:
    case ENXIO:
    case ENODEV:
      return "The port's device went away: plug the adapter in again and repeat the command";
    default:
      return {};
  }
}

}  // namespace

std::string PosixBackend::ErrorDetail(int error, const std::string& portName) const {
  if (error <= 0) return {};
  const std::string path = PortDevicePath(portName);
  std::string detail = (path.empty() ? "No port name" : path) + ": " + SystemReason(error);
  if (const std::string remedy = Remedy(error, path); !remedy.empty()) detail += ". " + remedy;
  return detail + ".";
}
