// One case of the job-fidelity matrix: a sample design opened with a few
// settings changed from their defaults, written for a machine type the way
// the start of cutting writes it, run on the simulated controller in this
// process, and the simulated tool's path compared with the toolpaths.
#pragma once

#include "texts/interfejs.h"

#include <string>
#include <utility>
#include <vector>

namespace trazvik::testing {

struct FidelityCase {
  std::string machine;                                   // type code of the machine table
  std::string firmware;                                  // "5.10", "6.34", "7.20"
  std::string sample;                                    // file name in samples/
  std::vector<std::pair<std::string, double>> settings;  // NAME, value (mm, 0/1, item index)
  // Part of the message of a refusal the operator can act on, when the job
  // is expected to be refused; empty when it is to be cut.
  std::string refusal;

  std::string label() const;
};

struct FidelityOutcome {
  bool passed = false;
  bool refused = false;         // refused as expected
  std::string failure;          // names the case and the first fault found
  std::size_t points = 0;       // toolpath points checked
  double simulatedSeconds = 0;  // what the job took on the controller
};

// Tolerance of a cut point and of the project's box, mm.
inline constexpr double kFidelityToleranceMm = 0.05;

FidelityOutcome runFidelityCase(const FidelityCase& c, const texts::tInterfejs& texts);

}  // namespace trazvik::testing
