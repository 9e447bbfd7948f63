#include "tools/simulator/PrinterSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "framework/NamedLock.h"
#include "serial/PortNames.h"
#include "serial/posix/VirtualPorts.h"
#include "tools/simulator/PrinterFrames.h"

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

// A request frame whose bytes stop coming for this long is dropped.
constexpr auto kFrameGap = std::chrono::milliseconds(500);
constexpr int kSynCount = 3;
constexpr int kInvalidCommandFlag = 1;       // status byte 0, "#InvalidCmd"
constexpr std::uint8_t kNoPaperFlag = 0x01;  // status byte 2, "#NoPaper"

struct FaultEntry {
  Fault fault;
  int remaining;
};
struct StatusEntry {
  StatusBytes status;
  int remaining;
};

struct ClockValue {
  int day, month, year, hour, minute, second;
};

// Takes the front entry's value and counts it down; kAlways never runs out.
template <typename Entry>
bool TakeFront(std::deque<Entry>& queue, Entry& taken) {
  if (queue.empty()) return false;
  taken = queue.front();
  if (queue.front().remaining != kAlways && --queue.front().remaining <= 0) queue.pop_front();
  return true;
}

// Answers without status bytes leave the injected status for the next reply.
bool CarriesStatus(Fault fault) {
  switch (fault) {
    case Fault::Nak:
    case Fault::Silence:
    case Fault::ShortLen:
    case Fault::NoLen:
    case Fault::XoffHold:
      return false;
    default:
      return true;
  }
}

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

ClockValue PcClock() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900,
          local.tm_hour, local.tm_min,     local.tm_sec};
}

// The speed the program set on its end of the line, in bit/s; 0 for one
// classic termios has no name for.
int ProgramLineSpeed(int slave) {
  termios line{};
  if (tcgetattr(slave, &line) != 0) return 0;
  const std::pair<speed_t, int> speeds[] = {{B300, 300},       {B600, 600},      {B1200, 1200},
                                            {B2400, 2400},     {B4800, 4800},    {B9600, 9600},
                                            {B19200, 19200},   {B38400, 38400},  {B57600, 57600},
                                            {B115200, 115200}, {B230400, 230400}};
  const speed_t speed = cfgetospeed(&line);
  for (const auto& [code, bitsPerSecond] : speeds) {
    if (code == speed) return bitsPerSecond;
  }
  return 0;
}

std::string ClockReply(const ClockValue& c) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", c.day, c.month, c.year % 100,
                c.hour, c.minute, c.second);
  return text;
}

}  // namespace

StatusBytes StatusPaperOut() {
  return {0, 0, 0x01, 0, 0, 0};
}
StatusBytes StatusJournalPaperOut() {
  return {0, 0, 0x05, 0, 0, 0};
}
StatusBytes StatusGeneralError() {
  return {0x20, 0, 0, 0, 0, 0};
}
StatusBytes StatusDisplayNotConnected() {
  return {0x28, 0, 0, 0, 0, 0};
}

namespace {

const std::pair<Fault, const char*> kFaultNames[] = {
    {Fault::None, "none"},
    {Fault::Nak, "nak"},
    {Fault::Silence, "silence"},
    {Fault::SynBeforeReply, "syn"},
    {Fault::WrongSequence, "wrong-seq"},
    {Fault::WrongCommand, "wrong-cmd"},
    {Fault::BadChecksum, "bad-bcc"},
    {Fault::MisplacedSeparator, "misplaced-sep"},
    {Fault::ShortLen, "short-len"},
    {Fault::LenBelowMinimum, "len-below-min"},
    {Fault::NoLen, "no-len"},
    {Fault::Truncated, "truncated"},
    {Fault::XoffHold, "xoff"},
    {Fault::IgnoreRates, "ignore-96"},
};

bool HexDigit(char c, int& value) {
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  else
    return false;
  return true;
}

}  // namespace

const char* FaultName(Fault fault) {
  for (const auto& [f, name] : kFaultNames) {
    if (f == fault) return name;
  }
  return "?";
}

