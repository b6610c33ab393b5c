#include "golden_case.h"

#include "job/command_decoder.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace trazvik::golden {

namespace fs = std::filesystem;

std::vector<fs::path> caseFolders(const fs::path& root) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) {
    if (entry.is_directory() && fs::exists(entry.path() / "case.txt")) out.push_back(entry.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

namespace {

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

double number(const std::string& text, const std::string& where) {
  try {
    std::size_t used = 0;
    const double v = std::stod(text, &used);
    if (trim(text.substr(used)).empty()) return v;
  } catch (const std::logic_error&) {
  }
  throw std::runtime_error(where + ": \"" + text + "\" is not a number");
}

std::array<double, 3> triple(const std::string& text, const std::string& where) {
  std::array<double, 3> v{};
  std::stringstream in(text);
  std::string part;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!std::getline(in, part, ',')) throw std::runtime_error(where + ": expected x, y, z");
    v[i] = number(trim(part), where);
  }
  if (std::getline(in, part, ',')) throw std::runtime_error(where + ": expected x, y, z");
  return v;
}

}  // namespace

GoldenCase readCase(const fs::path& folder) {
  GoldenCase c;
  c.name = folder.filename().string();
  c.folder = folder;
  const fs::path file = folder / "case.txt";
  std::ifstream in(file);
  if (!in) throw std::runtime_error(file.string() + ": cannot be read");
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) {
    const std::string where = file.string() + ":" + std::to_string(n);
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) throw std::runtime_error(where + ": expected key = value");
    const std::string key = trim(line.substr(0, eq));
    const std::string value = trim(line.substr(eq + 1));
    if (key == "design")
      c.request.design = (folder / value).string();
    else if (key == "machine")
      c.request.machine.type = value;
    else if (key == "firmware")
      c.request.machine.firmware = value;
    else if (key == "controller_version")
      c.request.machine.controllerVersion = static_cast<int>(number(value, where));
    else if (key == "settings")
      c.request.settingsFile = (folder / value).string();
    else if (key == "set")
      c.request.sets.push_back(value);
    else if (key == "head")
      c.request.head = static_cast<int>(number(value, where));
    else if (key == "tolerance_steps")
      c.toleranceSteps = number(value, where);
    else if (key == "end_mm")
      c.endMm = triple(value, where);
    else
      throw std::runtime_error(where + ": unknown key \"" + key + "\"");
  }
  if (c.request.design.empty()) throw std::runtime_error(file.string() + ": no design file");
  if (c.request.machine.type.empty()) throw std::runtime_error(file.string() + ": no machine type");
  return c;
}

std::string jobText(const Bytes& job, const tMachineState& machine) {
  const tCommandSet set = commandSetOf(machine.model, machine.link);
  std::string out;
  for (const tDecodedCommand& d : decodeCommandStream(job, set, machine.model.commandLengths))
    out += commandText(d, set) + "\n";
  return out;
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::istringstream e(expected), a(actual);
  std::string le, la, before;
  for (int n = 1;; ++n) {
    const bool he = static_cast<bool>(std::getline(e, le));
    const bool ha = static_cast<bool>(std::getline(a, la));
    if (!he && !ha) return "the texts differ only in their line ends";
    if (he != ha || le != la) {
      std::string s = "command " + std::to_string(n) + " differs\n";
      if (n > 1) s += "  after:    " + before + "\n";
      s += "  expected: " + (he ? le : std::string("(end of job)")) + "\n";
      s += "  actual:   " + (ha ? la : std::string("(end of job)")) + "\n";
      return s;
    }
    before = le;
  }
}

}  // namespace trazvik::golden
