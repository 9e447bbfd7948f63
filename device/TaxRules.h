// The tax group editor's rules, without a window: the editor and the
// command-line tool share them.
//
// The enable mask is field 2 of the reply to 83, one character per group A..H;
// only "1" enables. The rates are fields 0..7 of the reply to 97, free text.
// Command 96 carries the rates of the enabled groups in group order, each but
// group H's followed by a comma. No result code is looked at anywhere here.
//
// Rates are not validated, with one exception: an enabled group's rate that
// holds a comma is refused (Exception, nothing sent). The printer splits the
// list at commas, so a decimal comma such as "7,5" would silently set this
// group to 7 and shift every later group's rate one place.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "fiscal/P00_fpcommand.h"

constexpr int kTaxGroups = 8;
using TaxEnableMask = std::array<bool, kTaxGroups>;
using TaxRates = std::array<std::string, kTaxGroups>;  // 8-bit device text

TaxEnableMask ParseEnableMask(std::string_view mask);
std::string BuildRateList(const TaxEnableMask& enabled, const TaxRates& rates);  // may raise

// The editor's exchanges on a command record.
TaxEnableMask ReadEnableMask(FPCommand00& command);  // 83, field 2
TaxRates ReadRates(FPCommand00& command);            // 97, fields 0..7
// 96; raises before sending when BuildRateList refuses the rates.
void WriteRates(FPCommand00& command, const TaxEnableMask& enabled, const TaxRates& rates);
