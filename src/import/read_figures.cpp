#include "import/read_figures.h"

#include "geometry/units.h"
#include "import/reader_settings.h"
#include "import/thpgl.h"

#include <cstring>
#include <utility>

namespace trazvik::import {

double projectAccuracy(int fileType) { return fileType == kFileTypeHpgl ? 2.0 : 0.01; }

std::string tFigureFile::errorText(const std::string& path) const {
  if (openError != 0) {
    if (openError == kErrorFileInUse) return path + ": the file is used by another process";
    return path + ": the file cannot be opened (" + std::strerror(openError) + ")";
  }
  return error ? error.text() : std::string();
}

tFigureFile readFigureFile(const std::string& path, int fileType, const tReaderSettings& settings) {
  tFigureFile result;
  result.fileType = fileType;
  Thpgl reader;
  applyReaderSettings(reader, settings);
  reader.accuracy = projectAccuracy(fileType);
  result.openError = reader.open(path, fileType, settings.multilayer);
  if (result.openError != 0) return result;
  while (!reader.EndOfFile) {
    auto fig = std::make_unique<tfigura>();
    reader.get_figura(*fig);
    if (reader.failed()) break;
    if (!fig->p.empty() || !fig->sp.empty()) result.figures.push_back(std::move(fig));
  }
  reader.close();
  if (reader.failed()) {
    result.error = reader.error();
    result.figures.clear();
    result.figures.shrink_to_fit();
    return result;
  }
  result.shortSegments = reader.shortSegments();
  result.warnings = reader.warnings();
  result.gF = reader.gcode.gFeed;
  result.gS = reader.gcode.gSpindle;
  return result;
}

}  // namespace trazvik::import
