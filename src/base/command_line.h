#pragma once
#include "no_qt.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik::base {

// The program's arguments (without the program name) and the two ways the
// program reads them.
//
// A switch is on when one argument equals the word, letter case ignored.
// A value option is an argument that contains the word, letter case ignored,
// written word='value'; its value is the text after the first apostrophe up
// to, but not including, the argument's last character.
class CommandLine {
 public:
  CommandLine() = default;
  explicit CommandLine(std::vector<std::string> arguments);
  // From main(): skips argv[0].
  CommandLine(int argc, const char* const* argv);

  const std::vector<std::string>& arguments() const { return arguments_; }

  // True when an argument equals `word`, letter case ignored.
  bool hasSwitch(std::string_view word) const;
  // True when one of the words is a switch on the command line.
  bool hasAnySwitch(std::initializer_list<std::string_view> words) const;
  // True when the argument at `position` (0 = first) is exactly `text`.
  bool argumentAt(std::size_t position, std::string_view text) const;

  // The value of the option `word`, or nothing when no argument contains it.
  // When several arguments contain the word, the one that begins with it is
  // taken (so "dataDir='/home/adres'" is not mistaken for "ADres"); failing
  // that, the first one that contains it.
  std::optional<std::string> valueOption(std::string_view word) const;
  // The option's value as a whole decimal number; nothing when the option is
  // absent or its value is not an integer.
  std::optional<long long> integerOption(std::string_view word) const;

 private:
  std::vector<std::string> arguments_;
};

// Letter-case-insensitive comparisons of ASCII words.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool containsIgnoringCase(std::string_view text, std::string_view word);
bool startsWithIgnoringCase(std::string_view text, std::string_view word);

// The text of a value option argument: after the first apostrophe, without
// the last character; without an apostrophe, the argument less its last
// character.
std::string valueOfOptionArgument(std::string_view argument);

}  // namespace trazvik::base
