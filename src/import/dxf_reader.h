// The DXF side of Thpgl: reads one drawing entity per call and turns it into
// a figure (LINE, CIRCLE, ARC, ELLIPSE, SPLINE, POLYLINE with its VERTEX
// entities, LWPOLYLINE). Other entities of the ENTITIES section are warned
// about by name (count and first line); tables and blocks are skipped.
//
// The file is read as pairs of lines, a group code and its value. Nothing is
// looked at before the "ENTITIES" section starts. A group code that is not a
// whole number, or a number value that does not read as one, fails the read
// with the line number; so does a point beyond +-10 km.
#pragma once
#include "geometry/figure.h"
#include "import/ocs_to_wcs.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trazvik::import {

class Thpgl;

// A drawing point of an entity before it is stored.
struct tDxfVertex {
  trealpoint at;
  double bulge = 0;
  std::int32_t flags = 0;
};

class tDxfReader {
 public:
  explicit tDxfReader(Thpgl& in) : in_(in) {}

  // A new file was opened.
  void reset();
  // Fills fig from the next entity, converted to world coordinates.
  void readFigure(tfigura& fig);

  bool forceBSpline = false;     // the program's "spline" switch
  bool entitiesStarted = false;  // the "ENTITIES" section was reached
  double LTSCALE = 1.0;

  // Lines read so far (the number of the last line read).
  std::uint64_t lineNumber() const { return line_; }

 private:
  struct tGroup {
    std::int32_t code = -1;
    std::string value;
    std::uint64_t line = 0;  // line of the value
  };

  bool readLine(std::string& out);
  bool readEntity();
  void noteSkippedEntity();
  void noteDrawingUnits(std::string_view value);
  bool seekEntities();
  bool next();
  bool entityNext();
  bool real(double& value);
  bool whole(std::int32_t& value);
  void addPoint(double x, double y);
  void addPoints(const std::vector<trealpoint>& points);
  void toWorld(const TPoint3D& normal);
  bool extrusion(TPoint3D& normal);

  void readLineEntity();
  void readCircle();
  void readArc();
  void readEllipse();
  void readSpline();
  void readPolyline(bool light);
  bool readVertex(std::vector<tDxfVertex>& vertices);
  void drawPolyline(const std::vector<tDxfVertex>& vertices, std::int32_t flags);

  Thpgl& in_;
  tfigura* fig_ = nullptr;
  tGroup group_;
  std::string code_;         // text of the last code line
  std::string entityName_;   // the entity being read, for messages
  bool fileAtEnd_ = false;   // the last line of the file was read
  bool pending_ = false;     // group_ is read again by the next next()
  bool ended_ = false;       // no more groups (end of file or the EOF marker)
  bool inEntities_ = false;  // inside the ENTITIES section (before its ENDSEC)
  std::uint64_t line_ = 0;
  std::uint64_t entityLine_ = 0;
  trealpoint previous_;
  TConvOCS2WCS ocs_;
  std::string lines_[3];  // the last lines before the section starts
};

}  // namespace trazvik::import
