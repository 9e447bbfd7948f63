// The catalog: the one text the program shows, the language rules, and the
// shape every stored text must have.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "messages/P00_KVMsgDlg.h"

namespace {

const std::string kPaperOutSrb =
    "Nestalo je papira na BON-u ili JOURNAL-u!\n\nPreporuka:\n\n1. ZAMENITE PAPIR!\n\n"
    "2. VRATITE POLUGU!\n\n3. ZATVORITE POKLOPAC!\n\nPritisnite OK kada ga zamenite";
const std::string kPaperOutEng =
    "No paper on BON or JOURNAL tape!\n\nSuggestion:\n\n1. REPLACE A PAPER!\n\n"
    "2. RETURN BLUE BAR!\n\n3. RETURN A TOP!\n\nPress OK when finish";

TEST(CatalogTest, StartsInSerbianWithThreeHundredSlots) {
  TFormKVMsgDlg catalog;
  EXPECT_EQ(catalog.Language, "SRB");
  EXPECT_EQ(catalog.SlotCount, 300);
  EXPECT_EQ(catalog.CatalogText(kPaperOutNotice), kPaperOutSrb);
  EXPECT_EQ(kPaperOutSrb.size(), 149u);
  EXPECT_EQ(kPaperOutEng.size(), 127u);
}

TEST(CatalogTest, LanguageIndexAndFallbackRules) {
  const std::string entry131 = "Zelite da izvrsite popis na dan <#1>";
  struct Case {
    const char* language;
    std::int32_t index;
    std::string expected;
  } cases[] = {
      {"ENG", 64, kPaperOutEng},
      {"eng", 64, kPaperOutEng},
      {"Eng", 64, kPaperOutEng},
      {"SRB", 64, kPaperOutSrb},
      {"", 64, kPaperOutSrb},
      {"EN", 64, kPaperOutSrb},
      {"ENGL", 64, kPaperOutSrb},
      {"DEU", 64, kPaperOutSrb},
      {"ENG", 131, entry131},  // no English text: the Serbian one
      {"SRB", 131, entry131},
      {"SRB", 89, "Podaci su uspesno sacuvani u file <#1>"},  // placeholder kept
      {"ENG", 89, "Data saved successfully in the file <#1>"},
      {"SRB", 200, ""},  // in range, never filled
      {"ENG", 200, ""},
      {"SRB", 299, ""},
      {"SRB", 300, ""},
      {"ENG", 1000, ""},
      {"SRB", -1, ""},
  };
  TFormKVMsgDlg catalog;
  for (const Case& c : cases) {
    catalog.Language = c.language;
    EXPECT_EQ(catalog.CatalogText(c.index), c.expected)
        << "language \"" << c.language << "\", index " << c.index;
  }
}

TEST(CatalogTest, FilledSlotsFollowTheCatalogsRules) {
  const std::set<int> unfilled = {4, 48, 65, 66};
  const std::set<int> serbianOnly = {131, 132, 140, 141, 142, 143};
  TFormKVMsgDlg catalog;
  for (int i = 0; i < 300; ++i) {
    const bool filled = i <= 143 && !unfilled.contains(i);
    EXPECT_EQ(!catalog.TextSRB[i].empty(), filled) << "SRB slot " << i;
    EXPECT_EQ(!catalog.TextENG[i].empty(), filled && !serbianOnly.contains(i)) << "ENG slot " << i;
    for (const std::string* text : {&catalog.TextSRB[i], &catalog.TextENG[i]}) {
      const bool plainAscii = std::all_of(
          text->begin(), text->end(), [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7f); });
      EXPECT_TRUE(plainAscii) << "slot " << i << ": " << *text;
    }
  }
}

}  // namespace
