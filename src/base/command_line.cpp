#include "base/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace trazvik::base {
namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view word) {
  return text.size() >= word.size() && equalsIgnoringCase(text.substr(0, word.size()), word);
}

bool containsIgnoringCase(std::string_view text, std::string_view word) {
  if (word.empty()) return true;
  auto found = std::search(text.begin(), text.end(), word.begin(), word.end(),
                           [](char x, char y) { return lower(x) == lower(y); });
  return found != text.end();
}

std::string valueOfOptionArgument(std::string_view argument) {
  if (argument.empty()) return {};
  const std::size_t apostrophe = argument.find('\'');
  const std::size_t start = apostrophe == std::string_view::npos ? 0 : apostrophe + 1;
  const std::size_t end = argument.size() - 1;  // the last character is dropped
  if (start >= end) return {};
  return std::string(argument.substr(start, end - start));
}

CommandLine::CommandLine(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

CommandLine::CommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i] ? argv[i] : "");
}

bool CommandLine::hasSwitch(std::string_view word) const {
  return std::any_of(arguments_.begin(), arguments_.end(),
                     [&](const std::string& argument) { return equalsIgnoringCase(argument, word); });
}

bool CommandLine::hasAnySwitch(std::initializer_list<std::string_view> words) const {
  return std::any_of(words.begin(), words.end(), [&](std::string_view word) { return hasSwitch(word); });
}

bool CommandLine::argumentAt(std::size_t position, std::string_view text) const {
  return position < arguments_.size() && arguments_[position] == text;
}

std::optional<std::string> CommandLine::valueOption(std::string_view word) const {
  const std::string* chosen = nullptr;
  for (const std::string& argument : arguments_) {
    if (startsWithIgnoringCase(argument, word)) {
      chosen = &argument;
      break;
    }
    if (!chosen && containsIgnoringCase(argument, word)) chosen = &argument;
  }
  if (!chosen) return std::nullopt;
  return valueOfOptionArgument(*chosen);
}

std::optional<long long> CommandLine::integerOption(std::string_view word) const {
  const std::optional<std::string> text = valueOption(word);
  if (!text || text->empty()) return std::nullopt;
  long long value = 0;
  const char* first = text->data();
  const char* last = first + text->size();
  if (*first == '+') ++first;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace trazvik::base
