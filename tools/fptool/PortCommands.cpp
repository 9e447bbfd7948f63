#include "tools/fptool/PortCommands.h"

#include <chrono>
#include <cstdio>

#include "device/P00_FP.h"
#include "fiscal/FPProtocol.h"
#include "fiscal/P00_fpsend.h"
#include "framework/CodePage.h"
#include "framework/DateTime.h"
#include "serial/CPort.h"
#include "serial/PortDefaults.h"
#include "serial/PortList.h"
#include "tools/fptool/FrameTrace.h"
#include "tools/fptool/ProbeLine.h"
#include "tools/fptool/TextEscape.h"

namespace {

// A printer answers a clock request within a few tens of milliseconds; a
// silent port is left after this, so that eight speeds take under 4 s.
constexpr std::chrono::milliseconds kAnswerWait{400};
// Once it answers, the whole reply has this long (a clock reply at 1200 bit/s
// takes 0.3 s).
constexpr std::chrono::milliseconds kReplyWait{1000};

// Points the frame exchange's process-wide port at `port` for as long as it
// lives.
class ExchangePort {
 public:
  explicit ExchangePort(TCustomComPort& port) : previous_(FiscalPort) { FiscalPort = &port; }
  ~ExchangePort() { FiscalPort = previous_; }
  ExchangePort(const ExchangePort&) = delete;
  ExchangePort& operator=(const ExchangePort&) = delete;

 private:
  TCustomComPort* previous_;
};

std::string ClockText(const FPCommand00& record) {
  const TDateTime time = DeviceClockToDateTime(record.ReplyData);
  if (time != 0) return FormatDateTime(time);
  return "(no valid clock: \"" + EscapeControls(DeviceToUtf8(record.ReplyData), "\"") + "\")";
}

std::string SpeedList(const std::vector<TBaudRate>& speeds) {
  std::string list;
  for (TBaudRate speed : speeds) {
    list += (list.empty() ? "" : ", ") + std::to_string(BaudRateValue(speed));
  }
  return list;
}

// Whether a printer answered on `name` at one of the speeds; the first that
// answers ends the search on this port, which has one printer at one speed.
bool ProbePort(const std::string& name, const std::vector<TBaudRate>& speeds, TraceOutput* trace) {
  auto probe = std::make_unique<ProbeLine>(PrinterLine(trace), kAnswerWait, kReplyWait);
  ProbeLine& line = *probe;
  TComPort port(std::move(probe));
  SetProgramStartValues(port);
  port.SetPort(name);
  // Opening takes the port's lock before it changes anything, so a port that
  // another program holds is left as it is.
  try {
    port.Open();
  } catch (const EComPort& error) {
    std::fprintf(stderr, "%s: skipped: %s\n", name.c_str(), error.Message().c_str());
    return false;
  }
  ExchangePort exchangePort(port);
  FPCommand00 record;
  for (TBaudRate speed : speeds) {
    try {
      port.SetBaudRate(speed);
    } catch (const EComPort& error) {
      std::fprintf(stderr, "%s: %d bit/s skipped: %s\n", name.c_str(), BaudRateValue(speed),
                   error.Message().c_str());
      continue;
    }
    line.Rearm();
    record.Execute(fpcmd::ReadClock, "");
    if (fpres::IsExchangeFailure(record.ErrorCode)) continue;
    std::printf("%s %d %s\n", name.c_str(), BaudRateValue(speed), ClockText(record).c_str());
    std::fflush(stdout);
    return true;
  }
  std::fprintf(stderr, "%s: no answer at %s bit/s\n", name.c_str(), SpeedList(speeds).c_str());
  return false;
}

}  // namespace

std::vector<TBaudRate> DefaultProbeSpeeds() {
  return {br19200, br9600, br115200, br38400, br57600, br4800, br2400, br1200};
}

std::unique_ptr<SerialBackend> PrinterLine(TraceOutput* trace) {
  std::unique_ptr<SerialBackend> line = CreatePlatformBackend();
  if (!trace) return line;
  return std::make_unique<TraceBackend>(std::move(line), *trace, std::make_unique<FrameTrace>());
}

int RunPorts() {
  for (const DescribedPort& port : DescribeSerialPorts()) {
    std::string line = EscapeControls(port.name);
    for (const PortFact& fact : port.facts) {
      line += "\t" + fact.label + ": " + EscapeControls(fact.value);
    }
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

int RunFind(const std::vector<std::string>& ports, const std::vector<TBaudRate>& speeds,
            TraceOutput* trace) {
  bool found = false;
  for (const std::string& name : ports) found = ProbePort(name, speeds, trace) || found;
  if (ports.empty()) std::fputs("No serial port to probe.\n", stderr);
  return found ? 0 : 1;
}
