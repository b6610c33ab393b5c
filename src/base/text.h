// Small text helpers shared by every module.
#pragma once
#include "no_qt.h"

#include <string>
#include <string_view>

namespace trazvik::base {

// Spaces, tabs and line ends.
inline constexpr std::string_view kBlanks = " \t\r\n\v\f";

// The text without `blanks` at either end.
std::string_view trimmedView(std::string_view text, std::string_view blanks = kBlanks);
std::string trimmed(std::string_view text, std::string_view blanks = kBlanks);

// The text without spaces and control characters (bytes below 32, and DEL)
// at either end: what a controller's reply or a logged line is padded with.
std::string trimmedOfControls(std::string_view text);

}  // namespace trazvik::base
