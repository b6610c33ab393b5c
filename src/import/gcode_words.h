// One line of a G-code program taken apart into its words, in one pass and
// without allocation: comments, the "%" marker, block delete, line numbers,
// letters in either case, and numbers with "." or "," as decimal point.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace trazvik::import {

struct tGcodeBlock {
  static constexpr int kMaxCodes = 16;
  bool percent = false;          // the line is the "%" that opens or closes a program
  bool blockDelete = false;      // the line starts with "/"
  bool unclosedComment = false;  // a "(" comment without its ")" ran to the line's end
  std::uint32_t letters = 0;     // one bit per letter present, A = bit 0 (G and M not included)
  double value[26] = {};         // the number of each letter present, by letter - 'A'
  int g[kMaxCodes] = {};         // G codes in line order, times ten (G90.1 = 901)
  int gCount = 0;
  int m[kMaxCodes] = {};  // M codes in line order
  int mCount = 0;

  bool has(char letter) const { return (letters >> (letter - 'A')) & 1u; }
  double operator[](char letter) const { return value[letter - 'A']; }
  bool hasG(int code10) const;
  bool hasM(int code) const;
  bool empty() const { return letters == 0 && gCount == 0 && mCount == 0; }
};

// Why a line cannot be taken apart. `badNumber` marks a letter without a
// number or with a malformed one (X, X1-2, F.); otherwise the line holds
// something the reader refuses and `reason` says what.
struct tGcodeLineProblem {
  bool badNumber = false;
  std::string reason;
  std::string token;  // the offending text
};

// Takes `line` apart into `block` (which is reset first). False with
// `problem` filled when the line cannot be read.
bool parseGcodeLine(std::string_view line, tGcodeBlock& block, tGcodeLineProblem& problem);

// "G1", "G90.1", "M30" for messages.
std::string gcodeWordText(char letter, int code10);

}  // namespace trazvik::import
