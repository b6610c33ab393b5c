#include "sim_config.h"

#include <charconv>

namespace trazvik::sim {

bool parseFirmware(const std::string& text, SimConfig& config) {
  int parts[3] = {0, 0, 0};
  const char* p = text.data();
  const char* end = p + text.size();
  int count = 0;
  while (count < 3) {
    auto [next, ec] = std::from_chars(p, end, parts[count]);
    if (ec != std::errc{} || parts[count] < 0 || parts[count] > 255) return false;
    ++count;
    p = next;
    if (p == end) break;
    if (*p != '.') return false;
    ++p;
  }
  if (p != end || count < 2) return false;
  config.firmwareMajor = parts[0];
  config.firmwareMinor = parts[1];
  config.firmwareBuild = parts[2];
  return true;
}

}  // namespace trazvik::sim
