// "IPPloter.txt": the controller's IPv4 address, four lines of one number
// each, right-aligned in at least 3 characters.
#pragma once
#include "no_qt.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik::config {

inline constexpr const char* kAddressFileName = "IPPloter.txt";

// The four values rounded to integers (ties to even), each "%3d" + CR LF.
std::string addressFileText(const std::array<double, 4>& numbers);

// The numbers of the file's lines in order, as far as they can be read: a
// line that does not start (after blanks) with an integer ends the reading.
// At most four.
std::vector<long long> readAddressNumbers(std::string_view text);

}  // namespace trazvik::config
