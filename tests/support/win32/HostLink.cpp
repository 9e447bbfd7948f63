#include "tests/support/win32/HostLink.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>

namespace {

// Each line gets a COM port of its own, so that no open of one test meets
// the mapping of another.
int NextComNumber() {
  static int next = 10;
  next = next >= 60 ? 11 : next + 1;
  return next;
}

struct WinsockUser {
  WinsockUser() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};

}  // namespace

HostLink::HostLink(const std::string& kind, const std::string& portName) {
  static WinsockUser winsock;
  const char* port = std::getenv("FP_LINEHOST_PORT");
  if (!port)
    throw std::runtime_error("FP_LINEHOST_PORT is not set: run under scripts/test-windows.sh");
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  if (s == INVALID_SOCKET ||
      ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (s != INVALID_SOCKET) ::closesocket(s);
    throw std::runtime_error("cannot reach linehost on port " + std::string(port));
  }
  BOOL yes = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes), sizeof yes);
  socket_ = s;
  portName_ = portName.empty() ? "COM" + std::to_string(NextComNumber()) : portName;
  Call(kind + " " + portName_);
}

HostLink::~HostLink() {
  ::closesocket(static_cast<SOCKET>(socket_));
}

std::string HostLink::NextLine() const {
  for (;;) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    char buffer[4096];
    const int got = ::recv(static_cast<SOCKET>(socket_), buffer, sizeof buffer, 0);
    if (got <= 0) throw std::runtime_error("linehost closed the line");
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

std::string HostLink::Call(const std::string& request) const {
  const std::string line = request + "\n";
  if (::send(static_cast<SOCKET>(socket_), line.data(), static_cast<int>(line.size()), 0) !=
      static_cast<int>(line.size()))
    throw std::runtime_error("linehost: cannot send " + request);
  const std::string reply = NextLine();
  if (reply.rfind("ok", 0) != 0) throw std::runtime_error("linehost: " + request + ": " + reply);
  return reply.size() > 3 ? reply.substr(3) : "";
}
