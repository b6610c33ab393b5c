// The program's own small record files (the job's figure index, its progress
// record): a header line naming the kind and its version, then one
// "key value..." line per item.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trazvik::base {

struct tKeyedLine {
  std::string key;
  std::string rest;  // everything after the first space
  std::string line;  // the whole line, for messages
};

// Reads `text`, whose first line must be `header`; blank lines are skipped.
// `onLine` gets every other line and returns why it is refused, or "" to
// go on. Returns "" when all is read, otherwise "NAME, line N: why", where a
// wrong header is told as "not a KIND". Keys the caller does not know are
// its own to skip: a newer program may add some, and an older one that
// reads its file needs none of them.
std::string readKeyedRecords(std::string_view text, std::string_view header, std::string_view kind,
                             const std::string& name, const std::function<std::string(const tKeyedLine&)>& onLine);

// The whole of `s` as a number, nothing before or after it.
bool readWholeNumber(std::string_view s, int& out);
bool readWholeNumber(std::string_view s, std::uint64_t& out);
// The whole of `s` as a finite real number with a decimal point, in any
// locale (a leading "+" allowed, no blanks).
bool readFiniteReal(std::string_view s, double& out);
// `v` with `decimals` places and a decimal point, whatever the process's
// locale: the desktop program runs in the operator's, the CLI in "C", and
// each must read what the other wrote.
std::string fixedText(double v, int decimals);

}  // namespace trazvik::base
