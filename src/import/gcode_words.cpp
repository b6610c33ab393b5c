#include "import/gcode_words.h"

#include "import/plot_numbers.h"

#include <algorithm>
#include <cstring>

namespace trazvik::import {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n'; }

bool isNumberChar(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == ',' || c == '.'; }

}  // namespace

std::string prepareGcodeLine(const std::string& line) {
  std::string out;
  out.reserve(line.size());
  for (const char c : line) {
    if (c == '(' || c == ';') break;
    if (!isBlank(c)) out.push_back(c);
  }
  return out;
}

tWordResult takeWord(std::string& line, char letter, double& value, std::string& text) {
  const std::size_t at = line.find(letter);
  if (at == std::string::npos) return tWordResult::NotFound;
  std::size_t end = at + 1;
  while (end < line.size() && isNumberChar(line[end])) ++end;
  text = line.substr(at, end - at);
  std::string number = line.substr(at + 1, end - at - 1);
  line.erase(at, end - at);
  std::replace(number.begin(), number.end(), ',', '.');
  const auto parsed = parsePlotReal(number);
  if (!parsed) return tWordResult::Malformed;
  value = *parsed;
  return tWordResult::Found;
}

}  // namespace trazvik::import
