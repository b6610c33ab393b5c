// Drawing with the plotter's pen: moves, figures, and the curves and shapes
// of plot files (circles, arcs, three-point arcs, Bezier curves, rectangle
// and wedge outlines), cut into segments that stay within one plotter unit
// of the true curve.
#include "import/curve_segments.h"
#include "import/plot_reader.h"
#include "import/thpgl.h"

#include <algorithm>
#include <cmath>

namespace trazvik::import {

namespace {

// A plot file's coordinates are 32-bit numbers of plotter units; a point
// beyond them is refused rather than wrapped by a later integer rounding.
constexpr double kMaxPlotUnits = 2147483647.0;
constexpr const char* kOutOfRange = "a point lies beyond the 32-bit coordinates of plot files";
// Greatest distance of a segment from its curve: one plotter unit (1/40 mm),
// the resolution of the file's own units.
constexpr double kChordDeviation = 1;

// Nearest whole plotter unit, halves to even (for |v| < 2^51, which the
// range check guarantees).
double roundUnit(double v) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
  return (v + kShift) - kShift;
}

trealpoint rounded(const trealpoint& p) { return {roundUnit(p.x), roundUnit(p.y)}; }

void appendRounded(std::vector<trealpoint>& out, const trealpoint& p) {
  const trealpoint r = rounded(p);
  if (out.empty() || !(out.back() == r)) out.push_back(r);
}

// Segments for an arc of radius r sweeping `sweep` radians (positive).
int arcSegmentCount(double r, double sweep) {
  const double step = r > kChordDeviation ? 2 * std::acos(1 - kChordDeviation / r) : M_PI / 2;
  return boundedSegments(std::ceil(sweep / step), 1);
}

}  // namespace

void tPlotReader::reset() {
  xy = {};
  isdown = false;
  relativ = false;
  command = 0;
  positionKnown_ = true;
  labelTerminator_ = 3;
  pclText_ = false;
  inPolygon_ = false;
  pageAdvanced_ = false;
  scaling_.reset();
  points_.clear();
  shape_.clear();
  ready_.clear();
  advance();
  in_.EndOfFile = c_ < 0;
}

void tPlotReader::readFigure(tfigura& fig) {
  fill();
  if (!ready_.empty()) {
    tReady& r = ready_.front();
    fig.p = std::move(r.p);
    fig.org_color = r.color;
    fig.width = r.width;
    ready_.pop_front();
  }
  fill();  // read on, so that the end of the file comes with the last figure
  in_.EndOfFile = in_.failed() || ready_.empty();
  in_.EndOfFig = true;
}

// Reads instructions until a figure is finished or the file ends (which
// ends the figure being drawn).
void tPlotReader::fill() {
  while (ready_.empty() && !in_.failed()) {
    if (!nextInstruction()) {
      endFigure();
      if (src_.readError() != 0) in_.fail(tReadErrorKind::ReadFailed, src_.offset(), "", src_.readError());
      return;
    }
    interpret();
  }
}

bool tPlotReader::toPlotter(double x, double y, bool relative, trealpoint& out) {
  if (relative) {
    if (!knownPosition()) return false;
    const trealpoint d = scaling_.mapDelta(x, y);
    out = {xy.x + d.x, xy.y + d.y};
  } else {
    out = scaling_.map(x, y);
  }
  if (std::fabs(out.x) <= kMaxPlotUnits && std::fabs(out.y) <= kMaxPlotUnits) return true;
  refuseAt(tokenAt_, kOutOfRange);
  return false;
}

bool tPlotReader::withinLimits(const trealpoint& centre, double radius) {
  if (std::fabs(centre.x) + radius <= kMaxPlotUnits && std::fabs(centre.y) + radius <= kMaxPlotUnits) return true;
  refuse(kOutOfRange);
  return false;
}

bool tPlotReader::knownPosition() {
  if (positionKnown_) return true;
  refuse(
      "the pen position after a label or a character move (LB, CP, PB, UC) is not known; "
      "it is first used here");
  return false;
}

void tPlotReader::warnTooFew() { warnHere(plotMnemonic(command) + " with too few parameters is ignored"); }

void tPlotReader::startFigure() {
  if (pageAdvanced_) {
    in_.warn("drawing after a page advance (PG) lands on the first page", 0, pageAt_);
    pageAdvanced_ = false;
  }
}

// Opens a figure at the pen position unless one is open.
bool tPlotReader::beginDrawing() {
  if (!points_.empty()) return true;
  if (!knownPosition()) return false;
  startFigure();
  points_.push_back(rounded(xy));
  return true;
}

void tPlotReader::store(const trealpoint& p) {
  const trealpoint r = rounded(p);
  if (!(points_.back() == r)) points_.push_back(r);
}

