// Reading a whole design file into its list of figures, as the reader gives
// them (before the project drops, joins or orders any).
#pragma once
#include "geometry/figure.h"
#include "geometry/units.h"
#include "import/file_type.h"
#include "import/gcode_reader.h"
#include "import/read_error.h"
#include "import/read_warning.h"

#include <memory>
#include <string>
#include <vector>

namespace trazvik::import {

// Segments shorter than this (file units) count as short: 2.0 for plot
// files, 0.01 for the others.
double projectAccuracy(int fileType);

struct tReaderSettings {
  double mnoznikZ = 1;        // multiplier of plot pen widths
  bool multilayer = false;    // opened as a multi-layer project
  bool forceBSpline = false;  // the "spline" switch: DXF splines always as B-splines
  tGcodeSettings gcode;       // machine limits and settings of the G-code reader
};

struct tFigureFile {
  int fileType = 0;
  // Every figure with at least one point (in p, or for G-code in sp), each
  // in its own allocation (as the project keeps them, so their addresses
  // stay put).
  std::vector<std::unique_ptr<trazvik::tfigura>> figures;
  int shortSegments = 0;
  double gF = 0;  // G-code: feed and spindle speed in force at the end of the file
  double gS = 0;
  int openError = 0;       // the operating system's code when the file could not be opened
  tReadError error;        // why reading stopped; figures is empty then
  tReadWarnings warnings;  // what the file holds that was not drawn

  bool ok() const { return openError == 0 && !error; }
  // One line for the operator when !ok().
  std::string errorText(const std::string& path) const;
};

// Reads every figure of the file; on any error no figure is kept.
tFigureFile readFigureFile(const std::string& path, int fileType, const tReaderSettings& settings = {});

}  // namespace trazvik::import
