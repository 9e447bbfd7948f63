// fpsim: a fiscal printer on a pseudo-terminal, for working without one.
//
// Publishes the port in the virtual-port directory (default name ttyFP0),
// logs every frame both ways, and takes further settings and faults as lines
// on standard input while it runs. Ends on SIGINT or SIGTERM.
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "framework/DateTime.h"
#include "tools/simulator/PrinterFrames.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

const char* const kUsage =
    "usage: fpsim [--name NAME] [--clock \"dd.mm.yyyy hh:nn:ss\"] [--mask MASK]\n"
    "             [--rates R0,R1,...,R7] [--fault KIND[:COUNT|:always]]...\n"
    "             [--status STATUS[:COUNT|:always]]... [--baud RATE]\n"
    "\n"
    "  --name NAME    publish the port as NAME in the virtual-port directory\n"
    "                 (default ttyFP0); programs open it under that name\n"
    "  --clock TIME   a fixed clock for command 62 (default: the PC clock)\n"
    "  --mask MASK    enable mask of groups A..H, e.g. 11000000 (default 11111111)\n"
    "  --rates LIST   the eight rates, comma-separated\n"
    "  --fault KIND   answer the next COUNT requests (default 1) with a fault:\n"
    "                 %s\n"
    "  --status S     status bytes for the next COUNT replies: paper-out,\n"
    "                 journal-paper-out, general-error, display-not-connected,\n"
    "                 none, or twelve hex digits (byte 0 first)\n"
    "  --baud RATE    the printer's line speed: it answers only a port set to RATE,\n"
    "                 and sends at that real speed instead of at once\n"
    "\n"
    "While it runs, the same settings can be typed as lines without the dashes\n"
    "(\"fault nak:3\", \"status paper-out\", \"mask 11000000\"), and also\n"
    "\"clear\" (drop pending faults), \"pc-clock\", \"show\" and \"help\".\n";

std::mutex outputMutex;

void Print(const std::string& line) {
  std::lock_guard lock(outputMutex);
  std::timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  std::printf("%02d:%02d:%02d.%03ld %s\n", local.tm_hour, local.tm_min, local.tm_sec,
              now.tv_nsec / 1000000, line.c_str());
  std::fflush(stdout);
}

std::string FaultList() {
  std::string list;
  for (const std::string& name : sim::FaultNames()) {
    if (name != "none") list += (list.empty() ? "" : ", ") + name;
  }
  return list;
}

// "KIND", "KIND:COUNT" or "KIND:always".
bool SplitCount(const std::string& text, std::string& kind, int& count) {
  std::size_t colon = text.find(':');
  kind = text.substr(0, colon);
  count = 1;
  if (colon == std::string::npos) return true;
  std::string tail = text.substr(colon + 1);
  if (tail == "always") {
    count = sim::kAlways;
    return true;
  }
  try {
    std::size_t used = 0;
    count = std::stoi(tail, &used);
    return used == tail.size() && count > 0;
  } catch (const std::exception&) {
    return false;
  }
}

class Settings {
 public:
  explicit Settings(sim::PrinterSimulator& printer) : printer_(printer) {}

  static bool Knows(const std::string& key) {
    for (const char* known : {"clock", "mask", "rates", "fault", "status", "baud"}) {
      if (key == known) return true;
    }
    return false;
  }

  // Applies one setting; false with a message when it is not understood.
  bool Apply(const std::string& key, const std::string& value, std::string& error) {
    if (key == "clock") return SetClock(value, error);
    if (key == "mask") return SetMask(value, error);
    if (key == "rates") return SetRates(value, error);
    if (key == "fault") return AddFault(value, error);
    if (key == "status") return AddStatus(value, error);
    if (key == "baud") return SetBaud(value, error);
    error = "unknown setting \"" + key + "\"";
    return false;
  }

  std::string Show() const {
    std::string text = "mask " + printer_.EnableMask() + ", rates";
    for (const std::string& rate : printer_.Rates()) text += " " + rate;
    return text + ", " + std::to_string(printer_.XReportCount()) + " X report(s) printed";
  }

 private:
  bool SetClock(const std::string& value, std::string& error) {
    int day, month, year, hour, minute, second;
    char tail;
    TDateTime date = 0, time = 0;
    // The reply carries the year in two digits, counted from 2000.
    if (std::sscanf(value.c_str(), "%d.%d.%d %d:%d:%d%c", &day, &month, &year, &hour, &minute,
                    &second, &tail) != 6 ||
        year < 2000 || year > 2099 || !TryEncodeDate(year, month, day, date) ||
        !TryEncodeTime(hour, minute, second, 0, time)) {
      error =
          "clock wants a date and time \"dd.mm.yyyy hh:nn:ss\" of the years 2000 to 2099, not \"" +
          value + "\"";
      return false;
    }
    printer_.SetClock(day, month, year, hour, minute, second);
    return true;
  }

