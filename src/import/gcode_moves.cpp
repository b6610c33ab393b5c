// G-code moves: straight moves, arcs, moves to machine positions, and how a
// figure takes them as points.
#include "geometry/angles.h"
#include "geometry/numeric.h"
#include "import/curve_segments.h"
#include "import/gcode_reader.h"
#include "import/thpgl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trazvik::import {

namespace {

constexpr double kMaxFileUnits = 1e9;  // 10 km

// How far an arc's end may lie off the circle through its start before the
// arc is refused, as common interpreters allow: 0.002 mm, or 0.0002 inch
// while the program is in inches, or 0.1 % of the radius if that is more.
// Rounding the centre and end to the program's decimals stays well inside;
// a program written with the other I/J convention lands far outside.
constexpr double kArcToleranceMm = 0.002;
constexpr double kArcToleranceInch = 0.0002;
constexpr double kArcToleranceRelative = 0.001;

double planeDistance(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

}  // namespace

bool tGcodeReader::pushLine(bool cut, const trpoint3d& target, unsigned fixes) {
  const unsigned unknownAfter = unknownAxes_ & ~fixes;
  if (unknownAfter != 0) {
    if (cut)
      return refuse("a cut ends at a position left unknown by a move to a machine position (G28, G30, G53)",
                    lineToken());
    pushJump(false, target, false);
  } else if (!gHasPos || unknownAxes_ != 0) {
    // From an unknown place (the program's first move, or after a machine
    // position): the figure starts at the target.
    pushJump(cut, target, true);
  } else {
    tGcodeMove m;
    m.shape = tGcodeMove::Line;
    m.cut = cut;
    m.from = gPos;
    m.to = target;
    m.feed = gFeed;
    queue_.push_back(m);
  }
  if (cut && spindleStopped_) warn("cuts after M5 (spindle stopped) are read as cuts");
  gPos = target;
  unknownAxes_ = unknownAfter;
  gHasPos = true;
  return true;
}

void tGcodeReader::pushJump(bool cut, const trpoint3d& target, bool known) {
  tGcodeMove m;
  m.shape = tGcodeMove::Jump;
  m.cut = cut;
  m.to = target;
  m.targetKnown = known;
  m.feed = gFeed;
  queue_.push_back(m);
}

bool tGcodeReader::arcCentre(const tGcodeBlock& b, const trpoint3d& target, double& cx, double& cy) {
  if (b.has('I') || b.has('J')) {
    if (b.has('R')) return refuse("an arc gives both its centre (I, J) and its radius (R)", lineToken());
    if (gArcAbsolute) {
      if (!b.has('I') || !b.has('J'))
        return refuse("an arc with an absolute centre (G90.1) needs both I and J", lineToken());
      cx = b['I'] * gUnit;
      cy = b['J'] * gUnit;
    } else {
      cx = gPos.x + (b.has('I') ? b['I'] * gUnit : 0);
      cy = gPos.y + (b.has('J') ? b['J'] * gUnit : 0);
    }
    const double rs = planeDistance(gPos.x - cx, gPos.y - cy), re = planeDistance(target.x - cx, target.y - cy);
    if (!(rs > 0)) return refuse("an arc of radius 0", lineToken());
    const double off = std::fabs(re - rs);
    const double tolerance = gUnit == 1 ? kArcToleranceMm : kArcToleranceInch * 25.4;
    if (!(off <= tolerance || off <= kArcToleranceRelative * rs)) {
      char reason[160];
      std::snprintf(reason, sizeof reason,
                    "the arc ends %.3f mm off its circle (are I and J absolute or relative to the arc's start?)", off);
      return refuse(reason, lineToken());
    }
    return true;
  }
  if (!b.has('R')) return refuse("an arc needs its centre (I, J) or its radius (R)", lineToken());
  // Radius form: the centre on the side that gives the short arc for a
  // positive radius, the long one for a negative radius.
  const double r = b['R'] * gUnit;
  const double dx = target.x - gPos.x, dy = target.y - gPos.y;
  const double chord = planeDistance(dx, dy);
  if (!(chord > 0)) return refuse("an arc given by R must not end where it starts", lineToken());
  const double tolerance = gUnit == 1 ? kArcToleranceMm : kArcToleranceInch * 25.4;
  if (!(chord / 2 <= std::fabs(r) + tolerance))
    return refuse("the arc's radius R is shorter than half the distance between its ends", lineToken());
  const double h = std::sqrt(std::max(0.0, r * r - chord * chord / 4));
  const double side = (gMode == 3 ? 1 : -1) * (r > 0 ? 1 : -1);
  cx = (gPos.x + target.x) / 2 - side * h * dy / chord;
  cy = (gPos.y + target.y) / 2 + side * h * dx / chord;
  return true;
}

bool tGcodeReader::pushArc(const tGcodeBlock& b, const trpoint3d& target) {
  if (gPlane != 17) return refuse("arcs outside the XY plane (G18, G19) are not read", gcodeWordText('G', gMode * 10));
  if (unknownAxes_ != 0)
    return refuse("an arc starts at a position left unknown by a move to a machine position (G28, G30, G53)",
                  lineToken());
  tGcodeMove m;
  if (!arcCentre(b, target, m.cx, m.cy)) return false;
  m.shape = tGcodeMove::Arc;
  m.cut = true;
  m.fromKnown = gHasPos;
  m.from = gPos;
  m.to = target;
  m.feed = gFeed;
  const double a = dirAngle(m.cx, m.cy, gPos.x, gPos.y);
  const double f = dirAngle(m.cx, m.cy, target.x, target.y);
  if (gMode == 3) {
    m.sweep = f - a;
    if (m.sweep <= 0) m.sweep += 2 * M_PI;
  } else {
    double s = a - f;
    if (s <= 0) s += 2 * M_PI;
    m.sweep = -s;
  }
  m.start = a;
  m.radius = (planeDistance(gPos.x - m.cx, gPos.y - m.cy) + planeDistance(target.x - m.cx, target.y - m.cy)) / 2;
  queue_.push_back(m);
  if (spindleStopped_) warn("cuts after M5 (spindle stopped) are read as cuts");
  gPos = target;
  gHasPos = true;
  return true;
}

bool tGcodeReader::machineMove(const tGcodeBlock& b, int code) {
  const unsigned axes = axesOf(b);
  if (code == 53) {
    // The named axes go to machine coordinates, which the job does not know.
    if (axes == 0) return true;
  } else if (axes != 0) {
    // G28, G30: first to the point the axis words give, then home.
    if (!pushLine(false, targetOf(b), gIncremental ? 0u : axes)) return false;
  }
  warn(gcodeWordText('G', code * 10) + " moves to a machine position: it is not cut and the figure ends there");
  pushJump(false, gPos, false);
  unknownAxes_ |= (code == 53 || axes != 0) ? axes : 7u;
  return true;
}

bool tGcodeReader::applyMove(tfigura& fig, const tGcodeMove& m) {
  if (m.shape == tGcodeMove::Jump) {
    // The path to the target is not known: it is in no figure.
    if (!points3d_.empty()) return false;
    if (m.targetKnown) {
      figureCut_ = m.cut ? 1 : 0;
      if (m.cut) figureFeed_ = m.feed;
      store(fig, m.to.x, m.to.y, m.to.z);
    }
    return true;
  }
  const int kind = m.cut ? 1 : 0;
  if (figureCut_ >= 0 && figureCut_ != kind) return false;
  figureCut_ = kind;
  if (m.cut) figureFeed_ = m.feed;
  if (points3d_.empty() && m.fromKnown) store(fig, m.from.x, m.from.y, m.from.z);
  if (m.shape == tGcodeMove::Arc)
    drawArc(fig, m);
  else
    store(fig, m.to.x, m.to.y, m.to.z);
  return true;
}

// The arc's points at even angles, at its mean radius; Z follows the angle
// (a helix), so a helical plunge is drawn as the ramp it is.
void tGcodeReader::drawArc(tfigura& fig, const tGcodeMove& m) {
  const double c = 2 * M_PI * m.radius;
  const double l = clampRange(c / 180, 5, 0.1);
  const double perCircle = c / l;
  const int perTurn = boundedSegments(perCircle <= kMaxCurveSegments ? std::fabs(roundEven(perCircle)) : perCircle, 12);
  const double steps = std::fabs(perTurn * m.sweep / (2 * M_PI));
  const int n = boundedSegments(steps <= kMaxCurveSegments ? roundEven(steps) : steps, 3);
  const double dz = (m.to.z - m.from.z) / n;
  const double reach = std::max(std::fabs(m.cx), std::fabs(m.cy)) + m.radius;
  const double depth = std::max(std::fabs(m.from.z), std::fabs(m.to.z));
  if (!(reach * 100 <= kMaxFileUnits && depth * 100 <= kMaxFileUnits)) {
    // Some point may lie too far: store checks each one and fails the read.
    int k = 1;
    circleRun(m.cx, m.cy, m.radius, m.start, m.sweep / n, 1, n, [&](const trealpoint& p) {
      if (!in_.failed()) store(fig, p.x, p.y, m.from.z + dz * k);
      ++k;
    });
  } else {
    drawArcInRange(fig, m, n);
  }
  store(fig, m.to.x, m.to.y, m.to.z);
}

// The points between an arc's ends when the whole circle is in range, as
// store would put them (one closer than 0.001 mm to the last is left out)
// without its checks; the direction turns by the step between exact
// anchors every 32 points, as circleRun does.
void tGcodeReader::drawArcInRange(tfigura& fig, const tGcodeMove& m, int n) {
  const double step = m.sweep / n, dz = (m.to.z - m.from.z) / n;
  const double c = std::cos(step), s = std::sin(step);
  const std::size_t base = points3d_.size();
  points3d_.resize(base + static_cast<std::size_t>(n));  // room for all, trimmed below
  trpoint3d* const out = points3d_.data() + base;
  std::size_t count = 0;
  trpoint3d last = in_.lastGp, lastScaled = in_.lastGb;
  bool previous = base > 0;  // a point before: the segment to it counts
  double length = 0, u = 0, v = 0;
  for (int k = 1; k < n; ++k) {
    if ((k - 1) % 32 == 0) {
      u = std::cos(m.start + k * step);
      v = std::sin(m.start + k * step);
    } else {
      const double t = u * c - v * s;
      v = u * s + v * c;
      u = t;
    }
    const double x = m.cx + m.radius * u, y = m.cy + m.radius * v, z = m.from.z + dz * k;
    if (std::fabs(x - last.x) < 0.001 && std::fabs(y - last.y) < 0.001 && std::fabs(z - last.z) < 0.001) continue;
    const trpoint3d scaled{x * 100, y * 100, z * 100};
    if (previous) {
      const double ex = scaled.x - lastScaled.x, ey = scaled.y - lastScaled.y, ez = scaled.z - lastScaled.z;
      length += std::sqrt(ex * ex + ey * ey + ez * ez);
    }
    previous = true;
    out[count++] = scaled;
    last = {x, y, z};
    lastScaled = scaled;
  }
  points3d_.resize(base + count);
  in_.lastGp = last;
  in_.lastGb = lastScaled;
  fig.lenwork += length / 100;  // arcs are cuts
}

void tGcodeReader::store(tfigura& fig, double x, double y, double z) {
  const trpoint3d& last = in_.lastGp;
  if (std::fabs(x - last.x) < 0.001 && std::fabs(y - last.y) < 0.001 && std::fabs(z - last.z) < 0.001) return;
  if (in_.failed()) return;
  const trpoint3d scaled{x * 100, y * 100, z * 100};
  if (!(std::fabs(scaled.x) <= kMaxFileUnits && std::fabs(scaled.y) <= kMaxFileUnits &&
        std::fabs(scaled.z) <= kMaxFileUnits)) {
    in_.failAtLine(tReadErrorKind::OutOfRange, line_, lineToken());
    return;
  }
  points3d_.push_back(scaled);
  if (points3d_.size() > 1) {
    const trpoint3d& before = in_.lastGb;
    const double dx = scaled.x - before.x, dy = scaled.y - before.y, dz = scaled.z - before.z;
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz) / 100;
    if (figureCut_ == 0)
      fig.lenPrzes += length;
    else
      fig.lenwork += length;
  }
  in_.lastGb = scaled;
  in_.lastGp = {x, y, z};
}

}  // namespace trazvik::import
