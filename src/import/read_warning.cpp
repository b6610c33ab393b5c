#include "import/read_warning.h"

#include <algorithm>

namespace trazvik::import {

std::string tReadWarning::text(const std::string& fileName) const {
  const std::string place = line > 0 ? "line " + std::to_string(line) : "byte " + std::to_string(offset);
  std::string out = fileName + ": " + place + ": " + what;
  if (count > 1) out += " (" + std::to_string(count) + " times)";
  return out;
}

void tReadWarnings::add(const std::string& what, std::uint64_t line, std::uint64_t offset) {
  // A file holds few kinds of warnings, so a linear search stays cheap.
  const auto it = std::find_if(list_.begin(), list_.end(), [&](const tReadWarning& w) { return w.what == what; });
  if (it != list_.end()) {
    ++it->count;
    return;
  }
  list_.push_back({what, 1, line, offset});
}

}  // namespace trazvik::import