  // A comma would move the mask out of field 2 of the reply to 83.
  bool SetMask(const std::string& value, std::string& error) {
    if (value.size() != 8 || value.find(',') != std::string::npos) {
      error =
          "mask wants eight characters, one per group A..H (\"1\" enabled), not \"" + value + "\"";
      return false;
    }
    printer_.SetEnableMask(value);
    return true;
  }

  bool SetRates(const std::string& value, std::string& error) {
    std::vector<std::string> rates = sim::SplitCommas(value);
    if (rates.size() != 8) {
      error = "rates wants eight values, one per group A..H, comma-separated; \"" + value +
              "\" has " + std::to_string(rates.size());
      return false;
    }
    printer_.SetRates(rates);
    return true;
  }

  bool AddFault(const std::string& value, std::string& error) {
    std::string kind;
    int count;
    auto fault = SplitCount(value, kind, count) ? sim::FaultByName(kind) : std::nullopt;
    if (!fault) {
      error = "fault wants KIND[:COUNT|:always], KIND one of " + FaultList();
      return false;
    }
    printer_.Inject(*fault, count);
    return true;
  }

  bool AddStatus(const std::string& value, std::string& error) {
    std::string kind;
    int count;
    auto status = SplitCount(value, kind, count) ? sim::StatusByName(kind) : std::nullopt;
    if (!status) {
      error = "status wants a name or twelve hex digits, then :COUNT or :always";
      return false;
    }
    printer_.InjectStatus(*status, count);
    return true;
  }

  bool SetBaud(const std::string& value, std::string& error) {
    int baud = 0;
    try {
      baud = std::stoi(value);
    } catch (const std::exception&) {
    }
    if (baud <= 0) {
      error = "baud wants a positive number";
      return false;
    }
    // Ten bits per byte on the line: start, eight data bits, stop.
    printer_.SetBytePacing(std::chrono::microseconds(10'000'000 / baud));
    printer_.SetLineSpeed(baud);
    return true;
  }

  sim::PrinterSimulator& printer_;
};

void HandleInputLine(const std::string& line, sim::PrinterSimulator& printer, Settings& settings) {
  std::string key = line.substr(0, line.find(' '));
  std::string value = line.size() > key.size() ? line.substr(key.size() + 1) : "";
  std::string error;
  if (key.empty()) return;
  if (key == "help") {
    std::printf(kUsage, FaultList().c_str());
  } else if (key == "clear") {
    printer.ClearInjections();
    Print("pending faults and status bytes dropped");
  } else if (key == "pc-clock") {
    printer.UsePcClock();
  } else if (key == "show") {
    Print(settings.Show());
  } else if (!settings.Apply(key, value, error)) {
    Print(error);
  } else {
    Print("ok: " + line);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string name = "ttyFP0";
  std::vector<std::pair<std::string, std::string>> settingArgs;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::printf(kUsage, FaultList().c_str());
      return 0;
    }
    std::string problem;
    if (arg.rfind("--", 0) != 0) {
      problem = "unexpected argument \"" + arg + "\"";
    } else if (arg != "--name" && !Settings::Knows(arg.substr(2))) {
      problem = "unknown option " + arg;
    } else if (i + 1 >= args.size()) {
      problem = arg + " wants a value";
    }
    if (!problem.empty()) {
      std::fprintf(stderr, "fpsim: %s\n\n", problem.c_str());
      std::fprintf(stderr, kUsage, FaultList().c_str());
      return 2;
    }
    if (arg == "--name") {
      name = args[++i];
    } else {
      settingArgs.emplace_back(arg.substr(2), args[++i]);
    }
  }

  // Blocked before any thread starts, so that only signalfd sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  int signals = signalfd(-1, &stopSignals, SFD_CLOEXEC);
  // Started in the background ("fpsim &"), a read from the terminal then
  // fails instead of stopping the simulator; it just takes no typed lines.
  std::signal(SIGTTIN, SIG_IGN);

  try {
    sim::PrinterSimulator printer;
    Settings settings(printer);
    for (const auto& [key, value] : settingArgs) {
      std::string error;
      if (!settings.Apply(key, value, error)) {
        std::fprintf(stderr, "fpsim: %s\n", error.c_str());
        return 2;
      }
    }
    printer.SetLog(Print);
    std::string link = printer.Publish(name);
    Print("printer on " + printer.PortPath() + ", published as " + name + " (" + link + ")");
    Print(settings.Show());

    bool stdinOpen = true;
    std::string pending;
    for (;;) {
      pollfd fds[2] = {{signals, POLLIN, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[0].revents & POLLIN) break;
      if (fds[1].revents & (POLLIN | POLLHUP)) {
        char buffer[256];
        ssize_t n = read(0, buffer, sizeof buffer);
        if (n <= 0) {
          stdinOpen = false;
          continue;
        }
        pending.append(buffer, n);
        for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
          HandleInputLine(pending.substr(0, eol), printer, settings);
          pending.erase(0, eol + 1);
        }
      }
    }
    Print("stopping");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fpsim: %s\n", error.what());
    return 1;
  }
  return 0;
}
