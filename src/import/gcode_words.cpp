#include "import/gcode_words.h"

#include <charconv>
#include <cmath>

namespace trazvik::import {

namespace {

// Control characters (a trailing ^Z, form feeds) are blanks like spaces.
bool isBlank(unsigned char c) { return c <= ' ' || c == 0x7f; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNumberChar(char c) { return isDigit(c) || c == '+' || c == '-' || c == ',' || c == '.'; }

// A number run without blanks: optional sign, digits with at most one
// decimal point ("." or ","), at least one digit.
bool parseNumber(std::string_view s, double& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::uint64_t mantissa = 0;
  int digits = 0, fraction = 0;
  bool point = false, manyDigits = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (isDigit(c)) {
      if (mantissa < 100000000000000000ull) {
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        if (point) ++fraction;
      } else {
        manyDigits = true;  // beyond the exact range: the library reads it
      }
      ++digits;
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  double v = 0;
  if (!manyDigits && fraction <= 22 && mantissa < (1ull << 53)) {
    // Both operands exact: one correctly rounded division.
    v = static_cast<double>(mantissa) / kPowers[fraction];
  } else {
    std::string text(s.substr(s[0] == '+' || s[0] == '-' ? 1 : 0));
    for (char& c : text) {
      if (c == ',') c = '.';
    }
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || !std::isfinite(v)) return false;
  }
  out = negative ? -v : v;
  return true;
}

bool refuse(tGcodeLineProblem& problem, const char* reason, std::string_view token) {
  problem.badNumber = false;
  problem.reason = reason;
  problem.token = std::string(token.substr(0, 20));
  return false;
}

// The number after a letter at line[at]: the run of number characters with
// blanks between them skipped. Moves `at` past the run.
bool takeNumber(std::string_view line, std::size_t& at, char (&run)[48], std::size_t& length, double& value) {
  length = 0;
  while (at < line.size() && (isNumberChar(line[at]) || isBlank(static_cast<unsigned char>(line[at])))) {
    if (!isBlank(static_cast<unsigned char>(line[at])) && length < sizeof run) run[length++] = line[at];
    ++at;
  }
  return length < sizeof run && parseNumber(std::string_view(run, length), value);
}

bool addCode(int (&codes)[tGcodeBlock::kMaxCodes], int& count, int code) {
  if (count >= tGcodeBlock::kMaxCodes) return false;
  codes[count++] = code;
  return true;
}

}  // namespace

bool tGcodeBlock::hasG(int code10) const {
  for (int i = 0; i < gCount; ++i) {
    if (g[i] == code10) return true;
  }
  return false;
}

bool tGcodeBlock::hasM(int code) const {
  for (int i = 0; i < mCount; ++i) {
    if (m[i] == code) return true;
  }
  return false;
}

std::string gcodeWordText(char letter, int code10) {
  std::string text(1, letter);
  text += std::to_string(code10 / 10);
  if (code10 % 10 != 0) text += "." + std::to_string(code10 % 10);
  return text;
}

bool parseGcodeLine(std::string_view line, tGcodeBlock& block, tGcodeLineProblem& problem) {
  block.percent = block.blockDelete = block.unclosedComment = false;
  block.letters = 0;
  block.gCount = block.mCount = 0;
  bool first = true;  // nothing but blanks so far
  std::size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (isBlank(static_cast<unsigned char>(c))) {
      ++at;
      continue;
    }
    if (c == '(') {
      // A comment ends at its ")"; the rest of the line still counts.
      const std::size_t close = line.find(')', at + 1);
      if (close == std::string_view::npos) {
        block.unclosedComment = true;
        break;
      }
      at = close + 1;
      continue;
    }
    if (c == ';') break;  // the rest of the line is a comment
    if (c == '/' && first) {
      block.blockDelete = true;
      first = false;
      ++at;
      continue;
    }
    if (c == '%' && first) {
      // Only a line of its own; a comment may follow.
      block.percent = true;
      first = false;
      ++at;
      continue;
    }
    if (c == '#') return refuse(problem, "parameters (#) are not read", line.substr(at));
    if (c == '[') return refuse(problem, "expressions in brackets are not read", line.substr(at));
    const char letter = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (letter < 'A' || letter > 'Z' || block.percent) return refuse(problem, "this is not a G-code word", line.substr(at));
    first = false;
    const std::size_t wordStart = at++;
    std::size_t next = at;
    while (next < line.size() && isBlank(static_cast<unsigned char>(line[next]))) ++next;
    if (next < line.size() && line[next] == '#') return refuse(problem, "parameters (#) are not read", line.substr(wordStart));
    if (next < line.size() && line[next] == '[')
      return refuse(problem, "expressions in brackets are not read", line.substr(wordStart));
    char run[48];
    std::size_t length = 0;
    double value = 0;
    if (!takeNumber(line, at, run, length, value)) {
      problem.badNumber = true;
      problem.reason.clear();
      problem.token = std::string(1, letter) + std::string(run, std::min(length, std::size_t{40}));
      return false;
    }
    if (letter == 'G') {
      const double code10 = std::round(value * 10);
      if (value < 0 || std::fabs(value * 10 - code10) > 1e-6 || code10 > 9999)
        return refuse(problem, "this G code is not read", std::string("G") + std::string(run, length));
      if (!addCode(block.g, block.gCount, static_cast<int>(code10)))
        return refuse(problem, "too many G codes on one line", std::string("G") + std::string(run, length));
    } else if (letter == 'M') {
      if (value < 0 || value != std::floor(value) || value > 9999)
        return refuse(problem, "this M code is not read", std::string("M") + std::string(run, length));
      if (!addCode(block.m, block.mCount, static_cast<int>(value)))
        return refuse(problem, "too many M codes on one line", std::string("M") + std::string(run, length));
    } else {
      if (letter == 'O') {
        // A program number stands alone; O words with a keyword after them
        // (sub, call, if, while, ...) are subprograms and program flow.
        std::size_t after = at;
        while (after < line.size() && isBlank(static_cast<unsigned char>(line[after]))) ++after;
        const char k = after < line.size() ? line[after] : ' ';
        if ((k >= 'a' && k <= 'z') || (k >= 'A' && k <= 'Z'))
          return refuse(problem, "subprograms and program flow (O words) are not read", line.substr(wordStart));
      }
      const std::uint32_t bit = 1u << (letter - 'A');
      if ((block.letters & bit) && letter != 'N')
        return refuse(problem, "a word appears twice on one line", std::string(1, letter) + std::string(run, length));
      block.letters |= bit;
      block.value[letter - 'A'] = value;
    }
  }
  return true;
}

}  // namespace trazvik::import
