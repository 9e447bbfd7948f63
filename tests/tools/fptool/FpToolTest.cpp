// fptool as scripts see it: arguments, standard input, output and exit
// status, with the printer simulator published under a name of its own.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "framework/CodePage.h"
#include "messages/P00_KVMsgDlg.h"
#include "serial/CPort.h"
#include "tests/support/PtyPair.h"
#include "tests/tools/support/RunProgram.h"
#include "tools/simulator/PrinterSimulator.h"

namespace {

using sim::Fault;

Outcome RunTool(const std::vector<std::string>& args, const std::string& input = "",
                int stdinFd = -1) {
  return RunProgram(FPTOOL_PATH, args, input, stdinFd);
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
  Outcome Tool(std::vector<std::string> args, const std::string& input = "", int stdinFd = -1) {
    args.insert(args.begin(), {"--port", name_});
    return RunTool(args, input, stdinFd);
  }

  std::vector<int> RequestedCommands() const {
    std::vector<int> commands;
    for (const sim::Request& request : printer.Requests()) commands.push_back(request.command);
    return commands;
  }

  const std::string& PortName() const { return name_; }

  // The data of the last request with `command`.
  std::string SentData(int command) const {
    std::string data;
    for (const sim::Request& request : printer.Requests()) {
      if (request.command == command) data = request.data;
    }
    return data;
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
      // Rates the printer's code page cannot carry: broken UTF-8, a letter
      // Windows-1250 lacks, a character beyond the BMP.
      {"write-taxes", "\xC4", "2", "3", "4", "5", "6", "7", "8"},
      {"write-taxes", "1", "2\xFF", "3", "4", "5", "6", "7", "8"},
      {"write-taxes", "1", "2", "3", "4", "5", "6", "7", "\xD0\xB6"},
      {"write-taxes", "1", "2", "3", "\xF0\x9F\x98\x80", "5", "6", "7", "8"},
  };
  for (const auto& call : calls) {
    Outcome r = Tool(call);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(call);
    EXPECT_NE(r.err.find("usage: fptool"), std::string::npos);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(printer.Requests().empty());
  // A bad batch line stops the batch before anything is sent.
  Outcome r = Tool({"batch"}, "62\nclock\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("line 2"), std::string::npos);
  EXPECT_TRUE(printer.Requests().empty());
}

// The port's own message, whatever it says, is what the user reads.
TEST(FpToolPort, PortFailureIsExitStatusThreeWithThePortsMessage) {
  std::string message;
  try {
    TComPort port;
    port.SetPort("/nonexistent/ttyFP");
    port.Open();
  } catch (const EComPort& error) {
    message = error.Message();
  }
  ASSERT_FALSE(message.empty());
  Outcome r = RunTool({"--port", "/nonexistent/ttyFP", "exec", "62"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, message + "\n");
  EXPECT_EQ(r.out, "");
}

TEST_F(FpTool, ClockPrintsTheDateAndTime) {
  Outcome r = Tool({"clock"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "24.12.2023 18:05:09\n");
}

// No date-time is ever printed that the printer did not give.
TEST_F(FpTool, ClockWithoutAValidReplyPrintsOnlyTheReason) {
  printer.SetReplyData(62, "31-02-24 10:00:00 \xE8");
  Outcome r = Tool({"clock"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "The printer's clock reply holds no valid date and time: \"31-02-24 10:00:00 "
            "\xC4\x8D\"\n");

  printer.Inject(Fault::ShortLen);
  r = Tool({"clock"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
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

TEST_F(FpTool, PaperOutAtATerminalTellsThePersonToPressEnter) {
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(terminal, 0);
  ASSERT_EQ(grantpt(terminal), 0);
  ASSERT_EQ(unlockpt(terminal), 0);
  const int keyboard = open(ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(keyboard, 0);
  ASSERT_EQ(write(terminal, "\n", 1), 1);  // Enter, typed ahead

  printer.InjectStatus(sim::StatusPaperOut());
  Outcome r = Tool({"x-report"}, "", keyboard);
  close(keyboard);
  close(terminal);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("press Enter"), std::string::npos) << r.err;
  EXPECT_EQ(printer.XReportCount(), 1);
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

// Nothing is shown as the printer's groups unless its replies came; a reply
// with a printer condition did come, and is shown as the editor shows it.
TEST_F(FpTool, ReadTaxesWithoutValidRepliesPrintsNothing) {
  const std::vector<std::vector<int>> failingAt = {{83}, {83, 97}};
  for (const std::vector<int>& sent : failingAt) {
    printer.ClearRequests();
    if (sent.size() > 1) printer.Inject(Fault::None);
    printer.Inject(Fault::ShortLen);
    Outcome r = Tool({"read-taxes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Komanda " + std::to_string(sent.back())), std::string::npos) << r.err;
    EXPECT_EQ(RequestedCommands(), sent);
  }

  printer.InjectStatus(sim::StatusGeneralError());
  Outcome r = Tool({"read-taxes"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "A 1 20.00\nB 1 10.00\nC 1 0.00\nD 1 0.00\nE 1 0.00\nF 1 0.00\nG 1 0.00\nH 1 0.00\n");
  EXPECT_NE(r.err.find("Komanda 83"), std::string::npos) << r.err;
}

// People's commands speak UTF-8 and the printer Windows-1250; the raw
// commands send every byte as given.
TEST_F(FpTool, TaxCommandsConvertTextWhileExecSendsBytesAsGiven) {
  printer.SetEnableMask("11000000");
  Outcome r = Tool({"write-taxes", "\xC4\x8D",
                    "\xC5\xBD"
                    "5",
                    "c", "d", "e", "f", "g", "h"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(SentData(96),
            "\xE8,\x8E"
            "5,");
  r = Tool({"read-taxes"});
  EXPECT_EQ(r.out,
            "A 1 \xC4\x8D\nB 1 \xC5\xBD"
            "5\nC 0 0.00\nD 0 0.00\nE 0 0.00\nF 0 0.00\nG 0 0.00\nH 0 0.00\n");

  std::string low, high;
  for (int byte = 1; byte < 128; ++byte) low += static_cast<char>(byte);
  for (int byte = 128; byte < 256; ++byte) high += static_cast<char>(byte);
  printer.ClearRequests();
  for (const std::string& data : {std::string("\xC4\x8D"), low, high}) {
    r = Tool({"exec", "96", data});
    EXPECT_EQ(r.status, 0) << r.err;
  }
  const auto requests = printer.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].data, "\xC4\x8D");
  EXPECT_EQ(requests[1].data, low);
  EXPECT_EQ(requests[2].data, high);
}

TEST_F(FpTool, BatchTakesCrLfLineEnds) {
  Outcome r = Tool({"batch"}, "62\r\n96 1,2\r\n83\r\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(RequestedCommands(), (std::vector<int>{62, 96, 83}));
  EXPECT_EQ(printer.Requests().at(1).data, "1,2");
}

TEST(FpToolVersion, IsTheProjectVersion) {
  Outcome r = RunTool({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "fptool " PROJECT_VERSION_TEXT "\n");
}

TEST_F(FpTool, ReadTaxesPrintsTheEightGroups) {
  printer.SetEnableMask("11000001");
  printer.SetRates({"20.00", "10.00", "", "x", " 5 ", "0", "0", "8.5"});
  Outcome r = Tool({"read-taxes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "A 1 20.00\nB 1 10.00\nC 0 \nD 0 x\nE 0  5 \nF 0 0\nG 0 0\nH 1 8.5\n");
}

// write-taxes is a checked change: clock, mask and rates read, the rates of
// the enabled groups written, read back and compared.

const std::vector<std::string> kAsked = {"21", "b", "9", "d", "e", "f", "g", "h"};

std::vector<std::string> WriteTaxes(std::vector<std::string> options) {
  options.insert(options.begin(), "write-taxes");
  options.insert(options.end(), kAsked.begin(), kAsked.end());
  return options;
}

TEST_F(FpTool, WriteTaxesReadsBackWhatItWroteAndShowsTheTable) {
  printer.SetEnableMask("10100000");
  Outcome r = Tool(WriteTaxes({}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(RequestedCommands(), (std::vector<int>{62, 83, 97, 96, 97}));
  EXPECT_EQ(SentData(96), "21,9,");
  EXPECT_EQ(r.out,
            "group  enabled  before   asked  read back  check\n"
            "A      1        \"20.00\"  \"21\"   \"21\"       ok\n"
            "B      0        \"10.00\"  \"b\"    \"10.00\"    not sent\n"
            "C      1        \"0.00\"   \"9\"    \"9\"        ok\n"
            "D      0        \"0.00\"   \"d\"    \"0.00\"     not sent\n"
            "E      0        \"0.00\"   \"e\"    \"0.00\"     not sent\n"
            "F      0        \"0.00\"   \"f\"    \"0.00\"     not sent\n"
            "G      0        \"0.00\"   \"g\"    \"0.00\"     not sent\n"
            "H      0        \"0.00\"   \"h\"    \"0.00\"     not sent\n");
  EXPECT_EQ(r.err, "");
}

// A printer that answers 96 without taking the rates is caught by the
// read-back; one that normalises a rate shows the same way.
TEST_F(FpTool, WriteTaxesNamesTheGroupsThatReadBackOtherwise) {
  printer.SetEnableMask("10100000");
  printer.Inject(Fault::IgnoreRates, sim::kAlways);
  Outcome r = Tool(WriteTaxes({}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "The printer reads back other rates than were written for group(s) A, C.\n");
  EXPECT_NE(r.out.find("A      1        \"20.00\"  \"21\"   \"20.00\"    DIFFERS\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(SentData(96), "21,9,");
}

TEST_F(FpTool, WriteTaxesWritesNothingAfterAFailedReadOrARefusedRate) {
  // The clock, the mask, the rates: each read brings no reply in turn.
  for (int failing = 0; failing < 3; ++failing) {
    printer.ClearRequests();
    if (failing > 0) printer.Inject(Fault::None, failing);
    printer.Inject(Fault::ShortLen);
    Outcome r = Tool(WriteTaxes({}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("No rates were written."), std::string::npos) << r.err;
    EXPECT_EQ(RequestedCommands().size(), static_cast<std::size_t>(failing + 1));
  }

  printer.ClearRequests();
  Outcome r = Tool({"write-taxes", "7,5", "2", "3", "4", "5", "6", "7", "8"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("zarez"), std::string::npos) << r.err;
  EXPECT_EQ(RequestedCommands(), (std::vector<int>{62, 83, 97}));
}

// A write whose read-back brings no reply is no proof: status 1, and said.
TEST_F(FpTool, WriteTaxesWithoutAReadBackFails) {
  printer.Inject(Fault::None, 4);
  printer.Inject(Fault::ShortLen);
  Outcome r = Tool(WriteTaxes({}));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The rates could not be read back."), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("A      1        \"20.00\"  \"21\"   -"), std::string::npos) << r.out;
}

TEST_F(FpTool, WriteTaxesDryRunShowsTheDataOf96AndSendsNone) {
  printer.SetEnableMask("10100001");
  Outcome r = Tool(WriteTaxes({"--dry-run"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(RequestedCommands(), (std::vector<int>{62, 83, 97}));
  EXPECT_NE(r.out.find("C      1        \"0.00\"   \"9\"    -\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nCommand 96 would carry: 21,9,h\n"), std::string::npos) << r.out;
}

// Each change appends one record to what the file holds, and the log changes
// nothing that is sent.
TEST_F(FpTool, WriteTaxesLogAppendsOneRecordPerChange) {
  const std::string logPath = ::testing::TempDir() + "fptool-changes-" + PortName() + ".tsv";
  std::remove(logPath.c_str());
  printer.SetEnableMask("10100000");
  Outcome r = Tool(WriteTaxes({"--log", logPath}));
  EXPECT_EQ(r.status, 0) << r.err;
  const auto sentWithLog = printer.Requests();
  r = Tool(WriteTaxes({"--log", logPath, "--dry-run"}));
  EXPECT_EQ(r.status, 0) << r.err;
  printer.Inject(Fault::IgnoreRates, sim::kAlways);
  r = Tool({"--port", PortName(), "write-taxes", "--log", logPath, "22", "b", "8", "d", "e", "f",
            "g", "h"});
  EXPECT_EQ(r.status, 1);
  printer.ClearInjections();

  std::ifstream file(logPath);
  std::vector<std::vector<std::string>> records;
  for (std::string line; std::getline(file, line);) {
    std::vector<std::string> fields;
    for (std::size_t start = 0, tab;; start = tab + 1) {
      tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
    }
    records.push_back(fields);
  }
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0],
            (std::vector<std::string>{"time", "port", "printer clock", "mask", "rates before",
                                      "rates asked", "rates read back", "outcome"}));
  const std::regex localTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)");
  for (std::size_t i = 1; i < records.size(); ++i) {
    ASSERT_EQ(records[i].size(), 8u) << i;
    EXPECT_TRUE(std::regex_match(records[i][0], localTime)) << records[i][0];
    EXPECT_EQ(records[i][1], PortName());
    EXPECT_EQ(records[i][2], "2023-12-24T18:05:09");
    EXPECT_EQ(records[i][3], "10100000");
  }
  EXPECT_EQ(records[1][4], "20.00,10.00,0.00,0.00,0.00,0.00,0.00,0.00");
  EXPECT_EQ(records[1][5], "21,b,9,d,e,f,g,h");
  EXPECT_EQ(records[1][6], "21,10.00,9,0.00,0.00,0.00,0.00,0.00");
  EXPECT_EQ(records[1][7], "ok");
  EXPECT_EQ(records[2][6], "");
  EXPECT_EQ(records[2][7], "dry run, nothing written");
  EXPECT_EQ(records[3][4], records[1][6]);
  EXPECT_EQ(records[3][5], "22,b,8,d,e,f,g,h");
  EXPECT_EQ(records[3][6], records[1][6]);
  EXPECT_EQ(records[3][7], "read back differs in A, C");
  std::remove(logPath.c_str());

  // The same change without a log sends the very same frames.
  printer.ClearRequests();
  printer.SetRates({"20.00", "10.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"});
  Tool(WriteTaxes({}));
  const auto sentWithoutLog = printer.Requests();
  ASSERT_EQ(sentWithoutLog.size(), sentWithLog.size());
  for (std::size_t i = 0; i < sentWithoutLog.size(); ++i) {
    EXPECT_EQ(sentWithoutLog[i].frame, sentWithLog[i].frame) << i;
  }
}

// find: ports and speeds probed with one request each, the printer's clock
// printed where it answered.

TEST_F(FpTool, FindNamesThePortAndSpeedWhereThePrinterAnswers) {
  printer.SetLineSpeed(38400);
  Outcome r = RunTool({"find", "--ports", PortName()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, PortName() + " 38400 24.12.2023 18:05:09\n");
  // 19200, 9600 and 115200 went unanswered: one request each, no resends.
  EXPECT_EQ(RequestedCommands(), (std::vector<int>{62, 62, 62, 62}));

  r = RunTool({"find", "--ports", PortName(), "--bauds", "9600,4800"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(PortName() + ": no answer at 9600, 4800 bit/s"), std::string::npos) << r.err;
}

TEST_F(FpTool, FindGivesUpASilentPortWithinTheBound) {
  printer.Inject(Fault::Silence, sim::kAlways);
  const auto start = std::chrono::steady_clock::now();
  Outcome r = RunTool({"find", "--ports", PortName()});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(": no answer at 19200, 9600, 115200, 38400, 57600, 4800, 2400, 1200 bit/s"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(printer.Requests().size(), 8u);
  EXPECT_LT(took, std::chrono::seconds(5));
}

// A port another program holds is not touched: skipped, with the port's reason.
TEST_F(FpTool, FindSkipsAPortAnotherProgramHolds) {
  std::string reason;
  TComPort holder;
  holder.SetPort(PortName());
  holder.Open();
  try {
    TComPort second;
    second.SetPort(PortName());
    second.Open();
  } catch (const EComPort& error) {
    reason = error.Message();
  }
  ASSERT_FALSE(reason.empty());

  Outcome r = RunTool({"find", "--ports", PortName() + ",/nonexistent/ttyFP"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(PortName() + ": skipped: " + reason), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("/nonexistent/ttyFP: skipped: "), std::string::npos) << r.err;
  EXPECT_TRUE(printer.Requests().empty());
}

TEST_F(FpTool, PortsListsAPublishedPortWithTheDeviceItLeadsTo) {
  Outcome r = RunTool({"ports"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(PortName() + "\tlink: " + printer.PortPath() + "\n"), std::string::npos)
      << r.out;

  r = RunTool({"--port", PortName(), "find"});
  EXPECT_EQ(r.status, 2);
}

// The trace shows every byte both ways and what each frame says, without
// changing what is sent or printed.
TEST_F(FpTool, TraceDecodesBothFramesOfAnExchange) {
  const std::string tracePath = ::testing::TempDir() + "fptool-trace-" + PortName();
  std::remove(tracePath.c_str());
  printer.Inject(Fault::Nak);
  Outcome r = Tool({"--trace", tracePath, "exec", "62"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Block(0, 32, 62, "24-12-23 18:05:09", kNoStatus, "", ""));

  std::ifstream file(tracePath);
  const std::string trace((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::vector<std::string> expected = {
      " PC>FP 01 24 20 3E 05 30 30 38 37 03\n",
      " PC>FP = request SEQ 32 CMD 62 data \"\", BCC valid\n",
      " FP>PC = NAK\n",
      " FP>PC = reply SEQ 32 CMD 62 data \"24-12-23 18:05:09\" status 80 80 80 80 80 80 flags -, "
      "BCC valid\n",
  };
  std::size_t at = 0;
  for (const std::string& line : expected) {
    at = trace.find(line, at);
    EXPECT_NE(at, std::string::npos) << line << "\nin\n" << trace;
  }
  EXPECT_NE(trace.find(" FP>PC 01"), std::string::npos) << trace;
  std::remove(tracePath.c_str());

  // On standard error, with a damaged reply told as such.
  printer.Inject(Fault::BadChecksum);
  r = Tool({"--trace", "-", "exec", "62"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("flags -, BCC INVALID\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("flags -, BCC valid\n"), std::string::npos) << r.err;
}

}  // namespace
