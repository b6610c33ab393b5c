// The surface scan drawn as a height map: each probed point a cell
// coloured by its height on a scale from blue (lowest) through green to
// red (highest), the scale beside it with its millimetres, the lowest and
// the highest point marked.
#pragma once
#include "no_qt.h"

#include <string>
#include <vector>

namespace trazvik {

struct tScanPoint {
  double x = 0, y = 0;  // mm
  double height = 0;    // above the table, mm
};

struct tPixelRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct tScanPicture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // rows from the top, 3 bytes a pixel
  tPixelRect map;                  // the table; machine Y upward
  tPixelRect scale;                // the colour scale, highest at its top
  double lowest = 0, highest = 0;  // mm

  // The pixel (column, row) of the table point (x, y) mm.
  int columnOf(double x) const;
  int rowOf(double y) const;
  double mmPerPixel = 1, minX = 0, maxY = 0;
};

// The colour of a height on the scale from `lowest` to `highest`.
void scaleColour(double height, double lowest, double highest, unsigned char rgb[3]);

// The picture of the points; an empty picture for no points.
tScanPicture drawScanPicture(const std::vector<tScanPoint>& points);

// Writes it as PNG; false with the reason in `error`.
bool writeScanPicture(const tScanPicture& picture, const std::string& path, std::string& error);

}  // namespace trazvik