std::optional<Fault> FaultByName(std::string_view name) {
  for (const auto& [f, n] : kFaultNames) {
    if (name == n) return f;
  }
  return std::nullopt;
}

std::vector<std::string> FaultNames() {
  std::vector<std::string> names;
  for (const auto& entry : kFaultNames) names.push_back(entry.second);
  return names;
}

std::optional<StatusBytes> StatusByName(std::string_view name) {
  if (name == "paper-out") return StatusPaperOut();
  if (name == "journal-paper-out") return StatusJournalPaperOut();
  if (name == "general-error") return StatusGeneralError();
  if (name == "display-not-connected") return StatusDisplayNotConnected();
  if (name == "none") return StatusBytes{};
  if (name.size() != 12) return std::nullopt;
  StatusBytes status{};
  for (std::size_t i = 0; i < status.size(); ++i) {
    int high = 0;
    int low = 0;
    if (!HexDigit(name[2 * i], high) || !HexDigit(name[2 * i + 1], low)) return std::nullopt;
    status[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return status;
}

struct PrinterSimulator::Impl {
  int master = -1;
  int slave = -1;  // held open so that the port stays valid between opens
  int wake[2] = {-1, -1};
  std::string portPath;
  std::vector<std::string> links;
  // One per published name, held while this simulator runs: the mark that
  // the name is taken, which a link alone cannot give (a crashed simulator
  // leaves its link behind).
  std::vector<std::unique_ptr<NamedLock>> nameLocks;
  std::thread thread;
  std::atomic<bool> stopping{false};

  // Shared with the callers' threads.
  mutable std::mutex mutex;
  mutable std::condition_variable requestArrived;
  std::optional<ClockValue> fixedClock;
  std::map<int, std::string> replyOverrides;
  std::string mask = "11111111";
  std::vector<std::string> rates = {"20.00", "10.00", "0.00", "0.00",
                                    "0.00",  "0.00",  "0.00", "0.00"};
  std::deque<FaultEntry> faults;
  std::deque<StatusEntry> statuses;
  std::chrono::microseconds pacing{0};
  int lineSpeed = 0;  // bit/s it listens at; 0: any
  std::chrono::milliseconds xoffHoldTime{2000};
  std::vector<Request> requests;
  int xReports = 0;
  std::function<void(const std::string&)> log;

  // The answering thread's own.
  Bytes inbox;
  Clock::time_point lastByte;
  bool xoffHeld = false;
  Clock::time_point xoffRelease;
  // The last request that was carried out but whose answer was spoilt: its
  // repetition (same SEQ, command and data) is answered without doing it again.
  std::optional<Request> undelivered;
  std::string undeliveredReply;
  bool undeliveredInvalid = false;

  void OpenPty();
  void Run();
  void Wake() {
    char byte = 0;
    [[maybe_unused]] ssize_t ignored = write(wake[1], &byte, 1);
  }
  int PollTimeoutMs() const;
  void ReadAvailable();
  void DropStaleInput();
  void ReleaseXoffIfDue();
  void ProcessInbox();
  void HandleFrame(const Bytes& frame);
  void Answer(const Request& request, Fault fault, StatusBytes status);
  std::string CarryOut(const Request& request, const StatusBytes& status, bool takesRates,
                       bool& invalid);
  void Send(Bytes bytes);
  void Log(const std::string& line);
};

void PrinterSimulator::Impl::OpenPty() {
  master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) throw SystemError("posix_openpt");
  if (grantpt(master) != 0 || unlockpt(master) != 0) throw SystemError("grantpt/unlockpt");
  char name[128];
  if (ptsname_r(master, name, sizeof name) != 0) throw SystemError("ptsname_r");
  portPath = name;
  slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) throw SystemError("open " + portPath);
  // Writes must never block the thread past a stop request.
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  // Programs a test starts must not keep the printer's end open.
  fcntl(master, F_SETFD, FD_CLOEXEC);
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) throw SystemError("pipe2");
}

