#include "base/text.h"

namespace trazvik::base {

std::string_view trimmedView(std::string_view text, std::string_view blanks) {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string trimmed(std::string_view text, std::string_view blanks) { return std::string(trimmedView(text, blanks)); }

std::string trimmedOfControls(std::string_view text) {
  const auto padding = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && padding(text[begin])) ++begin;
  while (end > begin && padding(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace trazvik::base