void tPlotReader::lowerPen() {
  if (isdown) return;
  isdown = true;
  // A pen put down where the position is unknown draws nothing yet; a
  // stroke from there is refused.
  if (positionKnown_) beginDrawing();
}

void tPlotReader::raisePen() {
  if (!isdown) return;
  isdown = false;
  endFigure();
}

void tPlotReader::moveTo(const trealpoint& p) {
  xy = p;
  positionKnown_ = true;
}

void tPlotReader::drawTo(const trealpoint& p) {
  if (!beginDrawing()) return;
  store(p);
  xy = p;
}

void tPlotReader::endFigure() {
  if (points_.empty()) return;
  tReady& r = ready_.emplace_back();
  r.p.assign(points_.begin(), points_.end());  // one allocation of the exact size
  r.color = in_.last_pen;
  r.width = in_.pens[static_cast<std::size_t>(in_.last_pen)].width;
  points_.clear();
}

// A closed shape is a figure of its own: the open figure ends before it,
// and one drawn on after it starts again at the pen position.
void tPlotReader::emitShape() {
  endFigure();
  if (shape_.empty()) return;
  startFigure();
  tReady& r = ready_.emplace_back();
  r.p.assign(shape_.begin(), shape_.end());
  r.color = in_.last_pen;
  r.width = in_.pens[static_cast<std::size_t>(in_.last_pen)].width;
  shape_.clear();
}

// CI radius[,chord]: a circle round the pen position, whatever the pen's
// state; the pen stays where it was. A negative radius starts at 180 degrees.
void tPlotReader::circle() {
  double v[2];
  const int n = readParameters(v, 2);
  if (in_.failed()) return;
  if (n < 1) return warnTooFew();
  if (!knownPosition()) return;
  double r = v[0] * scaling_.xFactor();
  const double start = r < 0 ? M_PI : 0;
  r = std::fabs(r);
  if (!withinLimits(xy, r) || r == 0) return;
  const int segments = arcSegmentCount(r, 2 * M_PI);
  shape_.clear();
  shape_.reserve(static_cast<std::size_t>(segments) + 1);
  circleRun(xy.x, xy.y, r, start, 2 * M_PI / segments, 0, segments,
            [this](const trealpoint& p) { appendRounded(shape_, p); });
  if (shape_.size() > 1 && !(shape_.back() == shape_.front())) shape_.push_back(shape_.front());
  emitShape();
}

// AA x,y,angle[,chord] and AR dx,dy,angle[,chord]: an arc from the pen
// position round a centre, counterclockwise for a positive angle; drawn
// when the pen is down, a move otherwise.
void tPlotReader::arc(bool relative) {
  double v[4];
  const int n = readParameters(v, 4);
  if (in_.failed()) return;
  if (n < 3) return warnTooFew();
  if (!knownPosition()) return;
  trealpoint centre;
  if (!toPlotter(v[0], v[1], relative, centre)) return;
  double sweep = v[2] * M_PI / 180;
  if (scaling_.mirrored()) sweep = -sweep;
  arcFrom(centre, sweep, isdown, nullptr);
}

void tPlotReader::arcFrom(const trealpoint& centre, double sweep, bool drawn, const trealpoint* exactEnd) {
  const double r = std::hypot(xy.x - centre.x, xy.y - centre.y);
  if (!withinLimits(centre, r)) return;
  if (r == 0 || sweep == 0 || !std::isfinite(sweep)) {
    if (exactEnd) {
      if (drawn)
        drawTo(*exactEnd);
      else
        moveTo(*exactEnd);
    }
    return;
  }
  const double start = std::atan2(xy.y - centre.y, xy.x - centre.x);
  const trealpoint end =
      exactEnd ? *exactEnd : trealpoint{centre.x + r * std::cos(start + sweep), centre.y + r * std::sin(start + sweep)};
  if (!drawn) return moveTo(end);
  if (!beginDrawing()) return;
  const int segments = arcSegmentCount(r, std::fabs(sweep));
  circleRun(centre.x, centre.y, r, start, sweep / segments, 1, segments, [this](const trealpoint& p) { store(p); });
  store(end);
  xy = end;
}

