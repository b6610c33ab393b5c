#include "offset_reference.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace trazvik::testing {
namespace {

// Clipper works on integers: file units times this.
constexpr double kScale = 16;

double segmentDistance(trealpoint p, trealpoint a, trealpoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 == 0 ? 0 : ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double orient(trealpoint a, trealpoint b, trealpoint c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool onSegment(trealpoint a, trealpoint b, trealpoint p) {
  return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
         p.y <= std::max(a.y, b.y);
}

bool segmentsTouch(trealpoint a, trealpoint b, trealpoint c, trealpoint d) {
  const double o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
  if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) return true;
  return (o1 == 0 && onSegment(a, b, c)) || (o2 == 0 && onSegment(a, b, d)) || (o3 == 0 && onSegment(c, d, a)) ||
         (o4 == 0 && onSegment(c, d, b));
}

ClipperLib::Path toPath(const std::vector<trealpoint>& pts) {
  ClipperLib::Path path;
  for (const trealpoint& p : pts) {
    path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.x * kScale)),
                      static_cast<ClipperLib::cInt>(std::llround(p.y * kScale)));
  }
  if (path.size() > 1 && path.front() == path.back()) path.pop_back();
  return path;
}

}  // namespace

double distanceToPolygon(trealpoint pt, const std::vector<trealpoint>& poly) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < poly.size(); ++i) {
    best = std::min(best, segmentDistance(pt, poly[i], poly[(i + 1) % poly.size()]));
  }
  return best;
}

double turnAtNearestCorner(trealpoint pt, const std::vector<trealpoint>& poly) {
  std::size_t nearest = 0;
  for (std::size_t i = 1; i < poly.size(); ++i) {
    if (std::hypot(pt.x - poly[i].x, pt.y - poly[i].y) < std::hypot(pt.x - poly[nearest].x, pt.y - poly[nearest].y)) {
      nearest = i;
    }
  }
  const std::size_t n = poly.size();
  const trealpoint u = poly[(nearest + n - 1) % n], v = poly[nearest], w = poly[(nearest + 1) % n];
  const double a1 = std::atan2(v.y - u.y, v.x - u.x);
  const double a2 = std::atan2(w.y - v.y, w.x - v.x);
  double turn = std::remainder(a2 - a1, 2 * std::numbers::pi);
  return std::abs(turn);
}

bool crossesItself(const std::vector<trealpoint>& ring) {
  const std::size_t m = ring.size() - 1;
  for (std::size_t i = 0; i < m; ++i) {
    for (std::size_t j = i + 2; j < m; ++j) {
      if (i == 0 && j == m - 1) continue;
      if (segmentsTouch(ring[i], ring[i + 1], ring[j], ring[j + 1])) return true;
    }
  }
  return false;
}

double doubleArea(const std::vector<trealpoint>& ring) {
  double sum = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const trealpoint& a = ring[i];
    const trealpoint& b = ring[(i + 1) % ring.size()];
    sum += a.x * b.y - b.x * a.y;
  }
  return sum;
}

std::vector<std::vector<trealpoint>> clipperOffset(const std::vector<trealpoint>& poly, double delta) {
  ClipperLib::ClipperOffset offset;
  const double radius = std::abs(delta) * kScale;
  // Clipper's arc tolerance for a given number of steps per full turn.
  offset.ArcTolerance = radius * (1 - std::cos(std::numbers::pi / 128));
  offset.AddPath(toPath(poly), ClipperLib::jtRound, ClipperLib::etClosedPolygon);
  ClipperLib::Paths solution;
  offset.Execute(solution, delta * kScale);
  std::vector<std::vector<trealpoint>> result;
  for (const ClipperLib::Path& path : solution) {
    std::vector<trealpoint> pts;
    for (const ClipperLib::IntPoint& p : path) pts.push_back({p.X / kScale, p.Y / kScale});
    if (!pts.empty()) pts.push_back(pts.front());
    result.push_back(std::move(pts));
  }
  return result;
}

double symmetricDifferenceArea(const std::vector<std::vector<trealpoint>>& a,
                               const std::vector<std::vector<trealpoint>>& b) {
  ClipperLib::Clipper clipper;
  for (const auto& pts : a) clipper.AddPath(toPath(pts), ClipperLib::ptSubject, true);
  for (const auto& pts : b) clipper.AddPath(toPath(pts), ClipperLib::ptClip, true);
  ClipperLib::Paths solution;
  clipper.Execute(ClipperLib::ctXor, solution, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  double area = 0;
  for (const ClipperLib::Path& path : solution) area += ClipperLib::Area(path);
  return std::abs(area) / (kScale * kScale);
}

}  // namespace trazvik::testing
