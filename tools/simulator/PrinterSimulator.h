// The printer's side of the serial protocol, for tests and for users without
// a printer: a pseudo-terminal whose far end answers like a fiscal printer.
//
// It answers 62 (its clock), 69 (records the X report), 83 (enable mask in
// field 2), 97 (the eight rates) and 96 (takes the rates of the enabled
// groups in order), and lets a test or a user inject faults for the next N
// request frames or for good. Every request frame received is recorded.
//
// Pseudo-terminal rules it keeps: it never changes terminal settings (the two
// ends share one termios, and the program's XON/XOFF lives there); it keeps
// the far end open while it runs, so the published port stays valid between
// the program's opens; it never sends 0x11/0x13 except as a flow-control fault.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class Fault {
  None,
  Nak,                 // answer NAK (0x15) instead of a reply
  Silence,             // answer nothing
  SynBeforeReply,      // a few 0x16 bytes, then the reply
  WrongSequence,       // reply with another sequence number
  WrongCommand,        // reply echoing another command
  BadChecksum,         // reply with a wrong BCC
  MisplacedSeparator,  // reply whose 0x04 separator is not where LEN puts it
  ShortLen,            // reply start byte then LEN 0x1F
  LenBelowMinimum,     // a frame with LEN 0x28 (32..42: too short for a reply)
  NoLen,               // the start byte 0x01 alone
  Truncated,           // the first half of a reply, then nothing
  XoffHold,            // send XOFF (0x13) and no reply; XON with the next reply, or
                       // when the hold time (SetXoffHoldTime) has passed
  IgnoreRates,         // answer 96 as usual without taking its rates (other
                       // commands as usual)
};

// The names the simulator program and its log use ("nak", "wrong-seq", ...).
const char* FaultName(Fault fault);
std::optional<Fault> FaultByName(std::string_view name);
std::vector<std::string> FaultNames();

constexpr int kAlways = -1;

// The six status bytes (before the 0x80 bits the printer sets on every byte).
using StatusBytes = std::array<std::uint8_t, 6>;
StatusBytes StatusPaperOut();             // "#NoPaper": code 99
StatusBytes StatusJournalPaperOut();      // "#NoPaper" + "NoPaperJrnl": code 98
StatusBytes StatusGeneralError();         // "GeneralError#": code 100
StatusBytes StatusDisplayNotConnected();  // "GeneralError#" + "Display Not Conn": 97
// "paper-out", "journal-paper-out", "general-error", "display-not-connected",
// or twelve hexadecimal digits (status byte 0 first).
std::optional<StatusBytes> StatusByName(std::string_view name);

struct Request {
  std::uint8_t sequence = 0;
  std::uint8_t command = 0;
  std::string data;                 // request data bytes as received
  std::vector<std::uint8_t> frame;  // the whole frame, 0x01 .. 0x03
  bool intact = false;              // LEN and check sum were right
};

class PrinterSimulator {
 public:
  // Opens a pseudo-terminal pair and starts answering on a thread of its own.
  PrinterSimulator();
  ~PrinterSimulator();  // stops, removes the published link, closes the pty
  PrinterSimulator(const PrinterSimulator&) = delete;
  PrinterSimulator& operator=(const PrinterSimulator&) = delete;

  // The device path of the port end a program opens (/dev/pts/N).
  std::string PortPath() const;
  // Publishes the port as NAME in the virtual-port directory (a symlink to
  // PortPath); returns the link's path. Removed again by the destructor.
  // Raises when another simulator that is still running has published NAME;
  // a link left behind by one that ended without cleaning up is replaced.
  std::string Publish(const std::string& name = "ttyFP0");

  // Clock of command 62: from the PC clock unless set.
  void SetClock(int day, int month, int year, int hour, int minute, int second);
  void UsePcClock();
  // Reply data of a command, replacing the simulator's own answer for good.
  void SetReplyData(int command, const std::string& data);

  // Tax groups: the enable mask ("11111111": A..H all on) and the eight rates.
  void SetEnableMask(const std::string& mask);
  std::string EnableMask() const;
  void SetRates(const std::vector<std::string>& rates);
  std::vector<std::string> Rates() const;

  // Faults for the next `count` request frames, status bytes for the next
  // `count` answers that carry status bytes (NAK, silence, a lone start byte,
  // LEN 0x1F and XOFF carry none); kAlways: for good. Injections queue up:
  // each request frame takes the front entry of each queue. A damaged
  // request frame is answered by NAK and takes nothing.
  void Inject(Fault fault, int count = 1);
  void InjectStatus(const StatusBytes& status, int count = 1);
  void ClearInjections();

  // How long the line stays held by an XoffHold fault when no reply follows.
  void SetXoffHoldTime(std::chrono::milliseconds hold);

  // The speed the printer listens at, in bit/s (0, the default: any). A
  // request sent while the program's end of the line is set to another speed
  // is recorded but, as noise to the printer, not answered.
  void SetLineSpeed(int bitsPerSecond);

  // Paces every byte it sends (0: at once). For the line's real speed:
  // 10 bits per byte at the baud rate.
  void SetBytePacing(std::chrono::microseconds perByte);

  // Request frames received so far, in order.
  std::vector<Request> Requests() const;
  void ClearRequests();
  // Waits until at least n requests have been received; false on time-out.
  bool WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const;
  // X reports printed: command 69 with "2", not counting requests answered
  // with "#NoPaper" (nothing is printed without paper) or repeated after a
  // spoilt answer (the printer does a command once).
  int XReportCount() const;

  // One line per frame, both ways: hex bytes and a decoded summary.
  void SetLog(std::function<void(const std::string&)> log);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sim
