// Exchanges over a real line with the printer simulator at the far end.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/support/PrinterLine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::Fault;

// "#NoPaper": result code 99.
const sim::StatusBytes kPaperOut = {0, 0, 0x01, 0, 0, 0};

class Exchange : public PrinterLine {};

TEST_F(Exchange, SendsTheClockAndReportRequestsByteForByte) {
  printer.SetClock(24, 12, 2023, 18, 5, 9);

  record.Execute(62, "");
  EXPECT_EQ(record.ErrorCode, 0);
  EXPECT_STREQ(record.ReplyData, "24-12-23 18:05:09");
  EXPECT_EQ(SentFrame(0), (Bytes{0x01, 0x24, 0x20, 0x3E, 0x05, 0x30, 0x30, 0x38, 0x37, 0x03}));

  // Check sum 0x00C2: the nibble 12 goes out as 0x3C.
  record.Execute(69, "2");
  EXPECT_EQ(record.ErrorCode, 0);
  EXPECT_EQ(SentFrame(1),
            (Bytes{0x01, 0x25, 0x21, 0x45, 0x32, 0x05, 0x30, 0x30, 0x3C, 0x32, 0x03}));
  EXPECT_EQ(record.ReplySequence, 0x21);
  EXPECT_EQ(record.ReplyCommand, 69);
  EXPECT_EQ(printer.XReportCount(), 1);
}

TEST_F(Exchange, SequenceNumbersWrapAndSkipNothingForRefusedCommands) {
  LastSequence = 125;
  record.Execute(62, "");
  record.Execute(31, "");
  EXPECT_EQ(record.ErrorCode, 1);
  record.Execute(128, "");
  EXPECT_EQ(record.ErrorCode, 1);
  record.Execute(62, "");
  record.Execute(62, "");

  ASSERT_TRUE(printer.WaitForRequests(3, std::chrono::seconds(1)));
  const auto requests = printer.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].sequence, 126);
  EXPECT_EQ(requests[1].sequence, 127);
  EXPECT_EQ(requests[2].sequence, 32);
  EXPECT_EQ(record.ErrorCode, 0);
  EXPECT_EQ(record.ReplySequence, 32);
}

TEST_F(Exchange, TakesDataUpTo204BytesAndRefusesMoreWithoutSending) {
  const std::string full(204, 'x');
  record.Execute(96, full);
  EXPECT_EQ(record.ErrorCode, 0);
  const Bytes sent = SentFrame(0);
  EXPECT_EQ(sent.size(), 214u);
  EXPECT_EQ(sent[1], 0xF0);
  EXPECT_EQ(std::string(sent.begin() + 4, sent.begin() + 208), full);

  for (std::size_t length : {205u, 5000u}) {
    record.Execute(96, std::string(length, 'y'));
    EXPECT_EQ(record.ErrorCode, 2) << length;
    EXPECT_EQ(record.Length, static_cast<std::uint8_t>(length + 36)) << length;
    EXPECT_EQ(std::string(record.Data), std::string(204, 'y'));
  }
  record.Execute(62, "");
  // The two refused requests used up 33 and 34.
  EXPECT_EQ(printer.Requests().size(), 2u);
  EXPECT_EQ(printer.Requests().back().sequence, 35);
}

TEST_F(Exchange, DataEndsAtItsFirstZeroByte) {
  record.Execute(96, std::string("20,\0"
                                 "10",
                                 6));
  EXPECT_EQ(printer.Requests().at(0).data, "20,");
}

struct FaultCase {
  const char* name;
  std::vector<Fault> faults;  // one per request frame, in order
  int code;
  std::size_t sends;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
  *os << c.name;
}

class FaultyPrinter : public PrinterLine, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultyPrinter, RetriesTheSameFrameAndEndsWithTheRightCode) {
  const FaultCase& c = GetParam();
  for (Fault fault : c.faults) printer.Inject(fault);
  if (c.code != 0) printer.InjectStatus(kPaperOut, sim::kAlways);

  record.Execute(83, "");

