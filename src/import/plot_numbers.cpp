#include "import/plot_numbers.h"

#include <charconv>

namespace trazvik::import {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> parsePlotReal(std::string_view token) {
  bool negative = false;
  if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
    negative = token[0] == '-';
    token.remove_prefix(1);
  }
  int digits = 0, points = 0;
  for (char c : token) {
    if (isDigit(c))
      ++digits;
    else if (c == '.')
      ++points;
    else
      return std::nullopt;
  }
  if (digits == 0 || points > 1) return std::nullopt;
  double value = 0;
  // from_chars takes "3." and ".5" in fixed format.
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || end != token.data() + token.size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::int32_t> parsePlotWhole(std::string_view token) {
  if (token == ".") return 0;
  bool negative = false;
  if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
    negative = token[0] == '-';
    token.remove_prefix(1);
  }
  if (token.empty() || token.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (char c : token) {
    if (!isDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace trazvik::import
