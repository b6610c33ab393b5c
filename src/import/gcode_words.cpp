#include "import/gcode_words.h"

#include <charconv>
#include <cmath>

namespace trazvik::import {

namespace {

// Control characters (a trailing ^Z, form feeds) are blanks like spaces.
bool isBlank(unsigned char c) { return c <= ' ' || c == 0x7f; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNumberChar(char c) { return isDigit(c) || c == '+' || c == '-' || c == ',' || c == '.'; }

constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The number after a word letter, from line[at] on, with blanks between its
// characters skipped: an optional sign, digits with at most one decimal
// point ("." or ","), at least one digit. `at` moves past it. False when
// the run of number characters there is malformed ("", "1-2", "1.2.3").
bool readNumber(std::string_view line, std::size_t& at, double& out) {
  const char* p = line.data() + at;
  const char* const end = line.data() + line.size();
  while (p < end && isBlank(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  std::uint64_t mantissa = 0;
  int digits = 0, fraction = 0;
  bool point = false, exact = true;
  for (; p < end; ++p) {
    const char c = *p;
    if (isDigit(c)) {
      if (mantissa < 100000000000000000ull) {
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        fraction += point ? 1 : 0;
      } else {
        exact = false;  // beyond 17 digits: the library reads it
      }
      ++digits;
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
    } else if (!isBlank(static_cast<unsigned char>(c))) {
      break;
    }
  }
  if (digits == 0 || (p < end && isNumberChar(*p))) return false;
  const std::size_t start = at;
  at = static_cast<std::size_t>(p - line.data());
  if (exact && fraction <= 22 && mantissa < (1ull << 53)) {
    // Both operands exact: one correctly rounded division.
    const double v = static_cast<double>(mantissa) / kPowers[fraction];
    out = negative ? -v : v;
    return true;
  }
  std::string text;
  for (std::size_t i = start; i < at; ++i) {
    const char c = line[i];
    if (c == ',')
      text.push_back('.');
    else if (c != '+' && !isBlank(static_cast<unsigned char>(c)))
      text.push_back(c);
  }
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// The run of number characters after a letter as written, blanks left out,
// for messages ("X1-2").
std::string numberRun(std::string_view line, std::size_t at) {
  std::string run;
  for (; at < line.size() && (isNumberChar(line[at]) || isBlank(static_cast<unsigned char>(line[at]))); ++at) {
    if (!isBlank(static_cast<unsigned char>(line[at])) && run.size() < 40) run.push_back(line[at]);
  }
  return run;
}

bool refuse(tGcodeLineProblem& problem, const char* reason, std::string_view token) {
  problem.badNumber = false;
  problem.reason = reason;
  problem.token = std::string(token.substr(0, 20));
  return false;
}

// A letter whose number cannot be read: a parameter or an expression is
// refused as such, anything else is a malformed number.
bool badWord(tGcodeLineProblem& problem, std::string_view line, std::size_t wordStart) {
  std::size_t next = wordStart + 1;
  while (next < line.size() && isBlank(static_cast<unsigned char>(line[next]))) ++next;
  if (next < line.size() && line[next] == '#')
    return refuse(problem, "parameters (#) are not read", line.substr(wordStart));
  if (next < line.size() && line[next] == '[')
    return refuse(problem, "expressions in brackets are not read", line.substr(wordStart));
  problem.badNumber = true;
  problem.reason.clear();
  problem.token = std::string(1, line[wordStart]) + numberRun(line, wordStart + 1);
  return false;
}

bool addCode(int (&codes)[tGcodeBlock::kMaxCodes], int& count, int code) {
  if (count >= tGcodeBlock::kMaxCodes) return false;
  codes[count++] = code;
  return true;
}

// A G or M code: G codes times ten (G90.1 = 901), M codes whole.
bool addGM(tGcodeBlock& block, tGcodeLineProblem& problem, char letter, double value, std::string_view word) {
  if (letter == 'G') {
    const double code10 = std::round(value * 10);
    if (value < 0 || std::fabs(value * 10 - code10) > 1e-6 || code10 > 9999)
      return refuse(problem, "this G code is not read", word);
    if (!addCode(block.g, block.gCount, static_cast<int>(code10)))
      return refuse(problem, "too many G codes on one line", word);
    return true;
  }
  if (value < 0 || value != std::floor(value) || value > 9999) return refuse(problem, "this M code is not read", word);
  if (!addCode(block.m, block.mCount, static_cast<int>(value)))
    return refuse(problem, "too many M codes on one line", word);
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
    const char letter = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (letter >= 'A' && letter <= 'Z') {
      if (block.percent) return refuse(problem, "this is not a G-code word", line.substr(at));
      first = false;
      const std::size_t wordStart = at++;
      double value = 0;
      if (!readNumber(line, at, value)) return badWord(problem, line, wordStart);
      std::string_view word = line.substr(wordStart, at - wordStart);
      while (isBlank(static_cast<unsigned char>(word.back()))) word.remove_suffix(1);
      if (letter == 'G' || letter == 'M') {
        if (!addGM(block, problem, letter, value, word)) return false;
        continue;
      }
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
      if ((block.letters & bit) && letter != 'N') return refuse(problem, "a word appears twice on one line", word);
      block.letters |= bit;
      block.value[letter - 'A'] = value;
      continue;
    }
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
    if ((c == '/' || c == '%') && first) {
      // Block delete starts a line; "%" stands on a line of its own.
      (c == '/' ? block.blockDelete : block.percent) = true;
      first = false;
      ++at;
      continue;
    }
    if (c == '#') return refuse(problem, "parameters (#) are not read", line.substr(at));
    if (c == '[') return refuse(problem, "expressions in brackets are not read", line.substr(at));
    return refuse(problem, "this is not a G-code word", line.substr(at));
  }
  return true;
}

}  // namespace trazvik::import
