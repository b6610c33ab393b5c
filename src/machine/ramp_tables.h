// Built-in acceleration ramp tables: entry n is the speed code the machine
// reaches n ramp steps after starting from rest. They fall monotonically.
#pragma once
#include "no_qt.h"

#include <array>
#include <cstdint>

namespace trazvik {

using WideRampTable = std::array<std::uint16_t, 65536>;
using NarrowRampTable = std::array<std::uint16_t, 16000>;

// The wide-set table present from start-up.
const WideRampTable& standardWideRamp();
// The wide-set table of the drilling families: 40920 / sqrt(n).
const WideRampTable& drillingWideRamp();
// The table of the older narrow-set routers.
const NarrowRampTable& narrowRamp();

}  // namespace trazvik
