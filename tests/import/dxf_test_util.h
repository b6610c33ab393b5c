// Small helpers of the DXF and G-code reader tests: write a file, read its
// figures.
#pragma once
#include "import/read_figures.h"

#include "../common/temp_folder.h"

#include <string>
#include <vector>

namespace trazvik::import::testutil {

// "  0\nSECTION\n  2\nENTITIES\n" + body + "  0\nENDSEC\n  0\nEOF\n"
inline std::string entities(const std::string& body) {
  return "  0\nSECTION\n  2\nENTITIES\n" + body + "  0\nENDSEC\n  0\nEOF\n";
}

inline tFigureFile readText(const trazvik::testing::TempFolder& folder, const std::string& name,
                            const std::string& content, const tReaderSettings& settings = {}) {
  trazvik::testing::writeFile(folder / name, content);
  return readFigureFile((folder / name).string(), fileTypeFromExtension(name), settings);
}

}  // namespace trazvik::import::testutil
