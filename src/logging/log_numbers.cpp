#include "logging/log_numbers.h"

#include "config/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace trazvik::logging {

std::string fixedOneDecimal(double value, char separator) {
  if (std::isfinite(value) && std::fabs(value) >= 1e7) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6E", value);
    std::string text = buffer;  // d.ddddddE+xx
    const auto e = text.find('E');
    const auto dot = text.find('.');
    if (dot != std::string::npos) text[dot] = separator;
    const char sign = text[e + 1];
    const int exponent = std::abs(std::atoi(text.c_str() + e + 2));
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%03d", sign, exponent);
    return text.substr(0, e) + tail;
  }
  return config::formatFixed(value, 1, separator);
}

}  // namespace trazvik::logging
