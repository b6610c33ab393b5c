// Small value records shared by the whole system: points in two, three and
// four dimensions, Bezier segments, G-code extents, raster lines, and the
// working records of the line and segment functions.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <vector>

namespace trazvik {

// Stands for an infinite or unset value throughout the geometry (vertical
// slope, no previous point).
inline constexpr double kUnset = 2147483647.0;

// A 2-D point of a figure, in file units.
struct trealpoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const trealpoint&, const trealpoint&) = default;
};

// A 3-D point (G-code points, Bezier control points, machine zero).
struct trpoint3d {
  double x = 0;
  double y = 0;
  double z = 0;
  friend bool operator==(const trpoint3d&, const trpoint3d&) = default;
};

// A point with whole coordinates (screen and step positions).
struct tIntPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const tIntPoint&, const tIntPoint&) = default;
};

// A machine position in whole units for X, Y, Z, V and the second Y drive.
struct tpoint4d {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t z = 0;
  std::int32_t v = 0;
  std::int32_t y2 = 0;
  friend bool operator==(const tpoint4d&, const tpoint4d&) = default;
};

// A machine position in millimetres for X, Y, Z, V.
struct trpoint4d {
  double x = 0;
  double y = 0;
  double z = 0;
  double v = 0;
  friend bool operator==(const trpoint4d&, const trpoint4d&) = default;
};

// A single-precision 3-D point (DXF extrusion conversion).
struct TPoint3D {
  float x = 0;
  float y = 0;
  float z = 0;
  friend bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

// One cubic Bezier segment: start A, control points B and C, end D.
struct tBezier {
  trpoint3d A;
  trpoint3d B;
  trpoint3d C;
  trpoint3d D;
  float U = 0;          // parameter step of the interpolation
  double Dlugosc = 0;   // length
  bool prosta = false;  // the segment is straight
  bool gladki = false;  // joins its successor smoothly
  bool test = false;
};

// Feed, spindle speed and extents of a G-code project.
struct tMinMax {
  double gF = 0;
  double gS = 0;
  double minX = 0;
  double maxX = 0;
  double minY = 0;
  double maxY = 0;
  double minZ = 0;
  double maxZ = 0;
};

// Power values of one raster line, one 16-bit value per pixel.
using tPixelki = std::vector<std::uint16_t>;

// One raster line of a bitmap engraving.
struct tLinia {
  double startX = 0;
  tPixelki Pixelki;
};

// A segment from start to end.
struct tSegment {
  trealpoint start;
  trealpoint end;
};

// The line through a segment in slope form, y = slope * x + intercept.
// A vertical line has slope kUnset and intercept = its x; a degenerate one
// (both ends equal) has slope and intercept 0.
struct tLineEq {
  double slope = 0;
  double intercept = 0;
  bool vertical = false;
  bool degenerate = false;
};

// The line in general form A*x + B*y + C = 0.
struct tLineGen {
  double A = 0;
  double B = 0;
  double C = 0;
  bool vertical = false;
};

}  // namespace trazvik
