// What the tool costs: exchanges over a pseudo-terminal against the printer
// simulator (answering at once, and at the line's real speed), the give-up
// time against a silent printer, and the program's start-up. Prints Google
// Benchmark's report and then a summary table. Reports only; never fails.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "device/TaxRules.h"
#include "fiscal/P00_fpsend.h"
#include "serial/PortDefaults.h"
#include "tools/simulator/PrinterSimulator.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::duration<double, std::micro>;

// One byte on the line: a start bit, eight data bits and a stop bit at
// 19200 bit/s is 520.8 µs; the simulator paces whole microseconds, so it
// sends at 521 µs a byte and the wire time is reckoned at that pace.
constexpr auto kBytePace = std::chrono::microseconds(521);
constexpr double kPrescribedGiveUpMs = 28 * 200.0;
constexpr int kReplyFrameOverhead = 26;  // a reply of LEN L is L - 26 bytes long

// The table printed at the end: one row per measurement, last run wins.
struct Row {
  std::string result;
  std::string target;
};
std::map<std::string, Row>& Table() {
  static std::map<std::string, Row> table;
  return table;
}
std::vector<std::string>& TableOrder() {
  static std::vector<std::string> order;
  return order;
}
void Report(const std::string& what, const std::string& result, const std::string& target = "") {
  if (Table().find(what) == Table().end()) TableOrder().push_back(what);
  Table()[what] = {result, target};
}
std::string Format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// The program's port on the simulator's pseudo-terminal.
class Line {
 public:
  Line() {
    SetProgramStartValues(port);
    port.SetPort(printer.PortPath());
    FiscalPort = &port;
  }
  ~Line() { FiscalPort = nullptr; }

  sim::PrinterSimulator printer;
  TComPort port;
  FPCommand00 record;
};

// Bytes of the reply frame the record last accepted.
int ReplyBytes(const FPCommand00& record) {
  return record.Length - kReplyFrameOverhead;
}

// One exchange of each kind measured; returns the reply bytes it carried,
// or -1 when it failed.
using Exchange = std::function<int(FPCommand00&)>;

int ClockExchange(FPCommand00& record) {
  record.Execute(62, "");
  return record.ErrorCode == 0 ? ReplyBytes(record) : -1;
}

