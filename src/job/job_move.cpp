#include "job/job_move.h"

#include "geometry/units.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace trazvik {

namespace {

constexpr double kPositionLimit = 2147483647.0;
constexpr double kFieldLimit = 0xFFFFFF;      // 24-bit magnitudes and path length
constexpr double kWideZFieldLimit = 0xFFFFF;  // Z shares its field with the speed code

double targetSteps(double mm, double axisFactor, const char* axis) {
  const double steps = std::nearbyint(mm * 100.0 * axisFactor);
  if (!std::isfinite(steps) || std::fabs(steps) > kPositionLimit)
    throw tJobRangeError(std::string("position on the ") + axis + " axis out of the controller's step range");
  return steps;
}

void checkDelta(double delta, double limit, const char* axis) {
  if (std::fabs(delta) > limit)
    throw tJobRangeError(std::string("move on the ") + axis + " axis longer than the move command can carry");
}

// A move whose fields would not hold its deltas or its path length would
// be cut to other bits on the wire; it is refused before anything is written.
void checkMoveFits(const tJobState& st, const tCommandSet& set, double x, double y, double z) {
  const double dx = targetSteps(x, set.axisFactorX, "X") - st.jobPosition.x;
  const double dy = targetSteps(y, set.axisFactorY, "Y") - st.jobPosition.y;
  const double dz = targetSteps(z, set.axisFactorZ, "Z") - st.jobPosition.z;
  checkDelta(dx, kFieldLimit, "X");
  checkDelta(dy, kFieldLimit, "Y");
  checkDelta(dz, set.wide && set.protocolLevel >= 6 ? kWideZFieldLimit : kFieldLimit, "Z");
  const double path = std::max(set.speedMultiplier, 1) * std::nearbyint(std::sqrt(dx * dx + dy * dy + dz * dz) + 0.5);
  if (path > kFieldLimit) throw tJobRangeError("move longer than the move command's path length can carry");
}

}  // namespace

double mmXY(const tJobMoveContext& c, double fileUnits) { return toMm(c.fileType, fileUnits) * c.skala / 100; }

double mmZ(const tJobMoveContext& c, double fileUnits) { return toMm(c.fileType, fileUnits); }

void appendMove(Bytes& out, tJobState& st, const tJobMoveContext& c, double xMm, double yMm, double zMm,
                std::uint32_t speedCode) {
  const trpoint3d shift = headOffsetCorrection(c.heads, st.chosenHead, st.currentHead);
  const double x = xMm + shift.x;
  const double y = yMm + shift.y;
  const double z = c.set.axisFactorZ == 0 ? 0 : zMm + shift.z;
  checkMoveFits(st, c.set, x, y, z);
  const Bytes move = moveToPoint(st.jobPosition, x, y, z, speedCode, c.set, c.set.speedMultiplier);
  out.insert(out.end(), move.begin(), move.end());
  st.extremes.include(x, y, z);
  st.lastTarget = {xMm, yMm, c.set.axisFactorZ == 0 ? 0 : zMm};
}

void appendKnifeMove(Bytes& out, tJobState& st, const tJobMoveContext& c, double xMm, double yMm,
                     std::int32_t knifeTarget, bool twoEdged, std::uint32_t speedCode, std::int32_t multiplier) {
  const trpoint3d shift = headOffsetCorrection(c.heads, st.chosenHead, st.currentHead);
  const double x = xMm + shift.x;
  const double y = yMm + shift.y;
  const double zMm = c.set.axisFactorZ == 0 ? 0 : st.jobPosition.z / (100.0 * c.set.axisFactorZ);
  // The knife turns by at most half a turn; the Z field is checked with
  // the current Z so only X, Y and the path length can fail.
  checkMoveFits(st, c.set, x, y, zMm);
  const Bytes move = moveToPointWithKnife(st.jobPosition, x, y, knifeTarget, twoEdged, speedCode, c.set, multiplier);
  out.insert(out.end(), move.begin(), move.end());
  st.extremes.include(x, y, zMm);
  st.lastTarget = {xMm, yMm, st.lastTarget.z};
}

std::int32_t knifeTargetOf(const tJobMoveContext& c, double dxMm, double dyMm) {
  if (c.set.knifeStepsPerTurn <= 0) return 0;
  return knifeAngleOfDirection(dxMm, dyMm, c.set.knifeStepsPerTurn) % c.set.knifeStepsPerTurn;
}

}  // namespace trazvik
