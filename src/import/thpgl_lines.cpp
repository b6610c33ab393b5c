// Thpgl line readers for the text formats (DXF, G-code): one line per call,
// alternating code and value lines.
#include "import/thpgl.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

namespace trazvik::import {

namespace {

std::string_view trimmed(std::string_view s) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

void Thpgl::readLine(std::string& out) {
  parzystyWiersz = !parzystyWiersz;
  out.clear();
  if (failed()) return;
  const std::uint64_t start = f.offset();
  if (!f.readLine(out, kMaxLineLength)) {
    fail(tReadErrorKind::LineTooLong, start, out.substr(0, 40) + "...");
    return;
  }
  if (f.readError() != 0) fail(tReadErrorKind::ReadFailed, f.offset(), "", f.readError());
  EndOfFile = failed() || f.peek() < 0;
}

bool Thpgl::readRealLine(double& value) {
  const std::uint64_t start = f.offset();
  std::string line;
  readLine(line);
  if (failed()) return false;
  std::replace(line.begin(), line.end(), ',', '.');  // both count as the decimal separator
  std::string_view text = trimmed(line);
  if (text.empty()) return true;
  std::string_view digits = text;
  if (digits.front() == '+') digits.remove_prefix(1);
  double parsed = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() || !std::isfinite(parsed)) {
    fail(tReadErrorKind::BadNumber, start, std::string(text.substr(0, 40)));
    return false;
  }
  value = parsed;
  return true;
}

bool Thpgl::readIntLine(std::int32_t& value) {
  const std::uint64_t start = f.offset();
  std::string line;
  readLine(line);
  if (failed()) return false;
  std::string_view text = trimmed(line);
  if (text.empty()) return true;
  std::string_view digits = text;
  if (digits.front() == '+') digits.remove_prefix(1);
  std::int32_t parsed = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
    fail(tReadErrorKind::BadWholeNumber, start, std::string(text.substr(0, 40)));
    return false;
  }
  value = parsed;
  return true;
}

bool Thpgl::kod(const std::string& code, const std::string& line) const {
  return !parzystyWiersz && equalsIgnoringCase(trimmed(line), code);
}

bool Thpgl::wartosc(const std::string& value, const std::string& line) const {
  return parzystyWiersz && equalsIgnoringCase(trimmed(line), value);
}

}  // namespace trazvik::import
