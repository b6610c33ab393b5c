// Deterministic letter-like shapes for the preparation benchmarks: rounded
// blobs with a few notches, and rings (an outer contour with a hole).
#pragma once
#include "geometry/records.h"

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace trazvik::bench {

// A closed counter-clockwise outline of `corners` points around (cx, cy):
// radius `size` with waves and notches, first point repeated.
inline std::vector<trealpoint> blob(std::mt19937& rng, double cx, double cy, double size, int corners) {
  std::uniform_real_distribution<double> unit(0, 1);
  const double phase = 2 * std::numbers::pi * unit(rng);
  const int waves = 2 + static_cast<int>(unit(rng) * 4);
  const double notch = 0.15 + 0.3 * unit(rng);
  std::vector<trealpoint> pts;
  for (int i = 0; i < corners; ++i) {
    const double a = 2 * std::numbers::pi * i / corners;
    double r = size * (1 + 0.15 * std::sin(waves * a + phase));
    if (std::fmod(a + phase, std::numbers::pi / 2) < 0.25) r *= 1 - notch;  // a notch
    pts.push_back({std::round(cx + r * std::cos(a)), std::round(cy + r * std::sin(a))});
  }
  pts.push_back(pts.front());
  return pts;
}

inline std::vector<trealpoint> reverseOf(std::vector<trealpoint> pts) { return {pts.rbegin(), pts.rend()}; }

}  // namespace trazvik::bench
