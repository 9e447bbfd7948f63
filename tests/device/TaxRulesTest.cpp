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

// Each refusal names what is wrong; nothing is built then. A group that is
// off sends nothing, so its text cannot do harm.
TEST(RateListRefusal, RefusesWhatWouldWriteSomethingNotMeant) {
  const TaxRates plain = {"20", "10", "0", "0", "0", "0", "0", "0"};
  auto with = [&](int group, const std::string& rate) {
    TaxRates rates = plain;
    rates[group] = rate;
    return rates;
  };
  const std::string noGroup =
      "Nijedna poreska grupa nije ukljucena!\n\nPrvo procitajte grupe iz stampaca; stope nisu "
      "upisane u FP.";
  const std::string commaInB =
      "Stopa grupe B sadrzi zarez!\n\nZarez razdvaja stope grupa, pa stope nisu upisane u FP.";
  auto controlIn = [](char group) {
    return std::string("Stopa grupe ") + group +
           " sadrzi kontrolni znak!\n\nKontrolni znak bi pokvario komandu, pa stope nisu upisane "
           "u FP.";
  };
  struct Case {
    const char* what;
    std::string mask;
    TaxRates rates;
    std::string refusal;
  } cases[] = {
      {"nothing read: every group off", "00000000", plain, noGroup},
      {"a decimal comma", "11000000", with(1, "7,5"), commaInB},
      {"a lone comma in H", "00000001", with(7, ","),
       "Stopa grupe H sadrzi zarez!\n\nZarez "
       "razdvaja stope grupa, pa stope nisu upisane "
       "u FP."},
      {"the check-sum separator", "11000000", with(0, "1\x05"), controlIn('A')},
      {"a tab", "00000001", with(7, "\t8"), controlIn('H')},
      {"the last control byte", "00100000", with(2, "\x1F"), controlIn('C')},
      {"comma in a group that is off", "10000000", with(1, "7,5"), ""},
      {"control byte in a group that is off", "10000000", with(3, "\x05"), ""},
      {"blanks, letters, DEL and 8-bit bytes",
       "11110000",
       {" 20 ", "abc", "\x7F", "\xE8", "0", "0", "0", "0"},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RateListRefusal(Mask(c.mask), c.rates), c.refusal);
    if (c.refusal.empty()) {
      EXPECT_NO_THROW(BuildRateList(Mask(c.mask), c.rates));
      continue;
    }
    try {
      BuildRateList(Mask(c.mask), c.rates);
      ADD_FAILURE() << "built a list it refuses";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), c.refusal);
    }
  }
}

}  // namespace
