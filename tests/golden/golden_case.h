// Golden job cases: each folder under tests/golden/ holds a tiny design
// file, the settings (a .mcc file and/or NAME=VALUE lines), the machine type
// and firmware in "case.txt", and "expected.txt", the decoder's text of the
// job (one command a line). The tolerances of the retrace on the simulated
// controller are case data too.
#pragma once

#include "app/offline_job.h"
#include "machine/command_set.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace trazvik::golden {

struct GoldenCase {
  std::string name;  // the folder's name
  std::filesystem::path folder;
  app::tOfflineJobRequest request;  // paths made absolute
  // Retrace: largest distance in machine steps between a toolpath point and
  // the simulated tool (per axis), and where the job leaves the tool, in
  // millimetres of the machine (after the start at the project origin).
  double toleranceSteps = 1;
  std::optional<std::array<double, 3>> endMm;
};

// Folders under `root` that hold a "case.txt", sorted by name.
std::vector<std::filesystem::path> caseFolders(const std::filesystem::path& root);

// Reads "case.txt": lines "key = value", "#" comments. Keys: design,
// machine, firmware, controller_version, settings, set (repeatable), head,
// tolerance_steps, end_mm (x, y, z). Throws std::runtime_error naming the
// file and line for an unknown key or a bad value.
GoldenCase readCase(const std::filesystem::path& folder);

// The job as the decoder reads it for that machine: one line per command
// ("name fields | meaning"), no offsets, so an inserted command shifts no
// other line.
std::string jobText(const Bytes& job, const tMachineState& machine);

// Empty when equal; otherwise the number (from 1) of the first differing
// line with the expected and actual line and the line before it.
std::string firstDifference(const std::string& expected, const std::string& actual);

}  // namespace trazvik::golden
