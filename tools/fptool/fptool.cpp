// fptool: the program's printer commands from the command line, for
// technicians and scripts. Its interface is fixed because scripts depend on it.
//
// Every exchange goes through the same command record, checked layer and tax
// group rules as the program's windows.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "device/P00_FP.h"
#include "device/TaxRules.h"
#include "fiscal/FPProtocol.h"
#include "fiscal/P00_fpsend.h"
#include "framework/CodePage.h"
#include "framework/DateTime.h"
#include "framework/Exception.h"
#include "messages/P00_KVMsgDlg.h"
#include "serial/CPortCtl.h"
#include "serial/PortDefaults.h"
#include "serial/PortList.h"
#include "serial/TraceBackend.h"
#include "tools/fptool/PortCommands.h"
#include "tools/fptool/ResultBlock.h"
#include "tools/fptool/Terminal.h"
#include "tools/fptool/TextEscape.h"

namespace {

enum ExitStatus { kSucceeded = 0, kFailed = 1, kUsageError = 2, kPortError = 3 };

const char* const kUsage =
    "usage: fptool [--port NAME] [--baud RATE] [--trace FILE] COMMAND [ARGS]\n"
    "       fptool --help | --version\n"
    "\n"
    "  --port NAME   port name as the program takes it (COM1 is /dev/ttyS0, ttyFP0 a\n"
    "                published port); a path containing \"/\" is used as is. Default COM1.\n"
    "  --baud RATE   one of the setup dialog's rates (default 19200)\n"
    "  --trace FILE  append every byte on the line both ways to FILE (\"-\": standard\n"
    "                error): time stamps, hex, and a summary of each frame\n"
    "\n"
    "finding the printer:\n"
    "  ports                           list the serial ports, with what the system\n"
    "                                  knows of each (USB names, serial number, links)\n"
    "  find [--ports P1,P2...] [--bauds B1,B2...]\n"
    "                                  probe the ports (default: all listed) at the\n"
    "                                  speeds (default 19200,9600,115200,38400,57600,\n"
    "                                  4800,2400,1200) with command 62; print each port\n"
    "                                  and speed where a printer answered, and its clock\n"
    "\n"
    "commands for people (text in the terminal's UTF-8, converted to and from\n"
    "the printer's code page, Windows-1250):\n"
    "  clock                           read the printer's clock (dd.mm.yyyy hh:nn:ss)\n"
    "  x-report                        print the X report\n"
    "  read-taxes                      print the eight tax groups: letter, enabled, rate\n"
    "  write-taxes R0 R1 R2 R3 R4 R5 R6 R7\n"
    "                                  write the rates of the enabled groups\n"
    "\n"
    "raw protocol commands (data bytes sent as given, reply bytes printed as\n"
    "received, no conversion):\n"
    "  exec CMD [DATA]                 run one command, print its result block\n"
    "  batch                           run \"CMD[ DATA]\" lines from standard input\n"
    "\n"
    "exit status: 0 success, 1 a command or operation failed, 2 usage error,\n"
    "3 the serial port failed\n";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Request {
  int command;
  std::string data;
};

struct Invocation {
  std::string port = "COM1";
  TBaudRate baudRate = br19200;
  bool lineChosen = false;  // --port or --baud given
  std::string traceFile;    // empty: no trace
  std::string command;
  std::vector<std::string> args;
  std::vector<Request> requests;        // of exec and batch
  TaxRates rates;                       // of write-taxes, as device text
  std::vector<std::string> probePorts;  // of find
  std::vector<TBaudRate> probeSpeeds;   // of find
};

// Notices go to standard error; the paper-out notice waits for a line on
// standard input, and with that input ended there is nobody to put paper in.
class ConsoleUserInterface : public DeviceUserInterface {
 public:
  void ShowNotice(const std::string& deviceText) override {
    std::fprintf(stderr, "%s\n", DeviceToUtf8(deviceText).c_str());
  }
  void ShowCatalogNotice(std::int32_t index) override {
    ShowNotice(catalog_.CatalogText(index));
    if (index != kPaperOutNotice) return;
    // A script's input carries its answers already; a person needs telling.
    if (StandardInputIsTerminal()) std::fputs("Put paper in, then press Enter.\n", stderr);
    std::string line;
    if (!std::getline(std::cin, line)) {
      throw Exception("Standard input ended while waiting for paper.");
    }
  }
  // The tool ends after its command anyway.
  void RequestTerminate() override {}

 private:
  TFormKVMsgDlg catalog_;
};

TBaudRate ParseBaudRate(const std::string& text) {
  const std::vector<std::string> items = TComSelect::Items(cpBaudRate);
  // Item 0 is "Custom", which names no speed.
  for (std::size_t i = 1; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<TBaudRate>(i);
  }
  throw UsageError("a speed is one of 110, 300, ... 256000, not \"" + text + "\"");
}

// "A,B,C": the items, none of them empty.
std::vector<std::string> SplitList(const std::string& option, const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma - start));
    if (items.back().empty()) throw UsageError(option + " wants a list such as A,B");
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

