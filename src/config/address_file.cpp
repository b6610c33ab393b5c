#include "config/address_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace trazvik::config {

std::string addressFileText(const std::array<double, 4>& numbers) {
  std::string text;
  for (double number : numbers) {
    char line[32];
    std::snprintf(line, sizeof line, "%3lld\r\n", static_cast<long long>(std::nearbyint(number)));
    text += line;
  }
  return text;
}

std::vector<long long> readAddressNumbers(std::string_view text) {
  std::vector<long long> numbers;
  std::size_t pos = 0;
  while (numbers.size() < 4 && pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty() && line.front() == '+') line.remove_prefix(1);
    long long value = 0;
    const auto [ptr, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc{} || ptr == line.data()) break;
    numbers.push_back(value);
  }
  return numbers;
}

}  // namespace trazvik::config
