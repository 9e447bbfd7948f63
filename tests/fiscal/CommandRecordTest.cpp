// The command record's texts and fields where no exchange is needed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fiscal/P00_fpcommand.h"

namespace {

struct TextCase {
  int code;
  std::string text;  // before the status suffix
};

class ErrorTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ErrorTextTest, QuotesTheCodeTextAndTheSixStatusBytes) {
  FPCommand00 record;
  record.Command = 200;
  record.Length = 0x1F;
  record.ErrorCode = GetParam().code;
  const std::uint8_t status[6] = {0x21, 0x00, 0x3F, 0x0A, 0x01, 0x10};
  std::memcpy(record.Status, status, sizeof status);

  EXPECT_EQ(std::string(record.ErrorText()), GetParam().text + "\n\nStatus: 21003F0A0110");
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, ErrorTextTest,
    ::testing::Values(TextCase{1, "Zadata komanda (200) je van opsega!"},
                      TextCase{2, "Zadato previse podataka!"},
                      TextCase{3, "Stampac se ne javlja - proverite stampac i kabl!"},
                      TextCase{4, "Stampac javlja greske u komunikaciji - proverite kabl!"},
                      TextCase{5, "Stampac je prestao da se javlja - proverite stampac i kabl!"},
                      TextCase{6, "Stampac je vratio duzinu 31 - van opsega!"},
                      TextCase{7, "Stampac je prestao da se javlja - proverite stampac i kabl!"},
                      TextCase{8, "Stampac vraca nekonzistentne podatke!"},
                      TextCase{97, "Povezite Display za kupca sa Stampacem!"},
                      TextCase{98, "Nema JOURNAL papira!"}, TextCase{99, "Nema BON papira!"},
                      TextCase{100, "Greska 100!"}, TextCase{42, "Nepoznata greska (42)!"},
                      TextCase{-2147483647 - 1, "Nepoznata greska (-2147483648)!"}));

TEST(ErrorText, IsEmptyForSuccessAndStatusIsZerosWhenNothingArrived) {
  FPCommand00 record;
  EXPECT_STREQ(record.ErrorText(), "");
  record.ErrorCode = 3;
  EXPECT_STREQ(record.ErrorText(),
               "Stampac se ne javlja - proverite stampac i kabl!\n\nStatus: 000000000000");
}

TEST(CommandRecord, StartsEmptyAndFieldsOutsideTheRangeAreEmpty) {
  FPCommand00 record;
  EXPECT_EQ(record.Command, 0);
  EXPECT_STREQ(record.Data, "");
  EXPECT_EQ(record.ErrorCode, 0);
  EXPECT_STREQ(record.ReplyData, "");
  for (int i = -1; i <= 20; ++i) EXPECT_STREQ(record.Field(i), "") << i;
}

TEST(StatusFlagNames, FollowTheBytesAndBitsTheProgramDecodes) {
  EXPECT_STREQ(StatusFlagNames[0], "#SyntaxError");
  EXPECT_STREQ(StatusFlagNames[3], "Display Not Conn");
  EXPECT_STREQ(StatusFlagNames[5], "GeneralError#");
  EXPECT_STREQ(StatusFlagNames[12], "#NoPaper");
  EXPECT_STREQ(StatusFlagNames[14], "NoPaperJrnl");
  EXPECT_STREQ(StatusFlagNames[35], "SerialProgramm");
}

}  // namespace
