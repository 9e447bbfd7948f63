// fptool: the program's printer commands from the command line, for
// technicians and scripts. Its interface is fixed because scripts depend on it.
//
// Every exchange goes through the same command record, checked layer and tax
// group rules as the program's windows.
#include <cstdio>
#include <ctime>
#include <filesystem>
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
#include "tools/fptool/RateChange.h"
#include "tools/fptool/ResultBlock.h"
#include "tools/fptool/Terminal.h"
#include "tools/fptool/TextEscape.h"

namespace {

enum ExitStatus { kSucceeded = 0, kFailed = 1, kUsageError = 2, kPortError = 3 };

const char* const kUsage =
    "usage: fptool [--port NAME] [--baud RATE] [--trace FILE] COMMAND [ARGS]\n"
    "       fptool --help | --version\n"
    "\n"
    "  --port NAME   port name as the setup dialog lists it (see \"fptool ports\").\n"
    "                Default COM1, the PC's first serial port (/dev/ttyS0 on Linux,\n"
    "                where ttyFP0 names a published port and a path containing \"/\"\n"
    "                is used as is).\n"
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
    "  write-taxes [--dry-run] [--log FILE] R0 R1 R2 R3 R4 R5 R6 R7\n"
    "                                  a checked change: read the clock, the enable\n"
    "                                  mask and the rates, write the rates of the\n"
    "                                  enabled groups, read them back, print a table\n"
    "                                  (before, asked, read back); status 1 when an\n"
    "                                  enabled group reads back otherwise\n"
    "      --dry-run                   read, print the table and the data command 96\n"
    "                                  would carry, write nothing\n"
    "      --log FILE                  append a record of the change to FILE\n"
    "                                  (tab-separated, a header when new)\n"
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
  bool dryRun = false;                  // of write-taxes
  std::string logFile;                  // of write-taxes; empty: no log
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

// The options that follow a command's name; the rest are its arguments.
void ParseWriteTaxesOptions(Invocation& call) {
  while (!call.args.empty() && call.args.front().rfind("--", 0) == 0) {
    const std::string option = call.args.front();
    call.args.erase(call.args.begin());
    if (option == "--dry-run") {
      call.dryRun = true;
    } else if (option == "--log") {
      if (call.args.empty()) throw UsageError(option + " wants a value");
      call.logFile = call.args.front();
      call.args.erase(call.args.begin());
    } else {
      throw UsageError("unknown option " + option + " for write-taxes");
    }
  }
}

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
    ParseWriteTaxesOptions(call);
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

// Notes on the change (standard error, the log's outcome) that nothing was
// written because a read before it failed.
int NotWritten(RateChange& change, const FPCommand00& record) {
  change.outcome.push_back("not written: command " + std::to_string(record.Command) +
                           " brought no valid reply (code " + std::to_string(record.ErrorCode) +
                           ")");
  std::fputs("No rates were written.\n", stderr);
  return kFailed;
}

void PrintText(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// Read, write with the editor's rules, read back, compare; every step that
// happened is in `change` when this returns or raises.
int ChangeRates(FPCommand00& record, bool dryRun, RateChange& change) {
  // A printer condition (97..100) comes with a valid reply: the change goes
  // on, told on standard error, and ends with status 1 as each command does.
  bool conditionsTold = false;
  auto tell = [&record, &conditionsTold] { conditionsTold = !Succeeded(record) || conditionsTold; };

  record.Execute(fpcmd::ReadClock, "");
  if (NoValidReply(record)) return NotWritten(change, record);
  tell();
  change.clock = DeviceClockIso8601(record.ReplyData);
  if (change.clock.empty()) change.clock = DeviceToUtf8(record.ReplyData);

  change.enabled = ReadEnableMask(record);
  if (NoValidReply(record)) return NotWritten(change, record);
  tell();

  change.before = ReadRates(record);
  if (NoValidReply(record)) return NotWritten(change, record);
  tell();

  std::string rateList;
  try {
    rateList = BuildRateList(change.enabled, change.asked);
  } catch (const Exception& refusal) {
    PrintText(ChangeTable(change));
    std::fprintf(stderr, "%s\n", refusal.Message().c_str());
    change.outcome.push_back("refused: " + refusal.Message());
    return kFailed;
  }
  if (dryRun) {
    PrintText(ChangeTable(change) + "Command 96 would carry: " + EscapeValue(rateList) + "\n");
    change.outcome.push_back("dry run, nothing written");
    return conditionsTold ? kFailed : kSucceeded;
  }

  record.Execute(fpcmd::WriteTaxRates, rateList);
  // Whether or not the write's reply came, the printer may hold the new
  // rates: reading back tells.
  const bool writeFailed = fpres::IsExchangeFailure(record.ErrorCode);
  if (writeFailed) {
    change.outcome.push_back("write brought no valid reply (code " +
                             std::to_string(record.ErrorCode) + ")");
  }
  tell();

  change.readBack = ReadRates(record);
  if (fpres::IsExchangeFailure(record.ErrorCode)) {
    change.readBack.reset();
    change.outcome.push_back("read-back brought no valid reply (code " +
                             std::to_string(record.ErrorCode) + ")");
  }
  tell();
  PrintText(ChangeTable(change));

  const std::vector<int> differing = GroupsThatDiffer(change);
  if (!differing.empty()) {
    std::fprintf(stderr, "The printer reads back other rates than were written for group(s) %s.\n",
                 GroupLetters(differing).c_str());
    change.outcome.push_back("read back differs in " + GroupLetters(differing));
  }
  if (!change.readBack) std::fputs("The rates could not be read back.\n", stderr);
  const bool checked = change.readBack && differing.empty() && !writeFailed;
  return checked && !conditionsTold ? kSucceeded : kFailed;
}

// Appends the change's record; false (told on standard error) when it could
// not be written.
bool AppendToLog(std::ofstream* log, const Invocation& call, const RateChange& change) {
  if (!log) return true;
  *log << ChangeLogRecord(LocalIso8601(std::time(nullptr)), call.port, change);
  log->flush();
  if (*log) return true;
  std::fprintf(stderr, "The record of this change could not be written to %s.\n",
               call.logFile.c_str());
  return false;
}

int RunWriteTaxes(FPCommand00& record, const Invocation& call, std::ofstream* log) {
  RateChange change;
  change.asked = call.rates;
  int status = kFailed;
  try {
    status = ChangeRates(record, call.dryRun, change);
  } catch (const EComPort& error) {
    change.outcome.push_back("port failed: " + error.Message());
    AppendToLog(log, call, change);
    throw;
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\n", error.Message().c_str());
    change.outcome.push_back(error.Message());
    status = kFailed;
  }
  return AppendToLog(log, call, change) ? status : kFailed;
}

int Run(const Invocation& call, TFormFP& device, std::ofstream* log) {
  FPCommand00& record = device.FPCommand;
  if (call.command == "exec" || call.command == "batch") return RunRequests(record, call.requests);
  if (call.command == "clock") return RunClock(device);
  if (call.command == "x-report") return RunXReport(device);
  if (call.command == "read-taxes") return RunReadTaxes(record);
  return RunWriteTaxes(record, call, log);
}

// The command on the printer's port, opened once for it.
int RunOnPrinterPort(const Invocation& call, TraceOutput* trace) {
  // The log is opened before anything is sent: a change that is to be
  // proved is not made when its record cannot be kept.
  std::ofstream log;
  if (!call.logFile.empty()) {
    std::error_code noFile;
    const bool isNew = std::filesystem::file_size(call.logFile, noFile) == 0 || noFile;
    log.open(call.logFile, std::ios::app | std::ios::binary);
    if (log && isNew) log << ChangeLogHeader() << std::flush;
    if (!log) {
      std::fprintf(stderr, "fptool: cannot write the change log %s\n", call.logFile.c_str());
      return kUsageError;
    }
  }
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
    status = Run(call, device, log.is_open() ? &log : nullptr);
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