  EXPECT_EQ(record.ErrorCode, c.code);
  const auto requests = printer.Requests();
  ASSERT_EQ(requests.size(), c.sends);
  for (const sim::Request& r : requests) EXPECT_EQ(r.frame, requests[0].frame);
  if (c.code == 0) {
    EXPECT_STREQ(record.ReplyData, "0,0,11111111");
  } else {
    // Flags of a reply that was not accepted never turn into 97..100.
    EXPECT_STREQ(record.ReplyData, "");
    EXPECT_EQ(record.Status[2], 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyPrinter,
    ::testing::Values(
        FaultCase{"ThreeNaksThenAReply", {Fault::Nak, Fault::Nak, Fault::Nak}, 0, 4},
        FaultCase{"FourNaks", {Fault::Nak, Fault::Nak, Fault::Nak, Fault::Nak}, 4, 4},
        FaultCase{"SilentOnceThenAReply", {Fault::Silence}, 0, 2},
        FaultCase{"SynBytesBeforeTheReply", {Fault::SynBeforeReply}, 0, 1},
        FaultCase{"FourWrongSequences", std::vector<Fault>(4, Fault::WrongSequence), 8, 4},
        FaultCase{"FourWrongCommandEchoes", std::vector<Fault>(4, Fault::WrongCommand), 8, 4},
        FaultCase{"FourBadCheckSums", std::vector<Fault>(4, Fault::BadChecksum), 8, 4},
        FaultCase{"FourMisplacedSeparators", std::vector<Fault>(4, Fault::MisplacedSeparator), 8,
                  4},
        FaultCase{"FourLensTooSmallForAReply", std::vector<Fault>(4, Fault::LenBelowMinimum), 8, 4},
        FaultCase{"ABadReplyThenAGoodOne", {Fault::BadChecksum}, 0, 2},
        FaultCase{"LenBelow32StopsAtOnce", {Fault::ShortLen}, 6, 1},
        FaultCase{"StartByteWithoutLen", std::vector<Fault>(4, Fault::NoLen), 5, 4},
        FaultCase{"TruncatedReplies", std::vector<Fault>(4, Fault::Truncated), 7, 4},
        FaultCase{"TruncatedOnceThenAReply", {Fault::Truncated}, 0, 2},
        // A code set by one attempt stands when later ones only fail checks.
        FaultCase{"SilenceThenBadReplies",
                  {Fault::Silence, Fault::WrongSequence, Fault::BadChecksum, Fault::WrongCommand},
                  3,
                  4},
        FaultCase{
            "NaksThenABadReply", {Fault::Nak, Fault::Nak, Fault::Nak, Fault::BadChecksum}, 8, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Exchange, LenBelow32IsQuotedInTheErrorText) {
  printer.Inject(Fault::ShortLen);
  record.Execute(62, "");
  EXPECT_EQ(record.ErrorCode, 6);
  EXPECT_EQ(record.Length, 0x1F);
  EXPECT_STREQ(record.ErrorText(),
               "Stampac je vratio duzinu 31 - van opsega!\n\nStatus: 000000000000");
}

// XON and XOFF steer the port and never reach the exchange; a line held
// for longer than the write time-out ends each attempt as no answer.
TEST_F(Exchange, APrinterHoldingTheLineWithXoffIsNoAnswerUntilItLetsGo) {
  port.Timeouts().SetWriteTotalMultiplier(0);
  port.Timeouts().SetWriteTotalConstant(50);
  printer.Inject(Fault::XoffHold);
  printer.SetXoffHoldTime(std::chrono::milliseconds(200));
  EXPECT_EQ(record.Execute(62, "").ErrorCode, 0);
  EXPECT_EQ(printer.Requests().size(), 2u);

  printer.Inject(Fault::XoffHold);
  printer.SetXoffHoldTime(std::chrono::seconds(30));
  EXPECT_EQ(record.Execute(62, "").ErrorCode, 3);
  EXPECT_EQ(printer.Requests().size(), 3u);
}

TEST_F(Exchange, StatusBytesKeepTheirLowSixBitsAndAReplyWithoutData) {
  // Sent as 0xA1: the printer's high bit, bits 0 and 5.
  printer.InjectStatus({0x21, 0x00, 0x00, 0x3F, 0x00, 0x08});
  record.Execute(69, "2");

  EXPECT_STREQ(record.ReplyData, "");
  const std::uint8_t expected[6] = {0x21, 0x00, 0x00, 0x3F, 0x00, 0x08};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(record.Status[i], expected[i]) << i;
  for (int bit = 0; bit < 36; ++bit) {
    bool set = (expected[bit / 6] >> (bit % 6)) & 1;
    EXPECT_EQ(record.StatusBits[bit], set) << StatusFlagNames[bit];
  }
  // "GeneralError#" without the display flag.
  EXPECT_EQ(record.ErrorCode, 100);
}

struct ConditionCase {
  const char* name;
  sim::StatusBytes status;
  int code;
};

void PrintTo(const ConditionCase& c, std::ostream* os) {
  *os << c.name;
}

class PrinterCondition : public PrinterLine, public ::testing::WithParamInterface<ConditionCase> {};

TEST_P(PrinterCondition, TurnsFourFlagsIntoCodesAndKeepsTheReply) {
  printer.InjectStatus(GetParam().status);
  record.Execute(97, "");
  EXPECT_EQ(record.ErrorCode, GetParam().code);
  EXPECT_STREQ(record.Field(0), "20.00");
}

INSTANTIATE_TEST_SUITE_P(
    Flags, PrinterCondition,
    ::testing::Values(ConditionCase{"NoPaper", {0, 0, 0x01, 0, 0, 0}, 99},
                      ConditionCase{"NoJournalPaper", {0, 0, 0x05, 0, 0, 0}, 98},
                      ConditionCase{"PaperBeforeGeneralError", {0x28, 0, 0x05, 0, 0, 0}, 98},
                      ConditionCase{"JournalFlagAloneIsNothing", {0, 0, 0x04, 0, 0, 0}, 0},
                      ConditionCase{"DisplayNotConnected", {0x28, 0, 0, 0, 0, 0}, 97},
                      ConditionCase{"GeneralError", {0x20, 0, 0, 0, 0, 0}, 100},
                      ConditionCase{"DisplayFlagAloneIsNothing", {0x08, 0, 0, 0, 0, 0}, 0},
                      ConditionCase{
                          "OtherFlagsAreNothing", {0x17, 0x3F, 0x3A, 0x3F, 0x3F, 0x3F}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The simulator keeps an injected status for the first answer that has
// status bytes, so a condition can follow a link fault.
TEST_F(Exchange, AConditionAfterANakArrivesWithTheReply) {
  printer.Inject(Fault::Nak);
  printer.InjectStatus(kPaperOut);
  EXPECT_EQ(record.Execute(62, "").ErrorCode, 99);
  EXPECT_EQ(printer.Requests().size(), 2u);
}

struct FieldCase {
  const char* name;
  std::string reply;
  std::vector<std::string> fields;  // 0.. ; the rest up to 19 empty
};

void PrintTo(const FieldCase& c, std::ostream* os) {
  *os << c.name;
}

class ReplyFields : public PrinterLine, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(ReplyFields, AreThePiecesBetweenCommas) {
  printer.SetReplyData(97, GetParam().reply);
  record.Execute(97, "");
  ASSERT_EQ(record.ErrorCode, 0);
  for (int i = 0; i < 20; ++i) {
    std::string expected =
        i < static_cast<int>(GetParam().fields.size()) ? GetParam().fields[i] : "";
    EXPECT_EQ(record.Field(i), expected) << "field " << i;
  }
  EXPECT_STREQ(record.Field(-1), "");
  EXPECT_STREQ(record.Field(20), "");
  EXPECT_EQ(std::string(record.ReplyData), GetParam().reply);
}

std::vector<std::string> NineteenThenRest() {
  std::vector<std::string> fields;
  for (int i = 0; i < 19; ++i) fields.push_back(std::string(1, static_cast<char>('a' + i)));
  fields.push_back("t,u,v,w,x,y,z");
  return fields;
}

INSTANTIATE_TEST_SUITE_P(
    Splits, ReplyFields,
    ::testing::Values(FieldCase{"EmptyPieceBetweenCommas", "1,2,,4", {"1", "2", "", "4"}},
                      FieldCase{"NoComma", "20.00", {"20.00"}},
                      FieldCase{"BlanksKept", " 1 , 2", {" 1 ", " 2"}},
                      FieldCase{"TrailingComma", "20,10,", {"20", "10", ""}},
                      FieldCase{"TwentiethFieldHoldsTheRest",
                                "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z",
                                NineteenThenRest()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Exchange, FieldsFollowEveryNewReplyEvenUnderARepeatedSequenceNumber) {
  printer.SetReplyData(97, "old,reply");
  record.Execute(97, "");
  EXPECT_STREQ(record.Field(1), "reply");
  EXPECT_STREQ(record.Field(1), "reply");

  // 96 requests later the same sequence number comes round again.
  printer.SetReplyData(97, "new,answer");
  LastSequence = record.ReplySequence - 1;
  record.Execute(97, "");
  EXPECT_EQ(record.ReplySequence, printer.Requests().front().sequence);
  EXPECT_STREQ(record.Field(1), "answer");

  // A failed exchange leaves no fields behind.
  printer.Inject(Fault::ShortLen);
  record.Execute(97, "");
  EXPECT_STREQ(record.Field(0), "");
}

TEST_F(Exchange, ANewRecordHasNoFieldsEvenWhereAnOldOneLived) {
  std::optional<FPCommand00> slot;
  slot.emplace().Execute(97, "");
  EXPECT_STREQ(slot->Field(0), "20.00");
  slot.emplace();
  EXPECT_STREQ(slot->Field(0), "");
}

TEST_F(Exchange, ExecuteTextSendsTheNumberGivenAsText) {
  record.ExecuteText("96", "20,10,");
  EXPECT_EQ(record.ErrorCode, 0);
  ASSERT_EQ(printer.Requests().size(), 1u);
  EXPECT_EQ(printer.Requests()[0].command, 96);
  EXPECT_EQ(printer.Requests()[0].data, "20,10,");

  EXPECT_THROW(record.ExecuteText("9x", ""), EConvertError);
  EXPECT_THROW(record.ExecuteText("", ""), EConvertError);
  EXPECT_EQ(printer.Requests().size(), 1u);
}

TEST_F(Exchange, OpensTheClosedPortAndLetsItsFailurePass) {
  EXPECT_FALSE(port.Connected());
  record.Execute(62, "");
  EXPECT_TRUE(port.Connected());

  port.Close();
  port.SetPort("/nonexistent/ttyFP");
  try {
    record.Execute(62, "");
    FAIL() << "no exception";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), CError_OpenFailed);
  }
  EXPECT_EQ(printer.Requests().size(), 1u);
}

}  // namespace
