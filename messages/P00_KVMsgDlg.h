// The message catalog: fixed, numbered user messages in two languages.
//
// 300 slots per language, SRB and ENG, addressed by the same index. Texts are
// 8-bit device text (plain ASCII, "\n" as line break). The catalog is filled
// when the object is constructed and is read-only afterwards.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class TFormKVMsgDlg {
 public:
  TFormKVMsgDlg();

  // Index >= SlotCount, or an empty slot: the empty text. With Language
  // "ENG" (any letter case) the ENG text, falling back to SRB when empty.
  std::string CatalogText(std::int32_t index) const;

  std::int32_t SlotCount;
  std::array<std::string, 300> TextSRB;
  std::array<std::string, 300> TextENG;
  std::string Language;
};

// The catalog of the process, created at start-up.
extern TFormKVMsgDlg* FormKVMsgDlg;

// Index of the paper-out notice.
constexpr std::int32_t kPaperOutNotice = 64;
