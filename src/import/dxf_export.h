// DXF export of a project's 3-D paths: one 3-D polyline per figure with a
// path (sp), coordinates in millimetres, geometry only (no header, tables,
// layers or colours).
#pragma once
#include "geometry/figure.h"

#include <memory>
#include <string>
#include <vector>

namespace trazvik::import {

// A coordinate in millimetres as the export writes it: 7 significant digits
// and at most 5 decimals, shown with exactly 5 decimals ("12.50000",
// "0.12346", "1234.56800", "-2.50000").
std::string dxfCoordinateText(double mm);

// The whole file, CR LF line ends, figures in list order. fileType converts
// file units to mm.
std::string dxfExportText(const std::vector<const tfigura*>& figures, int fileType);
std::string dxfExportText(const std::vector<tfigura>& figures, int fileType);

// Writes the file (replacing one of the same name). 0, or the operating
// system's error code; a partly written file stays on disk.
int ZapiszDXF(const std::string& path, const std::vector<const tfigura*>& figures, int fileType);
int ZapiszDXF(const std::string& path, const std::vector<tfigura>& figures, int fileType);
// The figures of a project.
int ZapiszDXF(const std::string& path, const std::vector<std::unique_ptr<tfigura>>& figures, int fileType);

}  // namespace trazvik::import
