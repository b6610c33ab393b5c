#include "job/corner_planner.h"

#include "geometry/angles.h"
#include "geometry/points.h"
#include "job/ramp_lookup.h"
#include "machine/speed_code.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trazvik {

namespace {

using std::numbers::pi;

constexpr double kStraightRadiusMm = 1000000;

// Z change per unit of 3-D length; nothing for a segment of no length.
std::optional<double> slope(const trpoint3d& from, const trpoint3d& to) {
  const double len = dist3d(from, to);
  if (len == 0) return std::nullopt;
  return (to.z - from.z) / len;
}

// Slope change in percent between the segments A->C and C->B.
double slopeChange(const trpoint3d& a, const trpoint3d& c, const trpoint3d& b) {
  const auto in = slope(a, c), out = slope(c, b);
  if (!in || !out) return 100;
  return std::fabs(*in - *out) * 100;
}

// The feed (mm/min, whole) an interior point C may be passed at, between A
// and B; d = |C - B| is not 0. `isCorner` tells whether the turn makes C a stop.
double curveFeed(const trpoint3d& a, const trpoint3d& c, const trpoint3d& b, double theta, double d, double radiusMm,
                 const tSpeedPlanParams& p, bool& isCorner) {
  const double degrees = theta * 180 / pi;
  const double threshold = 180 - p.cornerAngle;
  double s = 100, g = p.minFeed;
  isCorner = !(degrees < threshold);
  if (!isCorner) {
    s = slopeChange(a, c, b);
    double o = std::max(0.0, 1 - std::sqrt(degrees / threshold));
    if (s < 10) o *= 1.1;
    g = o * (s > 10 ? p.maxFeedZ : p.maxFeedXY);
  }
  const double k = p.wygladzanie ? p.radiusFactorSmooth : (s > 5 ? p.radiusFactorSlope : p.radiusFactorStraight);
  double v = std::nearbyint(std::sqrt(radiusMm * p.skala / 100) * k);
  v = std::max(std::min(v, p.maxFeedXY), p.minFeed);
  if (theta == 0) v = p.maxFeedXY;

  const double dz = std::fabs(std::nearbyint(b.z - c.z));
  const double u = p.maxFeedZ >= dz / d * p.maxFeedXY ? p.maxFeedXY : d / dz * p.maxFeedZ;
  if (v > u) v = std::nearbyint(u);
  if (v > g) v = std::nearbyint(g);
  if (v > p.maxFeedXY) v = p.maxFeedXY;
  return v;
}

std::uint16_t codeOfFeed(double v, const tSpeedPlanParams& p) {
  if (v <= 0) return kStopCode;
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(speedCode(v, p.set), kStopCode));
}

void forwardPass(std::span<const trpoint3d> sp, const tSpeedPlanParams& p, std::vector<std::uint16_t>& tnx,
                 tSpeedPlanOutcome& out) {
  for (std::size_t i = 1; i + 1 < sp.size(); ++i) {
    const trpoint3d &a = sp[i - 1], &c = sp[i], &b = sp[i + 1];
    const double theta = std::acos(turnCosine(a, c, b));
    const double d = dist3d(c, b);
    const double radius = theta != 0 ? toMm(p.fileType, d) / theta : kStraightRadiusMm;
    out.minR = std::min(out.minR, radius);
    out.obwod = theta != 0 ? 2 * pi / theta * d : 0;
    if (d == 0) {
      tnx[i] = kStopCode;
      continue;
    }
    bool isCorner = false;
    const double v = curveFeed(a, c, b, theta, d, radius, p, isCorner);
    if (isCorner) tnx[i] = kStopCode;
    if (tnx[i] != kStopCode) tnx[i] = std::max(tnx[i], codeOfFeed(v, p));
  }
}

void backwardPass(std::span<const trpoint3d> sp, const tSpeedPlanParams& p, std::vector<std::uint16_t>& tnx) {
  for (std::size_t i = sp.size() - 1; i-- > 0;) {
    const std::int64_t steps = rampDistanceSteps(dist3d(sp[i], sp[i + 1]), p);
    const std::uint16_t r = rampLimit(steps, tnx[i + 1], p);
    if (r > tnx[i]) tnx[i] = r;
  }
}

}  // namespace

std::int64_t rampDistanceSteps(double fileUnits, const tSpeedPlanParams& p) {
  const double steps = std::nearbyint(toMm(p.fileType, fileUnits) * 100 * p.set.axisFactorX);
  const double scaled = std::nearbyint(steps * p.skala / 100);
  if (!std::isfinite(scaled) || scaled < 0) return 0;
  return scaled > 9e18 ? std::int64_t(9e18) : static_cast<std::int64_t>(scaled);
}

tSpeedPlanOutcome planSpeedCodes(std::span<const trpoint3d> sp, const tSpeedPlanParams& p,
                                 std::vector<std::uint16_t>& tnx) {
  tSpeedPlanOutcome out;
  tnx.assign(sp.size(), kFreeCode);
  if (sp.empty()) return out;
  tnx.back() = kStopCode;
  if (p.gcodeProgram || p.multiLayer || sp.size() <= 5) tnx.front() = kStopCode;
  if (!p.set.cncMachine) return out;
  forwardPass(sp, p, tnx, out);
  backwardPass(sp, p, tnx);
  return out;
}

double planujPredkosci(tfigura& fig, const tSpeedPlanParams& p, std::vector<std::uint16_t>& tnx) {
  const tSpeedPlanOutcome out = planSpeedCodes(fig.sp, p, tnx);
  if (out.obwod) fig.obwod = *out.obwod;
  return out.minR;
}

}  // namespace trazvik