void PrinterSimulator::Impl::Log(const std::string& line) {
  std::function<void(const std::string&)> sink;
  {
    std::lock_guard lock(mutex);
    sink = log;
  }
  if (sink) sink(line);
}

int PrinterSimulator::Impl::PollTimeoutMs() const {
  auto now = Clock::now();
  std::optional<Clock::time_point> due;
  if (!inbox.empty()) due = lastByte + kFrameGap;
  if (xoffHeld && (!due || xoffRelease < *due)) due = xoffRelease;
  if (!due) return -1;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(*due - now).count();
  return ms < 0 ? 0 : static_cast<int>(ms) + 1;
}

void PrinterSimulator::Impl::Run() {
  while (!stopping) {
    pollfd fds[2] = {{master, POLLIN, 0}, {wake[0], POLLIN, 0}};
    int ready = poll(fds, 2, PollTimeoutMs());
    if (stopping) break;
    if (ready < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (read(wake[0], drain, sizeof drain) > 0) {
      }
    }
    if (fds[0].revents & POLLIN) ReadAvailable();
    DropStaleInput();
    ReleaseXoffIfDue();
  }
}

void PrinterSimulator::Impl::ReadAvailable() {
  std::uint8_t buffer[512];
  ssize_t n = read(master, buffer, sizeof buffer);
  if (n <= 0) return;
  inbox.insert(inbox.end(), buffer, buffer + n);
  lastByte = Clock::now();
  ProcessInbox();
}

void PrinterSimulator::Impl::DropStaleInput() {
  if (inbox.empty() || Clock::now() - lastByte < kFrameGap) return;
  Log("PC>FP " + HexBytes(inbox) + "  | incomplete frame, dropped");
  inbox.clear();
}

void PrinterSimulator::Impl::ReleaseXoffIfDue() {
  if (xoffHeld && Clock::now() >= xoffRelease) Send({});
}

void PrinterSimulator::Impl::ProcessInbox() {
  for (;;) {
    std::size_t start = 0;
    while (start < inbox.size() && inbox[start] != kStx) ++start;
    if (start > 0) {
      Log("PC>FP " + HexBytes(Bytes(inbox.begin(), inbox.begin() + start)) +
          "  | bytes outside a frame, dropped");
      inbox.erase(inbox.begin(), inbox.begin() + start);
    }
    if (inbox.size() < 2) return;
    const int len = inbox[1];
    if (len < kMinRequestLen) {
      Log("PC>FP " + HexBytes(Bytes(inbox.begin(), inbox.begin() + 2)) + "  | LEN " +
          std::to_string(len) + " too small, damaged request");
      inbox.erase(inbox.begin(), inbox.begin() + 2);
      Send({kNakByte});
      continue;
    }
    const std::size_t total = static_cast<std::size_t>(len - kRequestFrameOverhead);
    if (inbox.size() < total) return;
    Bytes frame(inbox.begin(), inbox.begin() + total);
    inbox.erase(inbox.begin(), inbox.begin() + total);
    HandleFrame(frame);
  }
}

void PrinterSimulator::Impl::HandleFrame(const Bytes& frame) {
  Request request = ParseRequest(frame);
  Fault fault = Fault::None;
  StatusBytes status{};
  int listening = 0;
  {
    std::lock_guard lock(mutex);
    requests.push_back(request);
    listening = lineSpeed;
  }
  // At another speed a real printer receives noise; the pseudo-terminal
  // carries the bytes intact, so the speed is compared instead.
  const int programSpeed = listening != 0 ? ProgramLineSpeed(slave) : 0;
  if (programSpeed != listening) {
    requestArrived.notify_all();
    Log("PC>FP " + HexBytes(frame) + "  | sent at " + std::to_string(programSpeed) +
        " bit/s, the printer listens at " + std::to_string(listening) + ": not understood");
    return;
  }
  {
    std::lock_guard lock(mutex);
    if (request.intact) {
      FaultEntry f{};
      if (TakeFront(faults, f)) fault = f.fault;
      StatusEntry s{};
      if (CarriesStatus(fault) && TakeFront(statuses, s)) status = s.status;
    }
  }
  requestArrived.notify_all();
  Log("PC>FP " + HexBytes(frame) + "  | " + DescribeRequest(request));
  if (!request.intact) {
    Send({kNakByte});
    return;
  }
  Answer(request, fault, status);
}

