#include "messages/P00_KVMsgDlg.h"

#include <algorithm>
#include <cctype>

#include "messages/CatalogTexts.h"

TFormKVMsgDlg* FormKVMsgDlg = nullptr;

namespace {

// Letter case is ignored: "eng" and "Eng" select English too.
bool IsEnglish(const std::string& language) {
  const std::string english = "ENG";
  return std::equal(
      language.begin(), language.end(), english.begin(), english.end(),
      [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

TFormKVMsgDlg::TFormKVMsgDlg() : SlotCount(300), Language("SRB") {
  for (const CatalogEntry& entry : CatalogEntries()) TextSRB[entry.index] = entry.srb;
  for (const CatalogEntry& entry : CatalogEntries()) {
    if (entry.eng) TextENG[entry.index] = entry.eng;
  }
}

std::string TFormKVMsgDlg::CatalogText(std::int32_t index) const {
  // A negative index has no slot either; it gets the empty text like one past the end.
  const std::int32_t slots = std::min<std::int32_t>(SlotCount, TextSRB.size());
  if (index < 0 || index >= slots) return {};
  if (IsEnglish(Language) && !TextENG[index].empty()) return TextENG[index];
  return TextSRB[index];
}