// The options that follow a command's name, each with a value; the rest are
// its arguments.
void ParseFindOptions(Invocation& call) {
  while (!call.args.empty() && call.args.front().rfind("--", 0) == 0) {
    const std::string option = call.args.front();
    if (call.args.size() < 2) throw UsageError(option + " wants a value");
    const std::string value = call.args[1];
    call.args.erase(call.args.begin(), call.args.begin() + 2);
    if (option == "--ports") {
      call.probePorts = SplitList(option, value);
    } else if (option == "--bauds") {
      call.probeSpeeds.clear();
      for (const std::string& speed : SplitList(option, value)) {
        call.probeSpeeds.push_back(ParseBaudRate(speed));
      }
    } else {
      throw UsageError("unknown option " + option + " for find");
    }
  }
}

int ParseCommandNumber(const std::string& text) {
  if (text.empty() || text.front() == ' ') throw UsageError("no command number");
  try {
    return StrToInt(text);
  } catch (const EConvertError&) {
    throw UsageError("\"" + text + "\" is not a command number");
  }
}

// Each line is CMD, optionally one blank and DATA (the rest, as it is). A
// line may end in CR LF as files written on Windows do; the CR is no data.
std::vector<Request> ParseBatch(std::istream& in) {
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<Request> requests;
  std::size_t start = 0;
  int lineNumber = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (end < all.size() && !line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    ++lineNumber;
    const std::size_t blank = line.find(' ');
    try {
      requests.push_back({ParseCommandNumber(line.substr(0, blank)),
                          blank == std::string::npos ? "" : line.substr(blank + 1)});
    } catch (const UsageError& error) {
      throw UsageError("line " + std::to_string(lineNumber) + ": " + error.what());
    }
  }
  return requests;
}

// A rate typed in the terminal, as the printer's code page holds it.
std::string RateAsDeviceText(int group, const std::string& utf8) {
  const std::optional<std::string> device = Utf8ToDeviceExact(utf8);
  if (!device) {
    throw UsageError(std::string("the rate of group ") + static_cast<char>('A' + group) +
                     " is not UTF-8 text that the printer's code page (Windows-1250) can hold");
  }
  return *device;
}

void ExpectArgs(const Invocation& call, std::size_t least, std::size_t most) {
  if (call.args.size() < least || call.args.size() > most) {
    throw UsageError("wrong number of arguments for " + call.command);
  }
}

// Everything that can be wrong with the call is found before the port opens.
Invocation ParseInvocation(int argc, char** argv) {
  Invocation call;
  int i = 1;
  for (; i < argc && std::string(argv[i]).rfind("--", 0) == 0; i += 2) {
    const std::string option = argv[i];
    if (i + 1 >= argc) throw UsageError(option + " wants a value");
    if (option == "--port") {
      call.port = argv[i + 1];
      call.lineChosen = true;
    } else if (option == "--baud") {
      call.baudRate = ParseBaudRate(argv[i + 1]);
      call.lineChosen = true;
    } else if (option == "--trace") {
      call.traceFile = argv[i + 1];
    } else {
      throw UsageError("unknown option " + option);
    }
  }
  if (i >= argc) throw UsageError("no command");
  call.command = argv[i];
  call.args.assign(argv + i + 1, argv + argc);

  if (call.command == "exec") {
    ExpectArgs(call, 1, 2);
    call.requests = {{ParseCommandNumber(call.args[0]), call.args.size() > 1 ? call.args[1] : ""}};
  } else if (call.command == "batch") {
    ExpectArgs(call, 0, 0);
    call.requests = ParseBatch(std::cin);
  } else if (call.command == "clock" || call.command == "x-report" ||
             call.command == "read-taxes") {
    ExpectArgs(call, 0, 0);
  } else if (call.command == "write-taxes") {
    ExpectArgs(call, kTaxGroups, kTaxGroups);
    for (int group = 0; group < kTaxGroups; ++group) {
      call.rates[group] = RateAsDeviceText(group, call.args[group]);
    }
  } else if (call.command == "ports" || call.command == "find") {
    if (call.lineChosen) {
      throw UsageError(call.command + " looks at every port: --port and --baud do not apply");
    }
    if (call.command == "find") ParseFindOptions(call);
    ExpectArgs(call, 0, 0);
  } else {
    throw UsageError("unknown command \"" + call.command + "\"");
  }
  return call;
}

void PrintResult(FPCommand00& record) {
  const std::string block = ResultBlock(record);
  std::fwrite(block.data(), 1, block.size(), stdout);
  std::fflush(stdout);
}

int RunRequests(FPCommand00& record, const std::vector<Request>& requests) {
  int status = kSucceeded;
  for (const Request& request : requests) {
    record.Execute(request.command, request.data);
    PrintResult(record);
    if (record.ErrorCode != fpres::Ok) status = kFailed;
  }
  return status;
}

// A command that did not succeed is told on standard error as the program
// would tell it: what was sent, then the result text.
bool Succeeded(FPCommand00& record) {
  if (record.ErrorCode == fpres::Ok) return true;
  std::fprintf(stderr, "Komanda %d\n%s\n", record.Command,
               DeviceToUtf8(record.ErrorText()).c_str());
  return false;
}

