// The editor's rules without a window: what the enable mask means and what
// command 96 carries for a given mask and set of rates.
#include <gtest/gtest.h>

#include <string>

#include "device/TaxRules.h"
#include "framework/Exception.h"

namespace {

TaxEnableMask Mask(const std::string& bits) {
  TaxEnableMask mask{};
  for (int group = 0; group < kTaxGroups; ++group) mask[group] = bits.at(group) == '1';
  return mask;
}

std::string Bits(const TaxEnableMask& mask) {
  std::string bits;
  for (bool enabled : mask) bits += enabled ? '1' : '0';
  return bits;
}

TEST(ParseEnableMask, OnlyTheCharacterOneEnablesAndOnlyEightCount) {
  struct Case {
    std::string mask;
    std::string groups;
  } cases[] = {
      {"11111111", "11111111"},      {"10000001", "10000001"}, {"", "00000000"},
      {"111", "11100000"},                                      // missing positions stay off
      {"0000000011111", "00000000"},                            // beyond H is ignored
      {"1111111101", "11111111"},    {"2 1Y1x-1", "00101001"},  // anything but "1" is off
      {" 11111111", "01111111"},                                // no trimming: the blank is group A
  };
  for (const Case& c : cases) EXPECT_EQ(Bits(ParseEnableMask(c.mask)), c.groups) << c.mask;
}

TEST(BuildRateList, EnabledRatesInGroupOrderEachButHFollowedByAComma) {
  const TaxRates rates = {"20", "10", "0", "0", "0", "0", "0", "0"};
  struct Case {
    std::string mask;
    std::string data;
  } cases[] = {
      {"11111111", "20,10,0,0,0,0,0,0"},
      {"11000000", "20,10,"},
      {"10000001", "20,0"},
      {"00100000", "0,"},
      {"00000001", "0"},
      {"00000000", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildRateList(Mask(c.mask), rates), c.data) << c.mask;
}

TEST(BuildRateList, RateTextsGoOutExactlyAsGiven) {
  // Blanks, letters, an empty rate and an 8-bit byte all pass untouched; a
  // group that is off contributes nothing whatever its box holds.
  const TaxRates rates = {" 20 ", "1O.5", "", "x", "\xE8", "off", "7.5%", "H"};
  EXPECT_EQ(BuildRateList(Mask("11110011"), rates), " 20 ,1O.5,,x,7.5%,H");
  EXPECT_EQ(BuildRateList(Mask("00001000"), rates), "\xE8,");
}

TEST(BuildRateList, ACommaInAnEnabledRateIsRefusedSinceItWouldShiftTheLaterGroups) {
  TaxRates rates = {"20", "7,5", "0", "0", "0", "0", "0", "0"};
  try {
    BuildRateList(Mask("11000000"), rates);
    ADD_FAILURE() << "a rate with a comma was let through";
  } catch (const Exception& error) {
    EXPECT_EQ(
        error.Message(),
        "Stopa grupe B sadrzi zarez!\n\nZarez razdvaja stope grupa, pa stope nisu upisane u FP.");
  }
  rates[7] = ",";
  EXPECT_THROW(BuildRateList(Mask("00000001"), rates), Exception);
  // A group that is off sends nothing, so its text cannot do harm.
  EXPECT_EQ(BuildRateList(Mask("10000000"), rates), "20,");
}

}  // namespace