void PrinterSimulator::Impl::Answer(const Request& request, Fault fault, StatusBytes status) {
  // A request that did not get through is neither carried out nor remembered.
  if (fault == Fault::Nak) return Send({kNakByte});
  if (fault == Fault::Silence) return Log("FP>PC (silent)");

  bool repeated = undelivered && undelivered->sequence == request.sequence &&
                  undelivered->command == request.command && undelivered->data == request.data;
  std::string data;
  bool invalid = false;
  if (repeated) {
    data = undeliveredReply;
    invalid = undeliveredInvalid;
  } else {
    data = CarryOut(request, status, fault != Fault::IgnoreRates, invalid);
  }
  if (invalid) status[0] |= 1 << kInvalidCommandFlag;

  const std::uint8_t seq = request.sequence;
  const std::uint8_t cmd = request.command;
  Bytes bytes;
  switch (fault) {
    case Fault::SynBeforeReply:
      bytes.assign(kSynCount, kSynByte);
      for (std::uint8_t b : BuildReply(seq, cmd, data, status)) bytes.push_back(b);
      break;
    case Fault::WrongSequence:
      bytes = BuildReply(seq >= 127 ? 32 : seq + 1, cmd, data, status);
      break;
    case Fault::WrongCommand:
      bytes = BuildReply(seq, cmd >= 127 ? 126 : cmd + 1, data, status);
      break;
    case Fault::BadChecksum:
      bytes = BuildReply(seq, cmd, data, status);
      SpoilBcc(bytes);
      break;
    case Fault::MisplacedSeparator:
      bytes = BuildReplyWithoutSeparator(seq, cmd, data, status);
      break;
    case Fault::ShortLen:
      bytes = {kStx, 0x1F};
      break;
    case Fault::LenBelowMinimum:
      bytes = BuildTooShortReply(seq, cmd, status);
      break;
    case Fault::NoLen:
      bytes = {kStx};
      break;
    case Fault::Truncated: {
      Bytes whole = BuildReply(seq, cmd, data, status);
      bytes.assign(whole.begin(), whole.begin() + whole.size() / 2);
      break;
    }
    case Fault::XoffHold:
      bytes = {kXoff};
      break;
    default:
      bytes = BuildReply(seq, cmd, data, status);
  }

  if (fault == Fault::None || fault == Fault::SynBeforeReply || fault == Fault::IgnoreRates) {
    undelivered.reset();
  } else {
    undelivered = request;
    undeliveredReply = data;
    undeliveredInvalid = invalid;
  }
  Send(bytes);
}

