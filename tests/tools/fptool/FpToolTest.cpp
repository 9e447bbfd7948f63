// fptool as scripts see it: arguments, standard input, output and exit
// status, with the printer simulator published under a name of its own.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/CodePage.h"
#include "messages/P00_KVMsgDlg.h"
#include "tools/simulator/PrinterSimulator.h"

extern char** environ;

namespace {

using sim::Fault;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs fptool to its end (killed after 30 s), feeding `input` on standard input.
Outcome RunTool(const std::vector<std::string>& args, const std::string& input = "") {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<std::string> all = {FPTOOL_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, FPTOOL_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  Outcome outcome;
  if (spawned != 0) return outcome;

  fcntl(in[1], F_SETFL, O_NONBLOCK);
  std::size_t written = 0;
  if (input.empty()) close(in[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  bool outOpen = true, errOpen = true, inOpen = !input.empty();
  while ((outOpen || errOpen) && std::chrono::steady_clock::now() < deadline) {
    pollfd fds[3] = {{outOpen ? out[0] : -1, POLLIN, 0},
                     {errOpen ? err[0] : -1, POLLIN, 0},
                     {inOpen ? in[1] : -1, POLLOUT, 0}};
    poll(fds, 3, 100);
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? outcome.out : outcome.err).append(buffer, n);
      } else {
        (i == 0 ? outOpen : errOpen) = false;
      }
    }
    if (inOpen && (fds[2].revents & (POLLOUT | POLLERR))) {
      ssize_t n = write(in[1], input.data() + written, input.size() - written);
      if (n > 0) written += n;
      if (n < 0 || written == input.size()) {
        close(in[1]);
        inOpen = false;
      }
    }
  }
  if (inOpen) close(in[1]);
  if (outOpen || errOpen) kill(pid, SIGKILL);
  close(out[0]);
  close(err[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return outcome;
}

std::string Block(int code, int seq, int cmd, const std::string& data, const std::string& status,
                  const std::string& flags, const std::string& text) {
  return "ErrorCode: " + std::to_string(code) + "\nReplySequence: " + std::to_string(seq) +
         "\nReplyCommand: " + std::to_string(cmd) + "\nReplyData: " + data + "\nStatus: " + status +
         "\nStatusFlags: " + flags + "\nErrorText: " + text + "\n\n";
}

const std::string kNoStatus = "000000000000";

class FpTool : public ::testing::Test {
 protected:
  FpTool() : name_("ttyFPtool" + std::to_string(getpid())) {
    printer.Publish(name_);
    printer.SetClock(24, 12, 2023, 18, 5, 9);
  }

  // The tool on the simulator, reached by its published name.
  Outcome Tool(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--port", name_});
    return RunTool(args, input);
  }

  sim::PrinterSimulator printer;

 private:
  std::string name_;
};

TEST_F(FpTool, ExecPrintsOneResultBlock) {
  Outcome r = Tool({"exec", "62"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Block(0, 32, 62, "24-12-23 18:05:09", kNoStatus, "", ""));
  EXPECT_EQ(r.err, "");
}

TEST_F(FpTool, ResultBlockEscapesAndNamesTheSetFlags) {
  printer.SetReplyData(97, "a\\b\nc,\x9a");
  printer.InjectStatus({0x28, 0x00, 0x05, 0x00, 0x00, 0x01});
  Outcome r = Tool({"exec", "97"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Block(98, 32, 97, "a\\\\b\\nc,\x9a", "280005000001",
                         "Display Not Conn,GeneralError#,#NoPaper,NoPaperJrnl,*FMemRO",
                         "Nema JOURNAL papira!\\n\\nStatus: 280005000001"));
}

TEST_F(FpTool, BatchRunsEveryLineInOneNumbering) {
  Outcome r = Tool({"batch"}, "83\n96  20,,x y\n31\n96 \n96");
  EXPECT_EQ(r.status, 1);  // the line with command 31
  EXPECT_EQ(r.out, Block(0, 32, 83, "0,0,11111111", kNoStatus, "", "") +
                       Block(0, 33, 96, "", kNoStatus, "", "") +
                       Block(1, 33, 31, "", kNoStatus, "",
                             "Zadata komanda (31) je van opsega!\\n\\nStatus: " + kNoStatus) +
                       Block(0, 34, 96, "", kNoStatus, "", "") +
                       Block(0, 35, 96, "", kNoStatus, "", ""));
  const auto requests = printer.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[1].data, " 20,,x y");
  EXPECT_EQ(requests[2].data, "");
  EXPECT_EQ(requests[3].data, "");
}

TEST_F(FpTool, BatchWithAFailedExchangeEndsWithOne) {
  printer.Inject(Fault::Nak, 4);
  Outcome r = Tool({"batch"}, "62\n62\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("ErrorCode: 4\n"), std::string::npos);
  EXPECT_NE(r.out.find("ErrorCode: 0\n"), std::string::npos);
}

TEST_F(FpTool, UsageErrorsSendNothing) {
  const std::vector<std::vector<std::string>> calls = {
      {},
      {"status"},
      {"exec"},
      {"exec", "6x"},
      {"exec", "62", "", "more"},
      {"--baud", "1234", "clock"},
      {"--speed", "9600", "clock"},
      {"read-taxes", "now"},
      {"write-taxes", "1", "2", "3", "4", "5", "6", "7"},
  };
  for (const auto& call : calls) {
    Outcome r = Tool(call);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(call);
    EXPECT_NE(r.err.find("usage: fptool"), std::string::npos);
    EXPECT_EQ(r.out, "");
  }
  // A bad batch line stops the batch before anything is sent.
  Outcome r = Tool({"batch"}, "62\nclock\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("line 2"), std::string::npos);
  EXPECT_TRUE(printer.Requests().empty());
}

TEST(FpToolPort, PortFailureIsExitStatusThreeWithThePortsMessage) {
  Outcome r = RunTool({"--port", "/nonexistent/ttyFP", "exec", "62"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, "Unable to open com port (Error: 2)\n");
  EXPECT_EQ(r.out, "");
}

TEST_F(FpTool, ClockPrintsTheDateAndTime) {
  Outcome r = Tool({"clock"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "24.12.2023 18:05:09\n");

  printer.Inject(Fault::ShortLen);
  r = Tool({"clock"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "30.12.1899 00:00:00\n");
  EXPECT_EQ(r.err,
            "Komanda 62\nStampac je vratio duzinu 31 - van opsega!\n\nStatus: " + kNoStatus + "\n");
}

TEST_F(FpTool, XReportWaitsForPaperThroughStandardInput) {
  printer.InjectStatus(sim::StatusPaperOut(), 2);
  Outcome r = Tool({"x-report"}, "\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(printer.XReportCount(), 1);
  ASSERT_EQ(printer.Requests().size(), 3u);
  EXPECT_EQ(printer.Requests()[2].data, "2");
  // The paper-out notice, once per wait.
  const std::string notice = DeviceToUtf8(TFormKVMsgDlg().CatalogText(kPaperOutNotice)) + "\n";
  EXPECT_EQ(r.err, notice + notice);
}

TEST_F(FpTool, XReportFailuresEndWithOne) {
  printer.Inject(Fault::Nak, 4);
  Outcome r = Tool({"x-report"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "Komanda 69 - Stampa preseka stanja 2\nStampac javlja greske u komunikaciji - "
            "proverite kabl!\n\nStatus: " +
                kNoStatus + "\n");

  // With standard input ended nobody can put paper in: no endless retries.
  printer.ClearInjections();
  printer.InjectStatus(sim::StatusPaperOut(), sim::kAlways);
  r = Tool({"x-report"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Standard input ended"), std::string::npos);
  EXPECT_EQ(printer.XReportCount(), 0);
}

TEST_F(FpTool, ReadTaxesPrintsTheEightGroups) {
  printer.SetEnableMask("11000001");
  printer.SetRates({"20.00", "10.00", "", "x", " 5 ", "0", "0", "8.5"});
  Outcome r = Tool({"read-taxes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "A 1 20.00\nB 1 10.00\nC 0 \nD 0 x\nE 0  5 \nF 0 0\nG 0 0\nH 1 8.5\n");
}

TEST_F(FpTool, WriteTaxesSendsTheRatesOfTheEnabledGroups) {
  printer.SetEnableMask("10100000");
  Outcome r = Tool({"write-taxes", "21", "b", "9", "d", "e", "f", "g", "h"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto requests = printer.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].command, 83);
  EXPECT_EQ(requests[1].command, 96);
  EXPECT_EQ(requests[1].data, "21,9,");
  EXPECT_EQ(printer.Rates()[2], "9");
}

TEST_F(FpTool, WriteTaxesWritesNothingWithoutAMaskOrWithACommaInARate) {
  printer.Inject(Fault::ShortLen);
  Outcome r = Tool({"write-taxes", "1", "2", "3", "4", "5", "6", "7", "8"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Komanda 83"), std::string::npos);

  r = Tool({"write-taxes", "7,5", "2", "3", "4", "5", "6", "7", "8"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.err.empty());
  for (const sim::Request& request : printer.Requests()) EXPECT_NE(request.command, 96);
}

}  // namespace
