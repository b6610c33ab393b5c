#include "control/machine_type_cache.h"

#include "base/text.h"

#include "base/atomic_file.h"

#include <fstream>

namespace trazvik {

std::optional<std::string> readMachineTypeCache(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  char c = 0;
  while (line.size() < 64 && in.get(c) && c != '\n' && c != '\r') line.push_back(c);
  if (base::trimmed(line).empty()) return std::nullopt;
  return line;
}

bool writeMachineTypeCache(const std::string& path, const std::string& info1) {
  return base::writeFileAtomically(path, info1);
}

}  // namespace trazvik