std::string PrinterSimulator::Impl::CarryOut(const Request& request, const StatusBytes& status,
                                             bool takesRates, bool& invalid) {
  std::string reply;
  std::string note;
  {
    std::lock_guard lock(mutex);
    switch (request.command) {
      case 62:
        reply = ClockReply(fixedClock ? *fixedClock : PcClock());
        break;
      case 69:
        if (status[2] & kNoPaperFlag) {
          note = "no paper, nothing printed";
        } else if (request.data == "2") {
          ++xReports;
          note = "X report printed (" + std::to_string(xReports) + " so far)";
        } else {
          note = "report with option \"" + Printable(request.data) + "\" printed";
        }
        break;
      case 83:
        reply = "0,0," + mask;
        break;
      case 97:
        for (std::size_t i = 0; i < rates.size(); ++i) reply += (i ? "," : "") + rates[i];
        break;
      case 96: {
        if (!takesRates) {
          note = "rates NOT taken (fault ignore-96), still";
          for (const std::string& rate : rates) note += " " + Printable(rate);
          break;
        }
        std::vector<std::string> items = SplitCommas(request.data);
        std::size_t next = 0;
        for (std::size_t group = 0; group < rates.size() && next < items.size(); ++group) {
          if (group < mask.size() && mask[group] == '1') rates[group] = items[next++];
        }
        note = "rates now";
        for (const std::string& rate : rates) note += " " + Printable(rate);
        break;
      }
      default:
        invalid = true;
        note = "command not known, #InvalidCmd set";
    }
    auto override = replyOverrides.find(request.command);
    if (override != replyOverrides.end()) {
      reply = override->second;
      invalid = false;
    }
  }
  auto addNote = [&note](const char* text) {
    note += (note.empty() ? "" : "; ") + std::string(text);
  };
  if (reply.size() > kMaxReplyData) {
    reply.resize(kMaxReplyData);
    addNote("reply data cut to what a frame holds");
  }
  // The program's end of the line takes XON and XOFF as flow control, never
  // as data: in a reply they would stop its sending and shorten the frame.
  const char flowControl[] = {static_cast<char>(kXon), static_cast<char>(kXoff), '\0'};
  if (reply.find_first_of(flowControl) != std::string::npos) {
    std::replace_if(
        reply.begin(), reply.end(),
        [&](char c) { return c == flowControl[0] || c == flowControl[1]; }, '?');
    addNote("XON/XOFF in the reply data sent as ?");
  }
  if (!note.empty()) Log("FP    " + note);
  return reply;
}

void PrinterSimulator::Impl::Send(Bytes bytes) {
  // The held line is released with whatever the printer sends next.
  if (xoffHeld && (bytes.empty() || bytes.front() != kXoff)) bytes.insert(bytes.begin(), kXon);
  if (bytes.empty()) return;
  if (bytes.front() == kXon) xoffHeld = false;
  std::chrono::microseconds perByte;
  {
    std::lock_guard lock(mutex);
    perByte = pacing;
    if (bytes.back() == kXoff) {
      xoffHeld = true;
      xoffRelease = Clock::now() + xoffHoldTime;
    }
  }
  Log("FP>PC " + HexBytes(bytes) + "  | " + DescribeSent(bytes));
  const Clock::time_point start = Clock::now();
  std::size_t sent = 0;
  while (sent < bytes.size() && !stopping) {
    std::size_t chunk = perByte.count() > 0 ? 1 : bytes.size() - sent;
    // A byte is there once its last bit has crossed the line. Each is due a
    // byte time after the one before, counted from the first, so that the
    // lateness of single wake-ups never adds up to a slower line.
    if (perByte.count() > 0) std::this_thread::sleep_until(start + perByte * (sent + 1));
    ssize_t n = write(master, bytes.data() + sent, chunk);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      Log("FP>PC write failed: " + std::string(std::strerror(errno)));
      return;
    } else {
      pollfd out{master, POLLOUT, 0};
      poll(&out, 1, 50);
    }
  }
}

PrinterSimulator::PrinterSimulator() : impl_(std::make_unique<Impl>()) {
  try {
    impl_->OpenPty();
  } catch (...) {
    for (int fd : {impl_->master, impl_->slave, impl_->wake[0], impl_->wake[1]}) {
      if (fd >= 0) close(fd);
    }
    throw;
  }
  impl_->thread = std::thread([impl = impl_.get()] { impl->Run(); });
}

PrinterSimulator::~PrinterSimulator() {
  impl_->stopping = true;
  impl_->Wake();
  impl_->thread.join();
  char target[256];
  for (const std::string& link : impl_->links) {
    ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, n) == impl_->portPath) unlink(link.c_str());
  }
  close(impl_->wake[0]);
  close(impl_->wake[1]);
  close(impl_->slave);
  close(impl_->master);
}

std::string PrinterSimulator::PortPath() const {
  return impl_->portPath;
}

