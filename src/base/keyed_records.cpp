#include "base/keyed_records.h"

#include <charconv>
#include <cmath>

namespace trazvik::base {

namespace {

template <typename T>
bool readWhole(std::string_view s, T& out) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc{} && end == s.data() + s.size();
}

}  // namespace

bool readWholeNumber(std::string_view s, int& out) { return readWhole(s, out); }
bool readWholeNumber(std::string_view s, std::uint64_t& out) { return readWhole(s, out); }

bool readFiniteReal(std::string_view s, double& out) {
  // from_chars ignores the process's locale, which the desktop program sets
  // to the operator's: strtod there would stop at a decimal point.
  if (s.size() > 1 && s[0] == '+' && s[1] != '-') s.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc{} || end != s.data() + s.size() || s.empty() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

std::string fixedText(double v, int decimals) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  return ec == std::errc{} ? std::string(buffer, end) : std::string("nan");
}

std::string readKeyedRecords(std::string_view text, std::string_view header, std::string_view kind,
                             const std::string& name, const std::function<std::string(const tKeyedLine&)>& onLine) {
  int lineNo = 0;
  auto refused = [&](const std::string& why) { return name + ", line " + std::to_string(lineNo) + ": " + why; };
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string line(text.substr(at, end - at));
    at = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lineNo == 1) {
      if (line != header) return refused("not a " + std::string(kind) + " (\"" + line + "\")");
      continue;
    }
    if (line.empty()) continue;
    const auto space = line.find(' ');
    tKeyedLine keyed{line.substr(0, space), space == std::string::npos ? std::string() : line.substr(space + 1), line};
    if (std::string why = onLine(keyed); !why.empty()) return refused(why);
  }
  if (lineNo == 0) return refused("empty file");
  return "";
}

}  // namespace trazvik::base
