// Corner speed planning: one speed code per toolpath point, full speed on
// straight runs, slower on curves, a stop at sharp corners, and deceleration
// early enough before every slow point.
#pragma once
#include "no_qt.h"

#include "geometry/figure.h"
#include "job/speed_plan_params.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace trazvik {

// Special speed codes of a planned point.
inline constexpr std::uint16_t kStopCode = 65535;
inline constexpr std::uint16_t kFreeCode = 1;         // no limit
inline constexpr std::uint16_t kFirstLimitCode = 24;  // codes below mean no limit

struct tSpeedPlanOutcome {
  double minR = 2147483647;     // smallest curve radius estimate, mm
  std::optional<double> obwod;  // the last interior point's 2*pi/theta x segment
};

// Plans the codes of the toolpath `sp` into `tnx` (resized to one code per
// point; its storage is reused from figure to figure).
tSpeedPlanOutcome planSpeedCodes(std::span<const trpoint3d> sp, const tSpeedPlanParams& p,
                                 std::vector<std::uint16_t>& tnx);

// The same for a figure's toolpath; the figure's obwod receives the outcome's
// value when planning computed one. Returns the figure's minR.
double planujPredkosci(tfigura& fig, const tSpeedPlanParams& p, std::vector<std::uint16_t>& tnx);

// Steps of a toolpath distance in file units as the deceleration pass counts
// them: round(round(mm x 100 x axisFactorX) x skala / 100).
std::int64_t rampDistanceSteps(double fileUnits, const tSpeedPlanParams& p);

}  // namespace trazvik
