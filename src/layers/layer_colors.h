// Display colours of layers: plot-file pens, the DXF colour index palette and
// G-code keys.
#pragma once
#include "layers/warstwa.h"

namespace trazvik {

// Makes a colour value from red, green and blue.
constexpr tKolor kolorRGB(int red, int green, int blue) {
  return static_cast<tKolor>(blue) * 65536u + static_cast<tKolor>(green) * 256u + static_cast<tKolor>(red);
}

// Colour of pen n of a plot file: pens from 1 cycle through eight colours;
// pen 0 (a file that never selects a pen) and negative pens are black.
tKolor kolorPisaka(int pen);

// Entry `index` of the 256-colour DXF colour index palette; black outside
// 0 to 255.
tKolor kolorDxf(int index);

// Colour of colour key `key` for a project of the given file type: plot
// file pens, DXF palette, the G-code key itself, black for any other type.
tKolor kolorWarstwy(int fileType, int key);

}  // namespace trazvik
