// Thpgl: opening, closing, figure dispatch and the finishing step that every
// figure passes through whatever its format.
#include "import/thpgl.h"

#include "geometry/units.h"

namespace trazvik::import {

Thpgl::Thpgl() = default;

int Thpgl::open(const std::string& fileName, int fileType, bool openedAsMultilayer) {
  close();
  fileName_ = fileName;
  error_ = {};
  warnings_.clear();
  shortSegments_ = 0;
  pens = {};
  FileType = fileType;
  otwarto_jako_wielowarstw = openedAsMultilayer;
  EndOfFile = true;
  const int rc = f.open(fileName);
  if (rc != 0) return rc;
  EndOfFile = false;
  switch (fileType) {
    case kFileTypeHpgl:
      last_pen = 0;
      plot.reset();
      break;
    case kFileTypeDxf:
      Dxf2Hpgl = 40;
      last_pen = 0;
      parzystyWiersz = true;
      EndOfFile = f.peek() < 0;
      dxf.reset();
      break;
    case kFileTypeGcode:
      lastGb = {};
      lastGp = {};
      parzystyWiersz = true;
      EndOfFile = f.peek() < 0;
      gcode.reset();
      break;
    default: break;  // get_figura reports the type
  }
  return 0;
}

void Thpgl::close() { f.close(); }

void Thpgl::get_figura(tfigura& fig) {
  if (failed() || !f.isOpen()) {
    EndOfFile = true;
    return;
  }
  switch (FileType) {
    case kFileTypeHpgl: plot.readFigure(fig); break;
    case kFileTypeDxf: dxf.readFigure(fig); break;
    case kFileTypeGcode: gcode.readFigure(fig); break;
    default: fail(tReadErrorKind::UnsupportedType, 0, std::to_string(FileType)); break;
  }
  if (failed()) {
    EndOfFile = true;
    return;
  }
  finishFigure(fig);
}

void Thpgl::finishFigure(tfigura& fig) {
  // The DXF extrusion conversion and the G-code feed and kind join here with
  // their readers.
  if (FileType == kFileTypeGcode) gcode.finish(fig);
  shortSegments_ += finishFigureShape(fig, accuracy);
}

void Thpgl::fail(tReadErrorKind kind, std::uint64_t offset, const std::string& token, int osError) {
  if (failed()) return;  // the first error is the one that counts
  error_.kind = kind;
  error_.fileName = fileName_;
  error_.offset = offset;
  error_.token = token;
  error_.osError = osError;
  EndOfFile = true;
}

void Thpgl::failAtLine(tReadErrorKind kind, std::uint64_t line, const std::string& token, const std::string& reason) {
  if (failed()) return;
  fail(kind, f.offset(), token);
  error_.line = line;
  error_.reason = reason;
}

}  // namespace trazvik::import
