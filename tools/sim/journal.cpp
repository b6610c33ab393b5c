#include "journal.h"

#include "link/echo_check.h"

#include <fstream>

namespace trazvik::sim {

bool writeJournal(const std::vector<Bytes>& commands, const std::string& path, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const Bytes& c : commands) out << hexBytes(c) << '\n';
  out.close();
  if (!out) {
    error = "cannot write the journal " + path;
    return false;
  }
  return true;
}

}  // namespace trazvik::sim
