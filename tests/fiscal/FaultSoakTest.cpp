// Thousands of exchanges against the printer simulator, each with faults and
// printer conditions drawn from a seeded generator: every result code must be
// the one its faults call for, no exchange may outlast its time-outs, and
// memory must not grow. The seed is printed; FP_SOAK_SEED=<seed> replays a
// run, FP_SOAK_EXCHANGES=<n> changes its length.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fiscal/P00_fpsend.h"
#include "serial/PortDefaults.h"
#include "tools/simulator/PrinterSimulator.h"

// GCC names AddressSanitizer with a macro; clang before 15 only through
// __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define FP_SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FP_SOAK_UNDER_ASAN 1
#endif
#endif

namespace {

using sim::Fault;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Short read time-outs: a silent attempt costs 7 reads of 10 ms, not 1.4 s,
// yet a reply has 70 ms to start, ample for a simulator on the same machine.
constexpr int kReadTimeoutMs = 10;
constexpr auto kXoffHold = milliseconds(5);
constexpr int kDefaultExchanges = 2000;
constexpr int kWarmUpExchanges = 200;

const std::vector<Fault> kFaults = {
    Fault::Nak,
    Fault::Silence,
    Fault::SynBeforeReply,
    Fault::WrongSequence,
    Fault::WrongCommand,
    Fault::BadChecksum,
    Fault::MisplacedSeparator,
    Fault::ShortLen,
    Fault::LenBelowMinimum,
    Fault::NoLen,
    Fault::Truncated,
    Fault::XoffHold,
};

struct Condition {
  const char* name;
  std::optional<sim::StatusBytes> status;
  std::int32_t code;  // what Execute makes of an accepted reply with it
};

const std::vector<Condition> kConditions = {
    {"none", std::nullopt, 0},
    {"paper-out", sim::StatusPaperOut(), 99},
    {"journal-paper-out", sim::StatusJournalPaperOut(), 98},
    {"general-error", sim::StatusGeneralError(), 100},
    {"display-not-connected", sim::StatusDisplayNotConnected(), 97},
};

struct Request {
  int command;
  const char* data;
  const char* reply;  // the simulator's reply data; nullptr: not fixed
};

const std::vector<Request> kRequests = {
    {62, "", nullptr},
    {69, "2", ""},
    {83, "", "0,0,11111111"},
    {97, "", "20.00,10.00,0.00,0.00,0.00,0.00,0.00,0.00"},
};

// One exchange's draw: the faults of its first frames, in order, and the
// printer's condition.
struct Plan {
  std::vector<Fault> faults;
  const Condition* condition;
  const Request* request;
};

struct Outcome {
  std::int32_t code;
  std::size_t frames;  // request frames the exchange sends
};

// What the exchange must make of a plan: the frame exchange's rules applied
// to the faults one attempt after another.
Outcome Expected(const Plan& plan) {
  std::int32_t lastSet = 0;
  int naks = 0;
  for (std::size_t attempt = 0; attempt < static_cast<std::size_t>(MaxAttempts); ++attempt) {
    const Fault fault = attempt < plan.faults.size() ? plan.faults[attempt] : Fault::None;
    const std::size_t frames = attempt + 1;
    switch (fault) {
      case Fault::None:
      case Fault::SynBeforeReply:
        return {plan.condition->code, frames};
      case Fault::Nak:
        if (++naks > MaxNak) return {4, frames};
        break;
      case Fault::ShortLen:
        return {6, frames};
      case Fault::Silence:
      case Fault::XoffHold:
        lastSet = 3;
        break;
      case Fault::NoLen:
        lastSet = 5;
        break;
      case Fault::Truncated:
        lastSet = 7;
        break;
      default:  // a reply that fails its checks sets nothing
        break;
    }
  }
  return {lastSet != 0 ? lastSet : 8, static_cast<std::size_t>(MaxAttempts)};
}

std::string Describe(const Plan& plan) {
  std::string text = "command " + std::to_string(plan.request->command) + ", faults [";
  for (std::size_t i = 0; i < plan.faults.size(); ++i) {
    text += (i ? " " : "") + std::string(sim::FaultName(plan.faults[i]));
  }
  return text + "], status " + plan.condition->name;
}

// Mostly clean exchanges, some with one fault, a few with a whole run of them.
Plan Draw(std::mt19937& random) {
  static const std::discrete_distribution<int> faultCount({45, 30, 10, 8, 7});
  static const std::discrete_distribution<int> condition({80, 5, 5, 5, 5});
  auto faultCountDraw = faultCount;
  auto conditionDraw = condition;
  Plan plan;
  const int count = faultCountDraw(random);
  std::uniform_int_distribution<std::size_t> anyFault(0, kFaults.size() - 1);
  for (int i = 0; i < count; ++i) plan.faults.push_back(kFaults[anyFault(random)]);
  plan.condition = &kConditions[conditionDraw(random)];
  std::uniform_int_distribution<std::size_t> anyRequest(0, kRequests.size() - 1);
  plan.request = &kRequests[anyRequest(random)];
  return plan;
}

// Resident memory of this process in KiB.
long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The longest an exchange may take: every wait the frame exchange allows,
// for all four attempts, at the read time-out, plus room for a busy machine.
milliseconds ExchangeBound() {
  const int waitsPerAttempt = MaxEmptyReads + MaxEmptyReads + MaxBlockReads + 1;
  return milliseconds(MaxAttempts * waitsPerAttempt * (2 * kReadTimeoutMs) + 2000);
}

// Ends the process with the seed if an exchange never returns, so that a
// hang is reported with what replays it instead of as a bare time-out.
class Watchdog {
 public:
  Watchdog(unsigned seed, milliseconds limit)
      : seed_(seed), limit_(limit), thread_([this] { Watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void Start(int exchange) {
    std::lock_guard lock(mutex_);
    exchange_ = exchange;
    started_ = Clock::now();
    running_ = true;
  }
  void Stop() {
    std::lock_guard lock(mutex_);
    running_ = false;
  }

 private:
  void Watch() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
      wake_.wait_for(lock, milliseconds(200));
      if (running_ && Clock::now() - started_ > limit_) {
        std::fprintf(stderr, "exchange %d hangs; replay with FP_SOAK_SEED=%u\n", exchange_, seed_);
        std::abort();
      }
    }
  }