std::string PrinterSimulator::Publish(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name[0] == '.') {
    throw std::invalid_argument("not a port name: \"" + name + "\"");
  }
  const std::string directory = VirtualPortDirectory();
  const std::string link = directory + "/" + name;
  // A name that is also a device ("null", "COM1") opens that device, never the link.
  if (PortDevicePath(name) != link) {
    throw std::invalid_argument("\"" + name + "\" names " + PortDevicePath(name) +
                                ", not a published port");
  }
  auto nameLock = std::make_unique<NamedLock>("fpsim-" + name);
  if (!nameLock->Acquire()) {
    throw std::runtime_error("\"" + name +
                             "\" is published by another simulator that is still running (lock " +
                             nameLock->Path() + ")");
  }
  if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
    throw SystemError("mkdir " + directory);
  struct stat existing {};
  if (lstat(link.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
    throw std::runtime_error(link + " exists and is not a published port");
  }
  // A link left behind by a simulator that did not end cleanly is replaced.
  const std::string temporary = directory + "/." + name + "." + std::to_string(getpid());
  unlink(temporary.c_str());
  if (symlink(impl_->portPath.c_str(), temporary.c_str()) != 0)
    throw SystemError("symlink " + link);
  if (rename(temporary.c_str(), link.c_str()) != 0) {
    unlink(temporary.c_str());
    throw SystemError("rename " + link);
  }
  std::lock_guard lock(impl_->mutex);
  impl_->links.push_back(link);
  impl_->nameLocks.push_back(std::move(nameLock));
  return link;
}

void PrinterSimulator::SetClock(int day, int month, int year, int hour, int minute, int second) {
  std::lock_guard lock(impl_->mutex);
  impl_->fixedClock = ClockValue{day, month, year, hour, minute, second};
}

void PrinterSimulator::UsePcClock() {
  std::lock_guard lock(impl_->mutex);
  impl_->fixedClock.reset();
}

void PrinterSimulator::SetReplyData(int command, const std::string& data) {
  std::lock_guard lock(impl_->mutex);
  impl_->replyOverrides[command] = data;
}

void PrinterSimulator::SetEnableMask(const std::string& mask) {
  std::lock_guard lock(impl_->mutex);
  impl_->mask = mask;
}

std::string PrinterSimulator::EnableMask() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->mask;
}

void PrinterSimulator::SetRates(const std::vector<std::string>& rates) {
  std::lock_guard lock(impl_->mutex);
  for (std::size_t i = 0; i < impl_->rates.size(); ++i) {
    impl_->rates[i] = i < rates.size() ? rates[i] : "";
  }
}

std::vector<std::string> PrinterSimulator::Rates() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->rates;
}

void PrinterSimulator::Inject(Fault fault, int count) {
  if (count == 0 || count < kAlways) return;
  std::lock_guard lock(impl_->mutex);
  impl_->faults.push_back({fault, count});
}

void PrinterSimulator::InjectStatus(const StatusBytes& status, int count) {
  if (count == 0 || count < kAlways) return;
  std::lock_guard lock(impl_->mutex);
  impl_->statuses.push_back({status, count});
}

void PrinterSimulator::ClearInjections() {
  std::lock_guard lock(impl_->mutex);
  impl_->faults.clear();
  impl_->statuses.clear();
}

void PrinterSimulator::SetXoffHoldTime(std::chrono::milliseconds hold) {
  std::lock_guard lock(impl_->mutex);
  impl_->xoffHoldTime = hold;
}

void PrinterSimulator::SetLineSpeed(int bitsPerSecond) {
  std::lock_guard lock(impl_->mutex);
  impl_->lineSpeed = bitsPerSecond;
}

void PrinterSimulator::SetBytePacing(std::chrono::microseconds perByte) {
  std::lock_guard lock(impl_->mutex);
  impl_->pacing = perByte;
}

std::vector<Request> PrinterSimulator::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

void PrinterSimulator::ClearRequests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

bool PrinterSimulator::WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->mutex);
  return impl_->requestArrived.wait_for(lock, timeout, [&] { return impl_->requests.size() >= n; });
}

int PrinterSimulator::XReportCount() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->xReports;
}

void PrinterSimulator::SetLog(std::function<void(const std::string&)> log) {
  std::lock_guard lock(impl_->mutex);
  impl_->log = std::move(log);
}

}  // namespace sim
