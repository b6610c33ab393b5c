// A bitmap turned into raster lines of laser power: the engraving's lines
// from the bottom of the picture upward, one power value per pixel step.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"
#include "import/bmp_decoder.h"

#include <vector>

namespace trazvik::import {

// What the conversion needs of the settings and the machine.
struct tRasterSettings {
  double szerokosc = 30;       // engraved width, mm (SzerokoscObrazu)
  double wysokosc = 40;        // engraved height, mm (WysokoscObrazu)
  double krok = 0.15;          // line and pixel pitch, mm (BMPKrok)
  double mocDlaCzarnego = 65;  // power for black, percent
  double mocDlaBialego = 17;   // power for white, percent
  int laserFullPower = 255;    // the power value of 100 %
  bool greyMapping = false;    // the controller maps grey levels to power itself
};

// Pixels a raster line may have: the controller's line buffer.
inline constexpr int kMaxLinePixels = 12288;
inline constexpr int kMaxLinePixelsGreyMapped = 6144;

struct tRasterLines {
  int szerokoscPixel = 0;         // pixels per line
  int wysokoscPixel = 0;          // nearest whole number of pitches in the height
  std::vector<tLinia> ListaLini;  // bottom line first
};

// The raster lines of `picture`: powers run from black to white linearly
// in the red component (or are the grey levels themselves when the
// controller maps them); lines are taken every pitch from the bottom up
// while below the height. An empty result for an empty picture or a pitch,
// width or height that is not positive.
tRasterLines BMPToList(const tBitmap& picture, const tRasterSettings& settings);

// The byte a line sends for one value: the value itself, or the highest
// byte when a value exceeds one byte (it cannot be sent wider).
inline std::uint8_t pixelByte(std::uint16_t value) { return value > 255 ? 255 : static_cast<std::uint8_t>(value); }

}  // namespace trazvik::import
