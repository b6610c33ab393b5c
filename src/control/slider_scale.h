// The speed slider's non-linear scale: fine steps at low feeds, coarse ones
// at high feeds.
#pragma once
#include "no_qt.h"

#include <cmath>
#include <cstdint>

namespace trazvik {

// Slider position of a feed in mm/min: below 100 the feed itself, 100 to 999
// (v + 900) / 10, 1000 to 99999 (v + 18000) / 100, each rounded to the
// nearest (halves to even); 0 for anything else.
inline int speedToSlider(std::int64_t v) {
  if (v >= 0 && v < 100) return static_cast<int>(v);
  if (v >= 100 && v <= 999) return static_cast<int>(std::nearbyint((static_cast<double>(v) + 900) / 10));
  if (v >= 1000 && v <= 99999) return static_cast<int>(std::nearbyint((static_cast<double>(v) + 18000) / 100));
  return 0;
}

}  // namespace trazvik
