#include "serial/PortNames.h"

#include <algorithm>
#include <cctype>

#include "serial/PortList.h"

std::optional<long> NumberAfterPrefix(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 6 || (digits.front() == '0' && digits.size() > 1)) return std::nullopt;
  long number = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

bool PortNameLess(const std::string& left, const std::string& right) {
  // ASCII only: the comparison must not depend on the user's locale.
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : int(c); };
  std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    int l = upper(left[i]);
    int r = upper(right[i]);
    if (l != r) return l < r;
  }
  if (left.size() != right.size()) return left.size() < right.size();
  return left < right;  // names equal but for case: a fixed order all the same
}
