#include "config/number_text.h"

#include "base/text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <langinfo.h>
#include <locale.h>

namespace trazvik::config {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Turns to_chars's exponent "e-05" / "e+15" into the form "E-5" / "E15".
std::string tidyExponent(std::string text) {
  const auto e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  bool negative = false;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    negative = exponent[0] == '-';
    exponent.erase(0, 1);
  }
  const auto firstNonZero = exponent.find_first_not_of('0');
  exponent = firstNonZero == std::string::npos ? "0" : exponent.substr(firstNonZero);
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

std::string withSeparator(std::string text, char separator) {
  for (char& c : text) {
    if (c == '.') c = separator;
  }
  return text;
}

// Accepts [+-]digits[sep digits] (and an exponent when allowed); returns the
// text in the form from_chars reads, or nullopt.
std::optional<std::string> normalise(std::string_view text, char separator, bool allowExponent) {
  text = base::trimmedView(text);
  std::string out;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out += '-';
    ++i;
  }
  std::size_t digits = 0;
  for (; i < text.size() && isDigit(text[i]); ++i, ++digits) out += text[i];
  if (i < text.size() && text[i] == separator) {
    out += '.';
    for (++i; i < text.size() && isDigit(text[i]); ++i, ++digits) out += text[i];
  }
  if (digits == 0) return std::nullopt;
  if (allowExponent && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    out += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) out += text[i++];
    std::size_t exponentDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++exponentDigits) out += text[i];
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  return out;
}

std::optional<double> convert(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

char decimalSeparatorOfUser() {
  locale_t userLocale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (userLocale == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, userLocale);
  char separator = '.';
  if (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') separator = radix[0];
  freelocale(userLocale);
  return separator;
}

std::string formatGeneral(double value, char separator) {
  if (!std::isfinite(value)) return "0";
  if (value == 0) return "0";
  char buffer[64];
  const double magnitude = std::fabs(value);
  std::to_chars_result result{};
  if (magnitude < 1e-4 || magnitude >= 1e15) {
    result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string text(buffer, result.ptr);
    // Drop the mantissa's trailing zeros: 1.00000000000000e-05 -> 1e-05.
    const auto e = text.find('e');
    std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
      mantissa.erase(mantissa.find_last_not_of('0') + 1);
      if (mantissa.back() == '.') mantissa.pop_back();
    }
    return withSeparator(tidyExponent(mantissa + text.substr(e)), separator);
  }
  result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return withSeparator(std::string(buffer, result.ptr), separator);
}

std::string formatFixed(double value, int decimals, char separator) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return formatGeneral(value, separator);
  if (decimals < 0) decimals = 0;
  // The value's 15 significant digits and the count of digits before the point.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
  const std::string text(buffer, result.ptr);
  const auto e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  int pointPos = std::stoi(text.substr(e + 1)) + 1;
  if (value == 0) pointPos = 1;
  if (pointPos <= 0) {
    digits = std::string(static_cast<std::size_t>(1 - pointPos), '0') + digits;
    pointPos = 1;
  }
  const std::size_t needed = static_cast<std::size_t>(pointPos + decimals);
  if (digits.size() > needed) {
    const bool roundUp = digits[needed] >= '5';
    digits.resize(needed);
    if (roundUp) {
      std::size_t i = needed;
      while (i > 0) {
        --i;
        if (digits[i] == '9') {
          digits[i] = '0';
        } else {
          ++digits[i];
          break;
        }
        if (i == 0) {
          digits.insert(digits.begin(), '1');
          ++pointPos;
        }
      }
    }
  }
  digits.resize(static_cast<std::size_t>(pointPos + decimals), '0');
  std::string integerPart = digits.substr(0, static_cast<std::size_t>(pointPos));
  integerPart.erase(0, std::min(integerPart.find_first_not_of('0'), integerPart.size() - 1));
  std::string out = integerPart;
  if (decimals > 0) out += separator + digits.substr(static_cast<std::size_t>(pointPos));
  const bool allZero = digits.find_first_not_of('0') == std::string::npos;
  if (value < 0 && !allZero) out.insert(out.begin(), '-');
  return out;
}

std::string_view leadingNumberRun(std::string_view text, char separator) {
  std::size_t n = 0;
  while (n < text.size() && (text[n] == '+' || text[n] == '-' || isDigit(text[n]) || text[n] == separator)) {
    ++n;
  }
  return text.substr(0, n);
}

std::optional<double> parseDecimal(std::string_view text, char separator) {
  const auto normal = normalise(text, separator, false);
  if (!normal) return std::nullopt;
  return convert(*normal);
}

std::optional<double> parseNumber(std::string_view text, char separator) {
  const auto normal = normalise(text, separator, true);
  if (!normal) return std::nullopt;
  return convert(*normal);
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
  text = base::trimmedView(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace trazvik::config
