// What the simulated laser burnt while engraving bitmaps: for every
// engraving move (the move after "SBS") the power at each pixel position
// the beam crossed, and the burnt picture drawn from it.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trazvik::sim {

// The pixels of one raster line as the controller received them, and how
// it turns a pixel byte into power.
struct RasterPass {
  std::vector<std::uint8_t> bytes;  // in the order sent (the order of travel)
  int count = 0;                    // pixels of the engraving move
  bool greyMapped = false;          // bytes are grey levels ("SBV" received)
  float blackPercent = 0, whitePercent = 0;
  int fullPower = 255;

  // Power of pixel j in the order of travel (a pixel not received: 0).
  int power(int j) const;
};

// One engraving move: the pixels from left to right, each `cell` mm wide.
struct BurnLine {
  double y = 0;            // mm, machine coordinates
  double x0 = 0;           // left edge of the leftmost pixel, mm
  double cell = 0;         // pixel width, mm
  std::vector<int> power;  // left to right; -1 where the beam did not get
  int fullPower = 255;
};

// The burnt picture: one picture pixel per burnt pixel position, rows at
// the same spacing as the pixels, the highest line at the top; grey level
// 255 - power scaled to 255 (white: nothing burnt).
struct BurntPicture {
  int width = 0, height = 0;
  double x0 = 0, yTop = 0, cell = 0;  // mm: left edge, top row's line, spacing
  std::vector<std::uint8_t> grey;     // rows top first
};
BurntPicture burntPicture(const std::vector<BurnLine>& lines);

bool writeBurntPng(const std::vector<BurnLine>& lines, const std::string& path);

}  // namespace trazvik::sim
