#include "prepare/polygon_offset.h"

#include "geometry/numeric.h"
#include "prepare/loop_cutting.h"
#include "prepare/plane_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trazvik::prepare {
namespace {

// The input as a cyclic list of corners at least kOutlineMinStep apart.
std::vector<trealpoint> cornersOf(std::span<const trealpoint> p) {
  std::vector<trealpoint> v;
  v.reserve(p.size());
  for (const trealpoint& pt : p) {
    if (v.empty() || length(pt - v.back()) >= kOutlineMinStep) v.push_back(pt);
  }
  while (v.size() > 1 && length(v.back() - v.front()) < kOutlineMinStep) v.pop_back();
  return v;
}

const double kCosSharpTurn = std::cos(kSharpTurn);

class OutlineBuilder {
 public:
  OutlineBuilder(double r, int side, std::size_t corners) : r_(r), left_(side > 0) { out_.reserve(corners * 2 + 8); }

  void corner(trealpoint u, trealpoint v, trealpoint w) {
    const trealpoint d1 = (v - u) * (1 / length(v - u));
    const trealpoint d2 = (w - v) * (1 / length(w - v));
    const trealpoint n1 = normal(d1) * r_;
    const trealpoint n2 = normal(d2) * r_;
    const double c = cross(d1, d2);
    const double d = dot(d1, d2);
    if (d >= kCosSharpTurn) {
      gentleCorner(v, d1, d2, n1);
      return;
    }
    double turn = std::atan2(c, d);
    if (turn <= -std::numbers::pi) turn = std::numbers::pi;  // a reversal counts as a left turn
    sharpCorner(u, v, w, n1, n2, turn);
  }

  // The closed outline; throughCorner tells which of its points are figure
  // corners passed through.
  std::vector<trealpoint> finish(std::vector<char>& throughCorner) {
    while (out_.size() > 1 && length(out_.back() - out_.front()) <= kOutlineMinStep) {
      out_.pop_back();
      through_.pop_back();
    }
    if (!out_.empty()) {
      out_.push_back(out_.front());
      through_.push_back(through_.front());
    }
    throughCorner = std::move(through_);
    return std::move(out_);
  }

 private:
  // The side the outline lies on: left (+pi/2) or right (-pi/2) of travel.
  trealpoint normal(trealpoint d) const { return left_ ? trealpoint{-d.y, d.x} : trealpoint{d.y, -d.x}; }

  void add(trealpoint pt, bool figureCorner = false) {
    if (out_.empty() || length(pt - out_.back()) > kOutlineMinStep) {
      out_.push_back(pt);
      through_.push_back(figureCorner);
    }
  }

  void sharpCorner(trealpoint u, trealpoint v, trealpoint w, trealpoint n1, trealpoint n2, double turn) {
    const trealpoint a1 = u + n1, b1 = v + n1, a2 = v + n2, b2 = w + n2;
    double t = 0, s = 0;
    if (segmentsMeet(a1, b1, a2, b2, t, s)) {
      add(a1 + (b1 - a1) * t);
      return;
    }
    // The figure turns away from the outline's side: round the corner. A
    // full reversal (a spike) is always rounded.
    const bool outer = turn == std::numbers::pi || (left_ ? turn < 0 : turn > 0);
    add(b1);
    if (outer) {
      arc(v, n1, std::abs(turn));
    } else {
      // Inner corner whose moved edges are too short to meet: go through the
      // corner itself; the loop this makes is cut out afterwards.
      add(v, true);
    }
    add(a2);
  }

  // Intermediate points of the arc around v from v + n1, turning by sweep
  // radians clockwise for a left outline and counter-clockwise for a right
  // one, rounded to whole units.
  void arc(trealpoint v, trealpoint n1, double sweep) {
    const int steps = static_cast<int>(roundEven(sweep / (2 * std::numbers::pi) * kArcStepsPerTurn));
    if (steps < 2) return;
    const double start = std::atan2(n1.y, n1.x);
    const double step = (left_ ? -sweep : sweep) / steps;
    for (int k = 1; k < steps; ++k) {
      const double angle = start + step * k;
      add({roundEven(v.x + r_ * std::cos(angle)), roundEven(v.y + r_ * std::sin(angle))});
    }
  }

