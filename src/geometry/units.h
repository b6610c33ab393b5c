// File units of figures and their conversion to and from millimetres.
#pragma once
#include "no_qt.h"

namespace trazvik {

// File types of a project; figure coordinates are kept in the unit of the
// type: 40 per mm for plot files, 100 per mm for DXF and G-code, mm for
// bitmaps.
inline constexpr int kFileTypeHpgl = 1;
inline constexpr int kFileTypeDxf = 2;
inline constexpr int kFileTypeGcode = 3;
inline constexpr int kFileTypeBitmap = 4;

// File units of the given type to millimetres; 0 for an unknown type.
double toMm(int fileType, double value);

// Millimetres to file units of the given type; 0 for bitmaps and unknown
// types.
double fromMm(int fileType, double value);

}  // namespace trazvik
