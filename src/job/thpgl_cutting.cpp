// Thpgl: the cutting moves of a figure from a drawing: Bezier segments, or
// the toolpath's points with their planned speeds, the flying start of a
// laser, the start of polishing, stops at corners and knife turns.
#include "job/thpgl_writer.h"

#include "machine/commands_basic.h"
#include "machine/commands_records.h"
#include "job/corner_planner.h"
#include "job/ramp_lookup.h"
#include "prepare/bezier_fit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace trazvik::job {

namespace {

struct tUnit {
  double x = 0, y = 0;
};

// The unit direction from a to b in the XY plane; none for a zero step.
template <class P>
tUnit unitBetween(const P& a, const P& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len = std::hypot(dx, dy);
  if (!(len > 0)) return {};
  return {dx / len, dy / len};
}

std::int32_t checkedSteps(double mm, double factor, const char* what) {
  const double v = std::nearbyint(mm * 100.0 * factor);
  if (!std::isfinite(v) || std::fabs(v) > 2147483647.0)
    throw tJobRangeError(std::string("Bezier point out of the controller's step range on the ") + what + " axis");
  return static_cast<std::int32_t>(v);
}

std::int32_t relative(std::int32_t target, std::int32_t pos, const char* what) {
  const std::int64_t d = std::int64_t{target} - pos;
  if (d > 2147483647 || d < -2147483647 - 1)
    throw tJobRangeError(std::string("Bezier segment too long on the ") + what + " axis");
  return static_cast<std::int32_t>(d);
}

}  // namespace

// The distance the machine needs to reach the working feed, mm.
double Thpgl::accelerationDistance() const {
  const double factor = m_.set.axisFactorX != 0 ? m_.set.axisFactorX : 1;
  return std::max(0.1, rampLength(workFeed_, plan_) / 100.0 / factor);
}

// Bezier records only where the figure has its segments: a figure that was
// never fitted is cut along its toolpath, or the job would lose its cuts.
bool Thpgl::cutsBezierChain(const tfigura& fig) const {
  return m_.bezier && s_.wygladzanie && !fig.SpiralaBezier.empty();
}

void Thpgl::cuttingMoves(tfigura& fig, const tWarstwa* layer) {
  if (cutsBezierChain(fig))
    bezierMoves(fig);
  else
    polylineMoves(fig, layer);
}

void Thpgl::bezierMoves(const tfigura& fig) {
  const trpoint3d shift = headOffsetCorrection(ctx_.heads, st_.chosenHead, st_.currentHead);
  const double zSign = m_.laser ? -1 : 1;
  for (const tBezier& seg : fig.SpiralaBezier) {
    if (!(seg.U > 0) || !std::isfinite(seg.U)) throw tJobRangeError("Bezier segment without an interpolation step");
    const tJobPosition from = st_.jobPosition;
    tJobPosition to = from;
    put(bezierPointRecord('A', 0, 0, 0));
    auto machinePoint = [&](const trpoint3d& p) {
      return trpoint3d{mmXY(ctx_, p.x - fig.xp) + shift.x, mmXY(ctx_, p.y - fig.yp) + shift.y,
                       m_.set.axisFactorZ == 0 ? 0 : zSign * mmZ(ctx_, p.z) + shift.z};
    };
    const std::pair<char, const trpoint3d*> points[] = {{'B', &seg.B}, {'C', &seg.C}, {'D', &seg.D}};
    for (const auto& [name, p] : points) {
      const auto [x, y, z] = machinePoint(*p);
      const std::int32_t sx = checkedSteps(x, m_.set.axisFactorX, "X");
      const std::int32_t sy = checkedSteps(y, m_.set.axisFactorY, "Y");
      const std::int32_t sz = checkedSteps(z, m_.set.axisFactorZ, "Z");
      put(bezierPointRecord(name, relative(sx, from.x, "X"), relative(sy, from.y, "Y"), relative(sz, from.z, "Z")));
      if (name == 'D') {
        to.x = sx;
        to.y = sy;
        to.z = sz;
        st_.extremes.include(x, y, z);
        st_.lastTarget = {x - shift.x, y - shift.y, z - shift.z};
      }
    }
    // The curve bulges beyond its ends: the job's extent takes its turning
    // points too, or the working-area checks would pass a cut outside.
    for (const trpoint3d& t : prepare::bezierTurningPoints(seg)) {
      const trpoint3d q = machinePoint(t);
      st_.extremes.include(q.x, q.y, q.z);
    }
    put(bezierStepRecord(seg.U));
    put(bezierStepCountRecord(seg.U));
    put(bezierJoinRecord(seg.gladki));
    put(bezierExecuteRecord());
    st_.jobPosition = to;
    if (!seg.gladki) {
      put(segmentLimitCommand(65535));
      pause(100);
    }
  }
}

