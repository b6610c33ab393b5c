// Words of a G-code line: line preparation and taking one word by letter.
#pragma once
#include "no_qt.h"

#include <string>

namespace trazvik::import {

// Blanks trimmed, cut at the first "(" or ";" (comments), blanks removed.
std::string prepareGcodeLine(const std::string& line);

enum class tWordResult {
  NotFound,   // the letter is not in the line
  Found,      // value holds its number
  Malformed,  // the letter has no number, or a malformed one ("1-2", "-", ".")
};

// Takes the first word of the upper-case letter from `line`: the letter and
// the run of "+-,.0123456789" after it, "," and "." both decimal points. The
// word is removed from `line`; `text` receives it for messages.
tWordResult takeWord(std::string& line, char letter, double& value, std::string& text);

}  // namespace trazvik::import
