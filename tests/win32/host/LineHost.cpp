// linehost: the far ends of the COM ports that the tests under wine open.
//
// Listens on 127.0.0.1 (port in $FP_LINEHOST_PORT, else one of the system's
// choosing, printed as "port N" on the first line of standard output). Each
// connection is one line: its first request makes a pseudo-terminal whose
// far end the test plays ("pty COMn"), or one with the printer simulator at
// the far end ("printer COMn"), and maps COMn to it by the symlink
// $WINEPREFIX/dosdevices/comn. Requests and replies are text lines; bytes go
// as hexadecimal. Closing the connection closes the line.
//
//   pty mode:      send HEX | recv COUNT QUIET_MS | close
//   printer mode:  clock D M Y H N S | reply CMD HEX | set-mask HEX | mask
//                  | set-rates HEX... | rates | inject FAULT COUNT
//                  | status HEX12 COUNT | clear-injections | xoff-hold MS
//                  | pacing US | requests | wait COUNT MS | x-reports
//                  | clear-requests
// Replies: "ok[ VALUE]" or "err TEXT"; "mask" answers "ok HEX", "rates"
// "ok HEX HEX ..." (eight); "requests" sends "ok N" and then N lines
// "SEQ CMD INTACT DATAHEX FRAMEHEX".
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/LineHostWire.h"
#include "tests/support/PtyPair.h"
#include "tools/simulator/PrinterFrames.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

// Maps COMn to `device` in the wine prefix.
void MapPort(const std::string& com, const std::string& device) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix) throw std::runtime_error("WINEPREFIX is not set");
  std::string name = com;
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::filesystem::path link = std::filesystem::path(prefix) / "dosdevices" / name;
  std::error_code ignored;
  std::filesystem::remove(link, ignored);
  std::filesystem::create_symlink(device, link);
}

class Connection {
 public:
  explicit Connection(int fd) : fd_(fd) {}
  ~Connection() { ::close(fd_); }

  bool ReadLine(std::string& line) {
    for (;;) {
      const std::size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
      char buffer[4096];
      const ssize_t got = ::read(fd_, buffer, sizeof buffer);
      if (got <= 0) return false;
      pending_.append(buffer, static_cast<std::size_t>(got));
    }
  }
  void Reply(const std::string& text) {
    const std::string line = text + "\n";
    std::size_t sent = 0;
    while (sent < line.size()) {
      const ssize_t put = ::write(fd_, line.data() + sent, line.size() - sent);
      if (put <= 0) return;
      sent += static_cast<std::size_t>(put);
    }
  }

 private:
  int fd_;
  std::string pending_;
};

std::string PtyRequest(PtyPair& pty, const std::string& verb, std::istringstream& args) {
  if (verb == "send") {
    std::string hex;
    args >> hex;
    pty.Send(FromHex(hex));
    return "ok";
  }
  if (verb == "recv") {
    std::size_t count = 0;
    long quiet = 300;
    args >> count >> quiet;
    return "ok " + ToHex(pty.Receive(count, std::chrono::milliseconds(quiet)));
  }
  if (verb == "close") {
    pty.CloseMaster();
    return "ok";
  }
  return "err unknown request " + verb;
}

std::string PrinterRequest(sim::PrinterSimulator& printer, const std::string& verb,
                           std::istringstream& args, Connection& connection) {
  if (verb == "clock") {
    int d, m, y, h, n, s;
    args >> d >> m >> y >> h >> n >> s;
    printer.SetClock(d, m, y, h, n, s);
  } else if (verb == "reply") {
    int command;
    std::string hex;
    args >> command >> hex;
    printer.SetReplyData(command, FromHex(hex));
  } else if (verb == "set-mask") {
    std::string hex;
    args >> hex;
    printer.SetEnableMask(FromHex(hex));
  } else if (verb == "mask") {
    return "ok " + ToHex(printer.EnableMask());
  } else if (verb == "set-rates") {
    std::vector<std::string> rates;
    for (std::string hex; args >> hex;) rates.push_back(FromHex(hex));
    printer.SetRates(rates);
  } else if (verb == "rates") {
    std::string list = "ok";
    for (const std::string& rate : printer.Rates()) list += " " + ToHex(rate);
    return list;
  } else if (verb == "inject") {
    int fault, count;
    args >> fault >> count;
    printer.Inject(static_cast<sim::Fault>(fault), count);
  } else if (verb == "status") {
    std::string hex;
    int count;
    args >> hex >> count;
    const std::string bytes = FromHex(hex);
    sim::StatusBytes status{};
    for (std::size_t i = 0; i < status.size() && i < bytes.size(); ++i)
      status[i] = static_cast<std::uint8_t>(bytes[i]);
    printer.InjectStatus(status, count);
  } else if (verb == "clear-injections") {
    printer.ClearInjections();
  } else if (verb == "pacing") {
    long us;
    args >> us;
    printer.SetBytePacing(std::chrono::microseconds(us));
  } else if (verb == "xoff-hold") {
    long ms;
    args >> ms;
    printer.SetXoffHoldTime(std::chrono::milliseconds(ms));
  } else if (verb == "wait") {
    std::size_t count;
    long ms;
    args >> count >> ms;
    return printer.WaitForRequests(count, std::chrono::milliseconds(ms)) ? "ok 1" : "ok 0";
  } else if (verb == "x-reports") {
    return "ok " + std::to_string(printer.XReportCount());
  } else if (verb == "clear-requests") {
    printer.ClearRequests();
  } else if (verb == "requests") {
    const auto requests = printer.Requests();
    connection.Reply("ok " + std::to_string(requests.size()));
    for (const sim::Request& r : requests) {
      connection.Reply(std::to_string(r.sequence) + " " + std::to_string(r.command) + " " +
                       (r.intact ? "1 " : "0 ") + ToHex(r.data) + " " +
                       ToHex(std::string(r.frame.begin(), r.frame.end())));
    }
    return {};
  } else {
    return "err unknown request " + verb;
  }
  return "ok";
}

void Serve(int fd) {
  Connection connection(fd);
  std::unique_ptr<PtyPair> pty;
  std::unique_ptr<sim::PrinterSimulator> printer;
  std::string line;
  while (connection.ReadLine(line)) {
    std::istringstream args(line);
    std::string verb;
    args >> verb;
    std::string reply;
    try {
      if (!pty && !printer) {
        std::string com;
        args >> com;
        if (verb == "pty") {
          pty = std::make_unique<PtyPair>();
          MapPort(com, pty->SlavePath());
          reply = "ok " + pty->SlavePath();
        } else if (verb == "printer") {
          printer = std::make_unique<sim::PrinterSimulator>();
          MapPort(com, printer->PortPath());
          reply = "ok " + printer->PortPath();
        } else {
          reply = "err first ask for a pty or a printer";
        }
      } else if (pty) {
        reply = PtyRequest(*pty, verb, args);
      } else {
        reply = PrinterRequest(*printer, verb, args, connection);
        if (reply.empty()) continue;
      }
    } catch (const std::exception& error) {
      reply = std::string("err ") + error.what();
    }
    connection.Reply(reply);
  }
}

}  // namespace

int main() {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const char* port = std::getenv("FP_LINEHOST_PORT");
  address.sin_port = htons(port ? static_cast<std::uint16_t>(std::atoi(port)) : 0);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 8) != 0) {
    std::perror("linehost");
    return 1;
  }
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::printf("port %d\n", ntohs(address.sin_port));
  std::fflush(stdout);
  for (;;) {
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    std::thread(Serve, fd).detach();
  }
}