  unsigned seed_;
  milliseconds limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool running_ = false;
  int exchange_ = 0;
  Clock::time_point started_;
  std::thread thread_;
};

unsigned SeedFromEnvironment() {
  if (const char* text = std::getenv("FP_SOAK_SEED")) {
    return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
  }
  return std::random_device{}();
}

int ExchangesFromEnvironment() {
  if (const char* text = std::getenv("FP_SOAK_EXCHANGES")) return std::atoi(text);
  return kDefaultExchanges;
}

class FaultSoak : public ::testing::Test {
 protected:
  FaultSoak() {
    SetProgramStartValues(port);
    port.SetPort(printer.PortPath());
    port.Timeouts().SetReadInterval(kReadTimeoutMs);
    port.Timeouts().SetReadTotalMultiplier(0);
    port.Timeouts().SetReadTotalConstant(kReadTimeoutMs);
    printer.SetXoffHoldTime(kXoffHold);
    FiscalPort = &port;
  }
  ~FaultSoak() override { FiscalPort = nullptr; }

  // Runs one planned exchange and returns what went wrong, if anything.
  std::string Run(const Plan& plan) {
    printer.ClearInjections();
    printer.ClearRequests();
    for (Fault fault : plan.faults) printer.Inject(fault);
    if (plan.condition->status) printer.InjectStatus(*plan.condition->status, sim::kAlways);

    const Outcome expected = Expected(plan);
    record.Execute(plan.request->command, plan.request->data);
    const std::vector<sim::Request> frames = printer.Requests();

    std::string problem;
    if (record.ErrorCode != expected.code) {
      problem += " code " + std::to_string(record.ErrorCode) + ", expected " +
                 std::to_string(expected.code) + ";";
    }
    if (frames.size() != expected.frames) {
      problem += " " + std::to_string(frames.size()) + " frames sent, expected " +
                 std::to_string(expected.frames) + ";";
    }
    for (const sim::Request& frame : frames) {
      if (!frame.intact || frame.frame != frames.front().frame) {
        problem += " a resend differs from the first frame or is damaged;";
        break;
      }
    }
    const bool accepted = expected.code == 0 || expected.code >= 97;
    if (accepted && plan.request->reply != nullptr &&
        std::string(record.ReplyData) != plan.request->reply) {
      problem += " reply data \"" + std::string(record.ReplyData) + "\";";
    }
    if (!accepted && record.ReplyData[0] != '\0') problem += " reply data after a failure;";
    return problem;
  }

  sim::PrinterSimulator printer;
  TComPort port;
  FPCommand00 record;
};

// Each fault alone, on the first frame only: the exchange recovers on the
// resend (or stops at once for a LEN below 32), and every frame it sends is
// the first one again, sequence number and check sum included.
TEST_F(FaultSoak, EachFaultOnceIsRecoveredWithTheSameFrame) {
  for (Fault fault : kFaults) {
    Plan plan{{fault}, &kConditions[0], &kRequests[0]};
    EXPECT_EQ(Run(plan), "") << Describe(plan);
  }
}

TEST_F(FaultSoak, RandomFaultsGiveTheirCodesWithoutHangOrGrowth) {
  const unsigned seed = SeedFromEnvironment();
  const int exchanges = ExchangesFromEnvironment();
  std::printf("fault soak: seed %u, %d exchanges (replay: FP_SOAK_SEED=%u)\n", seed, exchanges,
              seed);
  std::fflush(stdout);
  RecordProperty("seed", std::to_string(seed));
  std::mt19937 random(seed);
  const milliseconds bound = ExchangeBound();
  Watchdog watchdog(seed, 5 * bound);

  long residentAfterWarmUp = 0;
  int failures = 0;
  for (int i = 0; i < exchanges && failures < 10; ++i) {
    const Plan plan = Draw(random);
    watchdog.Start(i);
    const auto start = Clock::now();
    std::string problem = Run(plan);
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    watchdog.Stop();
    if (took > bound) {
      problem += " took " + std::to_string(took.count()) + " ms, bound " +
                 std::to_string(bound.count()) + " ms;";
    }
    if (!problem.empty()) {
      ++failures;
      ADD_FAILURE() << "exchange " << i << " (" << Describe(plan) << "):" << problem
                    << " replay with FP_SOAK_SEED=" << seed;
    }
    if (i + 1 == kWarmUpExchanges) residentAfterWarmUp = ResidentKiB();
  }
#ifndef FP_SOAK_UNDER_ASAN
  // AddressSanitizer holds freed memory back on purpose; there only its own
  // leak check speaks.
  if (exchanges > kWarmUpExchanges) {
    EXPECT_LE(ResidentKiB() - residentAfterWarmUp, 1024)
        << "resident memory grew over the soak; seed " << seed;
  }
#endif
}

}  // namespace