  // The point on the first moved edge's line where it meets the corner's
  // bisector (the line through v across the mean direction).
  void gentleCorner(trealpoint v, trealpoint d1, trealpoint d2, trealpoint n1) {
    const trealpoint mean = (d1 + d2) * (1 / length(d1 + d2));
    const trealpoint bisector{-mean.y, mean.x};
    const double t = -cross(n1, bisector) / cross(d1, bisector);
    add(v + n1 + d1 * t);
  }

  double r_;
  bool left_;
  std::vector<trealpoint> out_;
  std::vector<char> through_;
};

// Crossing points can fall next to a corner of the outline; points closer
// than the minimum step to the previous one go again (a dropped crossing
// point hands its mark to the point that stays).
void dropShortSteps(OffsetResult& result) {
  std::vector<trealpoint>& ring = result.outline;
  if (ring.size() < 2) return;
  std::vector<char> isCrossing(ring.size(), 0);
  for (std::size_t i : result.crossingPoints) isCrossing[i] = 1;
  std::vector<trealpoint> kept;
  std::vector<char> keptCrossing;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
    if (!kept.empty() && length(ring[i] - kept.back()) <= kOutlineMinStep) {
      keptCrossing.back() |= isCrossing[i];
      continue;
    }
    kept.push_back(ring[i]);
    keptCrossing.push_back(isCrossing[i]);
  }
  while (kept.size() > 1 && length(kept.back() - kept.front()) <= kOutlineMinStep) {
    keptCrossing.front() |= keptCrossing.back();
    kept.pop_back();
    keptCrossing.pop_back();
  }
  if (kept.size() < 3) return;
  kept.push_back(kept.front());
  keptCrossing.push_back(keptCrossing.front());
  result.crossingPoints.clear();
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (keptCrossing[i]) result.crossingPoints.push_back(i);
  }
  ring.swap(kept);
}

trealpoint boxCentre(std::span<const trealpoint> p) {
  trealpoint lo = p[0], hi = p[0];
  for (const trealpoint& pt : p) {
    lo = {std::min(lo.x, pt.x), std::min(lo.y, pt.y)};
    hi = {std::max(hi.x, pt.x), std::max(hi.y, pt.y)};
  }
  return {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2};
}

}  // namespace

OffsetResult offsetClosedPolygon(std::span<const trealpoint> p, double r, int side) {
  OffsetResult result;
  const bool finite = std::all_of(p.begin(), p.end(), [](const trealpoint& pt) { return isFinite(pt); });
  const std::vector<trealpoint> v = finite ? cornersOf(p) : std::vector<trealpoint>{};
  if (!(r > 0) || !std::isfinite(r) || v.size() < 2) {
    result.outline.assign(p.begin(), p.end());
    return result;
  }
  OutlineBuilder builder(r, side, v.size());
  const std::size_t k = v.size();
  for (std::size_t i = 0; i < k; ++i) builder.corner(v[(i + k - 1) % k], v[i], v[(i + 1) % k]);
  std::vector<char> throughCorner;
  result.outline = builder.finish(throughCorner);
  if (result.outline.size() < 4) return result;

  const int figureTurn = signOf(doubleSignedArea(v));
  LoopCutResult cut = cutLoops(result.outline, throughCorner, v, r, figureTurn);
  result.loopsCut = cut.loopsCut;
  result.crossingPoints = std::move(cut.crossingPoints);
  if (cut.loopsCut > 0) dropShortSteps(result);
  if (cut.nothingLeft) {
    const trealpoint c = boxCentre(p);
    result.outline = {c, c};
    result.collapsed = true;
  }
  return result;
}

}  // namespace trazvik::prepare
