#include "device/TaxRules.h"

#include "device/ExchangeObserver.h"
#include "fiscal/FPProtocol.h"
#include "framework/Exception.h"

namespace {

constexpr int kMaskField = 2;
constexpr char kEnabled = '1';
constexpr char kRateSeparator = ',';
constexpr unsigned char kFirstPrintable = 0x20;

bool HasControlCharacter(const std::string& rate) {
  for (unsigned char byte : rate) {
    if (byte < kFirstPrintable) return true;
  }
  return false;
}

std::string GroupRefusal(int group, const std::string& rate) {
  const std::string prefix = std::string("Stopa grupe ") + static_cast<char>('A' + group);
  if (rate.find(kRateSeparator) != std::string::npos) {
    return prefix + " sadrzi zarez!\n\nZarez razdvaja stope grupa, pa stope nisu upisane u FP.";
  }
  if (HasControlCharacter(rate)) {
    return prefix +
           " sadrzi kontrolni znak!\n\nKontrolni znak bi pokvario komandu, pa stope nisu upisane "
           "u FP.";
  }
  return {};
}

}  // namespace

TaxEnableMask ParseEnableMask(std::string_view mask) {
  TaxEnableMask enabled{};
  for (int group = 0; group < kTaxGroups && group < static_cast<int>(mask.size()); ++group) {
    enabled[group] = mask[group] == kEnabled;
  }
  return enabled;
}

std::string RateListRefusal(const TaxEnableMask& enabled, const TaxRates& rates) {
  bool anyEnabled = false;
  for (int group = 0; group < kTaxGroups; ++group) {
    if (!enabled[group]) continue;  // sends nothing, so its text can do no harm
    anyEnabled = true;
    if (std::string refusal = GroupRefusal(group, rates[group]); !refusal.empty()) return refusal;
  }
  if (!anyEnabled) {
    return "Nijedna poreska grupa nije ukljucena!\n\nPrvo procitajte grupe iz stampaca; stope nisu "
           "upisane u FP.";
  }
  return {};
}

std::string BuildRateList(const TaxEnableMask& enabled, const TaxRates& rates) {
  if (std::string refusal = RateListRefusal(enabled, rates); !refusal.empty()) {
    throw Exception(refusal);
  }
  // The position of a rate in the list is its place among the enabled groups;
  // a group that is off leaves no empty field behind. Only group H carries no
  // comma, so the list ends in one exactly when H is off and another is on.
  constexpr int kLastGroup = kTaxGroups - 1;
  std::string list;
  for (int group = 0; group < kLastGroup; ++group) {
    if (enabled[group]) list += rates[group] + kRateSeparator;
  }
  if (enabled[kLastGroup]) list += rates[kLastGroup];
  return list;
}

TaxEnableMask ReadEnableMask(FPCommand00& command) {
  const BusyScope busy;
  command.Execute(fpcmd::ReadTaxEnable, "");
  return ParseEnableMask(command.Field(kMaskField));
}

TaxRates ReadRates(FPCommand00& command) {
  const BusyScope busy;
  command.Execute(fpcmd::ReadTaxRates, "");
  TaxRates rates;
  // Field's text lives only until the next split: copy each at once.
  for (int group = 0; group < kTaxGroups; ++group) rates[group] = command.Field(group);
  return rates;
}

void WriteRates(FPCommand00& command, const TaxEnableMask& enabled, const TaxRates& rates) {
  const std::string list = BuildRateList(enabled, rates);
  const BusyScope busy;
  command.Execute(fpcmd::WriteTaxRates, list);
}

void ReadTaxesInto(TaxEditorView& view, FPCommand00& command) {
  view.ShowEnableMask(ReadEnableMask(command));
  view.ShowRates(ReadRates(command));
}

void WriteTaxesShown(TaxEditorView& view, FPCommand00& command) {
  const TaxEnableMask enabled = view.EnableMaskShown();
  const TaxRates rates = view.RatesTyped();
  if (const std::string refusal = RateListRefusal(enabled, rates); !refusal.empty()) {
    view.ShowRefusal(refusal);
    return;
  }
  WriteRates(command, enabled, rates);
}