int ReadTaxesExchange(FPCommand00& record) {
  ReadEnableMask(record);
  if (record.ErrorCode != 0) return -1;
  const int maskBytes = ReplyBytes(record);
  ReadRates(record);
  if (record.ErrorCode != 0) return -1;
  return maskBytes + ReplyBytes(record);
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// Times one iteration's work as the benchmark's manual time; returns µs.
template <typename Work>
double TimeIteration(benchmark::State& state, Work&& work) {
  const auto start = Clock::now();
  work();
  const Micros took = Clock::now() - start;
  state.SetIterationTime(took.count() / 1e6);
  return took.count();
}

// Runs the exchange for the benchmark's iterations; gives the median µs of
// one and the reply bytes it carried, or false on a failed exchange. The
// median, because a machine shared with other work has its odd slow turn.
bool Measure(benchmark::State& state, Line& line, const Exchange& exchange, double& medianMicros,
             int& replyBytes) {
  std::vector<double> samples;
  replyBytes = 0;
  for (auto _ : state) {
    samples.push_back(TimeIteration(state, [&] { replyBytes = exchange(line.record); }));
    if (replyBytes < 0) {
      state.SkipWithError(line.record.ErrorText());
      return false;
    }
  }
  medianMicros = Median(samples);
  return true;
}

void RoundTrip(benchmark::State& state, const std::string& name, const Exchange& exchange) {
  Line line;
  double meanMicros = 0;
  int replyBytes = 0;
  if (!Measure(state, line, exchange, meanMicros, replyBytes)) return;
  Report("Round trip, " + name + ", simulator answering at once", Format("%.0f µs", meanMicros));
}

void PacedRoundTrip(benchmark::State& state, const std::string& name, const Exchange& exchange) {
  Line line;
  line.printer.SetBytePacing(kBytePace);
  double medianMicros = 0;
  int replyBytes = 0;
  if (!Measure(state, line, exchange, medianMicros, replyBytes)) return;
  const double wireMicros = replyBytes * static_cast<double>(kBytePace.count());
  const double ratio = medianMicros / wireMicros;
  state.counters["wire_ratio"] = ratio;
  Report("Round trip, " + name + ", reply paced at 19200 bit/s: time / wire time",
         Format("%.3f", ratio) + Format(" (%.1f ms", medianMicros / 1000) +
             Format(" for %.0f reply bytes)", replyBytes),
         "at most 1.02");
}

void BM_ClockRoundTrip(benchmark::State& state) {
  RoundTrip(state, "command 62", ClockExchange);
}
void BM_ReadTaxesRoundTrip(benchmark::State& state) {
  RoundTrip(state, "ReadTaxes (83 + 97)", ReadTaxesExchange);
}
void BM_ClockPaced(benchmark::State& state) {
  PacedRoundTrip(state, "command 62", ClockExchange);
}
void BM_ReadTaxesPaced(benchmark::State& state) {
  PacedRoundTrip(state, "ReadTaxes (83 + 97)", ReadTaxesExchange);
}

// A printer that never answers, at the program's own time-outs.
void BM_SilentPrinterGiveUp(benchmark::State& state) {
  Line line;
  line.printer.Inject(sim::Fault::Silence, sim::kAlways);
  std::vector<double> samples;
  for (auto _ : state) {
    samples.push_back(TimeIteration(state, [&] { line.record.Execute(62, ""); }));
    if (line.record.ErrorCode != 3) {
      state.SkipWithError("a silent printer did not give code 3");
      return;
    }
  }
  const double medianMs = Median(samples) / 1000;
  const double deviation = (medianMs / kPrescribedGiveUpMs - 1) * 100;
  state.counters["deviation_percent"] = deviation;
  Report("Silent printer: time to give up (code 3)",
         Format("%.0f ms", medianMs) + Format(" (%+.1f %% of 28 × 200 ms)", deviation),
         "within 3 %");
}

// Spawns the start-up probe; returns the time to its "shown" line and the
// child's peak resident memory in KiB, or false when it did not report.
bool StartOnce(double& shownMs, long& peakKiB) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  // Qt's notes on the environment would only clutter the report.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char program[] = FP_STARTUP_PROBE;
  char* arguments[] = {program, nullptr};
  const auto start = Clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program, &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    return false;
  }
  char line[16] = {};
  const ssize_t got = read(pipeEnds[0], line, sizeof line - 1);
  shownMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  close(pipeEnds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  peakKiB = usage.ru_maxrss;
  return got > 0 && std::strncmp(line, "shown", 5) == 0;
}

void BM_StartToMainWindow(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::vector<double> samples;
  long peakKiB = 0;
  for (auto _ : state) {
    double shownMs = 0;
    long childPeak = 0;
    if (!StartOnce(shownMs, childPeak)) {
      state.SkipWithError("the start-up probe did not show its main window");
      return;
    }
    state.SetIterationTime(shownMs / 1000);
    samples.push_back(shownMs);
    peakKiB = std::max(peakKiB, childPeak);
  }
  const double medianMs = Median(samples);
  state.counters["peak_MiB"] = peakKiB / 1024.0;
  Report("Program start to main window shown (offscreen)", Format("%.0f ms", medianMs));
  Report("Peak memory of the program up to then", Format("%.1f MiB", peakKiB / 1024.0));
}

BENCHMARK(BM_ClockRoundTrip)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_ReadTaxesRoundTrip)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_ClockPaced)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_ReadTaxesPaced)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_SilentPrinterGiveUp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK(BM_StartToMainWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void PrintTable() {
  std::printf("\n| Measurement | Result | Target |\n|---|---|---|\n");
  for (const std::string& what : TableOrder()) {
    const Row& row = Table()[what];
    std::printf("| %s | %s | %s |\n", what.c_str(), row.result.c_str(),
                row.target.empty() ? "—" : row.target.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintTable();
  return 0;
}