void Thpgl::polylineMoves(const tfigura& fig, const tWarstwa* layer) {
  const std::size_t n = fig.sp.size();
  const bool flying = m_.laser && s_.LotnyStart;
  const bool plungeWithFirstMove = otwarto_jako_wielowarstw && !m_.laser && !s_.polerowanie && !m_.laserZAxis;
  const double accel = flying ? accelerationDistance() : 0;
  bool runStarted = false;
  bool polishStarted = false;
  if (knife()) put(thirdAxisRecord(kThirdAxisKnife));
  for (std::size_t i = 0; i < n; ++i) {
    const tPoint p = pointOf(fig, i);
    const double z = cuttingZ(p);
    if (plungeWithFirstMove && i == 0) {
      pause(10);
      loadPlungeFeed();
      slot(plungeSlot());
    } else if (plungeWithFirstMove && i == 1) {
      pause(10);
      slot(1);
    }
    if (flying && i > 0 && !runStarted) {
      flyingStart(fig, i, accel);
      runStarted = true;
    }
    if (s_.polerowanie && !polishStarted) polishingStart(z, layer, polishStarted);
    const double zBefore = st_.lastTarget.z;
    if (!m_.wide) {
      move(p.x, p.y, z);
      narrow_->appendSuffix(buf_, tnx[i]);
      continue;
    }
    const tCarriedSpeed carried = carriage_->carry(tnx[i]);
    if (knife() && i + 1 < n && !carried.stop) {
      const tPoint next = pointOf(fig, i + 1);
      knifeMove(p.x, p.y, knifeTargetOf(ctx_, next.x - p.x, next.y - p.y), carried.code, m_.set.speedMultiplier);
    } else {
      move(p.x, p.y, z, carried.code);
    }
    if (carried.stop) {
      stopAt(fig, i, z, zBefore, flying && runStarted, accel);
      if (flying && runStarted) runStarted = false;
    }
  }
}

// Runs the laser up to speed before the point i - 1 where a run starts:
// back off along the run's direction, pause, accelerate through the start
// point, and switch the beam on there.
void Thpgl::flyingStart(const tfigura& fig, std::size_t i, double accel) {
  const tPoint q = pointOf(fig, i - 1);
  const tPoint p = pointOf(fig, i);
  const double zq = cuttingZ(q);
  const tUnit u = unitBetween(q, p);
  move(q.x - accel * u.x, q.y - accel * u.y, zq, 65535);
  pause(100);
  const std::uint16_t code = tnx[i] < kFirstLimitCode ? kFreeCode : tnx[i];
  move(q.x, q.y, zq, code);
  outputs(1, outputMask::tool);
  put(laserOnRecord());
}

void Thpgl::stopAt(const tfigura& fig, std::size_t i, double z, double zBefore, bool flying, double accel) {
  if (flying) {
    // The beam goes off at the corner; the run-out past it is travel.
    const tPoint p = pointOf(fig, i);
    const tUnit u = i > 0 ? unitBetween(pointOf(fig, i - 1), p) : tUnit{};
    beamOff();
    move(p.x + accel * u.x, p.y + accel * u.y, z);
    pause(10);
    return;
  }
  pause(std::fabs(zBefore - z) <= 0.1 ? 10 : 50);
  if (knife() && i + 1 < fig.sp.size()) turnKnifeAtStop(fig, i, z);
}

// Lifts the knife out of the material to turn it at a corner where the new
// direction differs from the blade's (modulo half a turn with a two-edged
// knife).
void Thpgl::turnKnifeAtStop(const tfigura& fig, std::size_t i, double z) {
  const tPoint p = pointOf(fig, i);
  const tPoint next = pointOf(fig, i + 1);
  const std::int32_t turn = m_.set.knifeStepsPerTurn;
  const std::int32_t target = knifeTargetOf(ctx_, next.x - p.x, next.y - p.y);
  const std::int32_t period = s_.twoEdgedKnife ? turn / 2 : turn;
  if (period <= 0) return;
  const std::int32_t diff = ((target - st_.jobPosition.knife) % period + period) % period;
  if (diff == 0) return;
  put(thirdAxisRecord(kThirdAxisZ));
  move(p.x, p.y, s_.safe());
  pause(10);
  put(thirdAxisRecord(kThirdAxisKnife));
  knifeMove(p.x, p.y, target, 65535, m_.set.speedMultiplier);
  pause(10);
  put(thirdAxisRecord(kThirdAxisZ));
  move(p.x, p.y, z);
  pause(10);
  put(thirdAxisRecord(kThirdAxisKnife));
}

// The finishing pass begins once the path goes below the polishing start
// above the final depth: polishing feed, both tool outputs, run-up.
void Thpgl::polishingStart(double z, const tWarstwa* layer, bool& started) {
  const double depth = otwarto_jako_wielowarstw && layer ? layer->glebokosc : s_.Glebokosc;
  if (!(z + 0.001 < s_.Poler_start + s_.top() - depth)) return;
  started = true;
  loadPolishFeed();
  pause(1);
  slot(3);
  if (m_.laser) return;
  outputs(1, outputMask::bothTools);
  if (m_.spindleWait) {
    spindleWaitRecord();
  } else {
    const double span = m_.maxSpindle > 0 ? std::fabs(s_.poler_power - s_.work_power) / m_.maxSpindle : 0;
    longPauseS(s_.CzasRozruchu * span);
  }
}

}  // namespace trazvik::job
