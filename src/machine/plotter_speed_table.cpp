#include "machine/plotter_speed_table.h"

#include <cmath>

namespace trazvik {

namespace {

// The controller's steps follow a near-hyperbolic curve from the code of a
// start from rest (the first narrow ramp entry) to its fastest code.
PlotterSpeedTable buildPlotterSpeeds() {
  constexpr double slowest = 11288;
  constexpr double fastest = 36;
  PlotterSpeedTable t{};
  const double last = double(t.size() - 1);
  const double exponent = std::log(fastest / slowest) / std::log(last + 1);
  for (std::size_t n = 0; n < t.size(); ++n)
    t[n] = static_cast<std::uint16_t>(std::nearbyint(slowest * std::pow(double(n) + 1, exponent)));
  return t;
}

}  // namespace

const PlotterSpeedTable& plotterSpeedTable() {
  static const PlotterSpeedTable table = buildPlotterSpeeds();
  return table;
}

}  // namespace trazvik