// AT xi,yi,xe,ye[,chord] and RT (relative to the pen): the arc from the pen
// position through an intermediate point to an end point.
void tPlotReader::threePointArc(bool relative) {
  double v[5];
  const int n = readParameters(v, 5);
  if (in_.failed()) return;
  if (n < 4) return warnTooFew();
  if (!knownPosition()) return;
  trealpoint mid, end;
  if (!toPlotter(v[0], v[1], relative, mid) || !toPlotter(v[2], v[3], relative, end)) return;
  const trealpoint p = xy;
  const double ax = mid.x - p.x, ay = mid.y - p.y, bx = end.x - p.x, by = end.y - p.y;
  if (bx == 0 && by == 0) {  // back to the start: the full circle through mid
    if (ax == 0 && ay == 0) return;
    arcFrom({(p.x + mid.x) / 2, (p.y + mid.y) / 2}, 2 * M_PI, isdown, &end);
    return;
  }
  const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by;
  const double d = 2 * (ax * by - ay * bx);
  if (std::fabs(d) <= 1e-12 * (a2 + b2)) {  // in a line: a straight stroke
    if (isdown)
      drawTo(end);
    else
      moveTo(end);
    return;
  }
  const trealpoint centre{p.x + (by * a2 - ay * b2) / d, p.y + (ax * b2 - bx * a2) / d};
  const auto turn = [&](const trealpoint& q) {
    double a = std::atan2(q.y - centre.y, q.x - centre.x) - std::atan2(p.y - centre.y, p.x - centre.x);
    while (a < 0) a += 2 * M_PI;
    return a;
  };
  double sweep = turn(end);
  if (turn(mid) > sweep) sweep -= 2 * M_PI;  // mid lies on the clockwise side
  arcFrom(centre, sweep, isdown, &end);
}

// BZ x1,y1,x2,y2,x3,y3,... and BR (each triple relative to its segment's
// start): cubic Bezier curves from the pen position.
void tPlotReader::bezier(bool relative) {
  double v[6];
  int k = 0;
  double value;
  while (nextNumber(value)) {
    v[k++] = value;
    if (k < 6) continue;
    k = 0;
    if (!knownPosition()) return;
    const trealpoint p0 = xy;
    trealpoint p1, p2, p3;
    if (!toPlotter(v[0], v[1], relative, p1) || !toPlotter(v[2], v[3], relative, p2) ||
        !toPlotter(v[4], v[5], relative, p3))
      return;
    if (!isdown) {
      moveTo(p3);
      continue;
    }
    if (!beginDrawing()) return;
    // A polyline of n segments stays within M / (8 n^2) of the curve, where
    // M bounds the second derivative: 6 times the larger second difference.
    const double m = 6 * std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                  std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
    const int segments = boundedSegments(std::ceil(std::sqrt(m / (8 * kChordDeviation))), 1);
    for (int i = 1; i < segments; ++i) {
      const double t = static_cast<double>(i) / segments, s = 1 - t;
      const double b0 = s * s * s, b1 = 3 * s * s * t, b2 = 3 * s * t * t, b3 = t * t * t;
      store({b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x, b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y});
    }
    store(p3);
    xy = p3;
  }
  if (in_.failed()) return;
  if (k != 0) warnTooFew();
  skipParameters();
}

// EA x,y and ER dx,dy: the outline of the rectangle between the pen
// position and the opposite corner; the pen stays where it was.
void tPlotReader::rectangle(bool relative) {
  double v[2];
  const int n = readParameters(v, 2);
  if (in_.failed()) return;
  if (n < 2) return warnTooFew();
  trealpoint corner;
  if (!knownPosition() || !toPlotter(v[0], v[1], relative, corner)) return;
  shape_.clear();
  for (const trealpoint& q : {xy, trealpoint{corner.x, xy.y}, corner, trealpoint{xy.x, corner.y}, xy})
    appendRounded(shape_, q);
  emitShape();
}

// EW radius,start,sweep[,chord]: the outline of a pie slice round the pen
// position (a whole circle when it sweeps a full turn).
void tPlotReader::wedge() {
  double v[4];
  const int n = readParameters(v, 4);
  if (in_.failed()) return;
  if (n < 3) return warnTooFew();
  if (!knownPosition()) return;
  double r = v[0] * scaling_.xFactor();
  double start = v[1] * M_PI / 180;
  const double sweep = std::clamp(v[2], -360.0, 360.0) * M_PI / 180;
  if (r < 0) {
    r = -r;
    start += M_PI;
  }
  if (!withinLimits(xy, r) || r == 0 || sweep == 0) return;
  const bool full = std::fabs(sweep) >= 2 * M_PI;
  const int segments = arcSegmentCount(r, std::fabs(sweep));
  shape_.clear();
  if (!full) appendRounded(shape_, xy);
  circleRun(xy.x, xy.y, r, start, sweep / segments, 0, segments + 1,
            [this](const trealpoint& p) { appendRounded(shape_, p); });
  if (full)
    shape_.back() = shape_.front();
  else
    appendRounded(shape_, xy);
  emitShape();
}

// Closing a subpolygon (PM1, PM2) draws the edge back to its start when the
// pen is down and the figure began there.
void tPlotReader::closeSubpolygon() {
  if (!isdown || points_.empty()) return;
  const trealpoint start = rounded(polygonStart_);
  if (points_.front() == start && !(points_.back() == start)) drawTo(polygonStart_);
}

}  // namespace trazvik::import