// No valid reply came (told on standard error): nothing of it may be shown as
// the printer's. A reply with a printer condition is a valid reply.
bool NoValidReply(FPCommand00& record) {
  if (!fpres::IsExchangeFailure(record.ErrorCode)) return false;
  Succeeded(record);
  return true;
}

int RunClock(TFormFP& device) {
  // A failed read has been told by the checked layer's notice already.
  const TDateTime time = device.ReadDeviceDateTime();
  if (time == 0) {
    if (device.FPCommand.ErrorCode == fpres::Ok) {
      std::fprintf(stderr, "The printer's clock reply holds no valid date and time: \"%s\"\n",
                   DeviceToUtf8(device.FPCommand.ReplyData).c_str());
    }
    return kFailed;
  }
  std::printf("%s\n", FormatDateTime(time).c_str());
  return kSucceeded;
}

int RunXReport(TFormFP& device) {
  try {
    device.PrintDailyReport(fpcmd::XReportOption);
  } catch (const EComPort&) {
    throw;
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\n", error.Message().c_str());
    return kFailed;
  }
  return kSucceeded;
}

int RunReadTaxes(FPCommand00& record) {
  const TaxEnableMask enabled = ReadEnableMask(record);
  if (NoValidReply(record)) return kFailed;
  const bool maskRead = Succeeded(record);
  const TaxRates rates = ReadRates(record);
  if (NoValidReply(record)) return kFailed;
  const bool ratesRead = Succeeded(record);
  for (int group = 0; group < kTaxGroups; ++group) {
    std::string line = std::string(1, static_cast<char>('A' + group)) + " " +
                       (enabled[group] ? "1" : "0") + " " + DeviceToUtf8(rates[group]) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return maskRead && ratesRead ? kSucceeded : kFailed;
}

int RunWriteTaxes(FPCommand00& record, const TaxRates& rates) {
  const TaxEnableMask enabled = ReadEnableMask(record);
  const bool maskRead = Succeeded(record);
  try {
    // Refuses, sending nothing, when no group is enabled (as a mask read
    // without a reply leaves them) or a rate would spoil the list.
    WriteRates(record, enabled, rates);
  } catch (const EComPort&) {
    throw;
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\n", error.Message().c_str());
    return kFailed;
  }
  return Succeeded(record) && maskRead ? kSucceeded : kFailed;
}

int Run(const Invocation& call, TFormFP& device) {
  FPCommand00& record = device.FPCommand;
  if (call.command == "exec" || call.command == "batch") return RunRequests(record, call.requests);
  if (call.command == "clock") return RunClock(device);
  if (call.command == "x-report") return RunXReport(device);
  if (call.command == "read-taxes") return RunReadTaxes(record);
  return RunWriteTaxes(record, call.rates);
}

// The command on the printer's port, opened once for it.
int RunOnPrinterPort(const Invocation& call, TraceOutput* trace) {
  ConsoleUserInterface ui;
  TFormFP device(ui);
  FormFP = &device;
  TComPort port(PrinterLine(trace));
  SetProgramStartValues(port);
  port.SetPort(call.port);
  port.SetBaudRate(call.baudRate);
  FiscalPort = &port;

  int status = kFailed;
  try {
    port.Open();
    status = Run(call, device);
  } catch (const EComPort& error) {
    std::fprintf(stderr, "%s\n", error.Message().c_str());
    status = kPortError;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    status = kFailed;
  }
  FiscalPort = nullptr;
  FormFP = nullptr;
  return status;
}

std::string CommandLine(int argc, char** argv) {
  std::string line = "fptool " FPTOOL_VERSION ":";
  for (int i = 1; i < argc; ++i) line += std::string(" ") + argv[i];
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return kSucceeded;
  }
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::puts("fptool " FPTOOL_VERSION);
    return kSucceeded;
  }
  Invocation call;
  try {
    call = ParseInvocation(argc, argv);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "fptool: %s\n\n%s", error.what(), kUsage);
    return kUsageError;
  }

  std::ofstream traceFile;
  std::optional<TraceOutput> trace;
  if (!call.traceFile.empty()) {
    if (call.traceFile == "-") {
      trace.emplace(std::cerr);
    } else {
      // Appended: an earlier run's trace may be what support still needs.
      traceFile.open(call.traceFile, std::ios::app | std::ios::binary);
      if (!traceFile) {
        std::fprintf(stderr, "fptool: cannot write the trace to %s\n", call.traceFile.c_str());
        return kUsageError;
      }
      trace.emplace(traceFile);
    }
    trace->Line(EscapeControls(CommandLine(argc, argv)));
  }
  TraceOutput* const tracing = trace ? &*trace : nullptr;

  if (call.command == "ports") return RunPorts();
  if (call.command == "find") {
    return RunFind(call.probePorts.empty() ? ListSerialPorts() : call.probePorts,
                   call.probeSpeeds.empty() ? DefaultProbeSpeeds() : call.probeSpeeds, tracing);
  }
  return RunOnPrinterPort(call, tracing);
}
