// The speed table of the plotter-class controllers: entry n is the speed code
// of speed step n, from the slowest step down to the fastest.
#pragma once
#include "no_qt.h"

#include <array>
#include <cstdint>

namespace trazvik {

using PlotterSpeedTable = std::array<std::uint16_t, 255>;

// Falls monotonically from the slowest code to the fastest.
const PlotterSpeedTable& plotterSpeedTable();

}  // namespace trazvik
