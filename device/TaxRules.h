// The tax group editor's rules, without a window: the editor and the
// command-line tool share them.
//
// The enable mask is field 2 of the reply to 83, one character per group A..H;
// only "1" enables. The rates are fields 0..7 of the reply to 97, free text.
// Command 96 carries the rates of the enabled groups in group order, each but
// group H's followed by a comma. No result code is looked at anywhere here.
//
// Rates are free text: letters and blanks go out as typed. What would write
// something the user never meant is refused, and nothing is sent:
// - no group enabled: the mask was not read (a read without a valid reply
//   leaves every group off), and 96 with an empty list clears group A;
// - an enabled group's rate holding a comma: the printer splits the list at
//   commas, so "7,5" would set this group to 7 and shift every later rate;
// - an enabled group's rate holding a control character (a byte below 0x20):
//   it would land inside the frame, where 0x05 separates the check sum.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "fiscal/P00_fpcommand.h"

constexpr int kTaxGroups = 8;
using TaxEnableMask = std::array<bool, kTaxGroups>;
using TaxRates = std::array<std::string, kTaxGroups>;  // 8-bit device text

TaxEnableMask ParseEnableMask(std::string_view mask);
// Why these rates cannot be written, as a message for the user (ASCII,
// Serbian Latin, naming the group); empty when they can.
std::string RateListRefusal(const TaxEnableMask& enabled, const TaxRates& rates);
// Raises Exception with the refusal when there is one.
std::string BuildRateList(const TaxEnableMask& enabled, const TaxRates& rates);

// The editor's exchanges on a command record.
TaxEnableMask ReadEnableMask(FPCommand00& command);  // 83, field 2
TaxRates ReadRates(FPCommand00& command);            // 97, fields 0..7
// 96; raises before sending when BuildRateList refuses the rates.
void WriteRates(FPCommand00& command, const TaxEnableMask& enabled, const TaxRates& rates);

// What the editor window shows, as each front end draws it.
class TaxEditorView {
 public:
  virtual ~TaxEditorView() = default;
  virtual void ShowEnableMask(const TaxEnableMask& enabled) = 0;
  virtual void ShowRates(const TaxRates& rates) = 0;
  virtual TaxEnableMask EnableMaskShown() const = 0;
  virtual TaxRates RatesTyped() const = 0;  // as device text
  // A modal warning box with a UTF-8 text.
  virtual void ShowRefusal(const std::string& text) = 0;
};

// The editor's "Pročitaj": the mask (83) is shown before the rates are asked
// for, so when the port fails on 97 the mask boxes keep what 83 brought and
// the rate boxes their old text.
void ReadTaxesInto(TaxEditorView& view, FPCommand00& command);
// The editor's "Upiši u FP": rates the rules refuse are explained, and
// nothing is sent.
void WriteTaxesShown(TaxEditorView& view, FPCommand00& command);
