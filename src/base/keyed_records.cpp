#include "base/keyed_records.h"

#include <charconv>
#include <cmath>
#include <sstream>

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
  if (s.empty()) return false;
  // Through a stream in the classic locale: the files are written with a
  // decimal point whatever the operator's locale.
  std::istringstream in{std::string(s)};
  in.imbue(std::locale::classic());
  double v = 0;
  if (!(in >> v) || in.peek() != std::char_traits<char>::eof() || !std::isfinite(v)) return false;
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
