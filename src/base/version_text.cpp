#include "base/version_text.h"

#include "build_info.h"

#include <vector>

namespace trazvik::base {
namespace {

// The first four numbers of a dotted version; anything that is not a digit
// ends a number, so "1.2.3-rc1" reads as 1, 2, 3.
std::vector<std::string> versionNumbers(std::string_view version) {
  std::vector<std::string> numbers;
  std::size_t start = 0;
  while (numbers.size() < 4 && start <= version.size()) {
    std::size_t end = version.find('.', start);
    std::string_view part = version.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    std::size_t digits = 0;
    while (digits < part.size() && part[digits] >= '0' && part[digits] <= '9') ++digits;
    numbers.emplace_back(digits == 0 ? std::string("0") : std::string(part.substr(0, digits)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  while (numbers.size() < 4) numbers.emplace_back("0");
  return numbers;
}

}  // namespace

std::string fourNumberVersion(std::string_view version) {
  std::vector<std::string> n = versionNumbers(version);
  return n[0] + "." + n[1] + "." + n[2] + "." + n[3];
}

std::string majorMinorVersion(std::string_view version) {
  std::vector<std::string> n = versionNumbers(version);
  return n[0] + "." + n[1];
}

std::string programVersionText() { return fourNumberVersion(buildVersion()); }

std::string programMajorMinorVersion() { return majorMinorVersion(buildVersion()); }

}  // namespace trazvik::base
