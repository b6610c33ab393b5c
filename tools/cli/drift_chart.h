// The drift chart of a test run: the base deviations of X, Y and Z (one
// panel each) against the running time of each job, one coloured line per
// job, with the 0.5 mm limits, written as a PNG picture.
#pragma once

#include "control/base_check.h"

#include <string>
#include <vector>

namespace trazvik::cli {

struct DriftSeries {
  std::string name;  // the project's file name
  std::vector<tBaseCheckMeasurement> checks;
};

// False with `error` filled when the picture cannot be written.
bool writeDriftChart(const std::vector<DriftSeries>& jobs, const std::string& path, std::string& error);

}  // namespace trazvik::cli
