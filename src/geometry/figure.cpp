#include "geometry/figure.h"

#include "geometry/lines.h"
#include "geometry/points.h"

#include <algorithm>

namespace trazvik {

std::int32_t tfigura::get_min_point() {
  std::size_t lowest = 0;
  for (std::size_t i = 1; i < p.size(); ++i) {
    if (p[i].y < p[lowest].y) lowest = i;
  }
  min_point = static_cast<std::int32_t>(lowest);
  return min_point;
}

namespace {

// b lies on a straight run from a to c that rises or stays level in x and y.
bool isRisingStraightMiddle(const trealpoint& a, const trealpoint& b, const trealpoint& c) {
  const tLineEq first = segmentLine({a, b});
  const tLineEq second = segmentLine({b, c});
  return first.slope == second.slope && first.intercept == second.intercept && a.x <= b.x && b.x <= c.x && a.y <= b.y &&
         b.y <= c.y;
}

}  // namespace

void tfigura::RedukujWezlyNaProstych() {
  // One pass, compacting in place: p[kept] is the middle candidate and
  // p[kept - 1] the last point that stays for certain.
  if (p.size() < 3) return;
  std::size_t kept = 1;
  for (std::size_t next = 2; next < p.size(); ++next) {
    if (!isRisingStraightMiddle(p[kept - 1], p[kept], p[next])) ++kept;
    p[kept] = p[next];
  }
  p.resize(kept + 1);
}

namespace {

template <class Point>
int finishShapeOf(tfigura& fig, const std::vector<Point>& p, double accuracy) {
  auto plane = [](const Point& q) { return trealpoint{q.x, q.y}; };
  const std::size_t n = p.size();
  const double accuracy2 = accuracy > 0 ? accuracy * accuracy : -1;  // compare squares, no roots
  trealpoint lo = plane(p[0]), hi = plane(p[0]);
  std::size_t lowest = 0;
  int shortSegments = 0;
  bool valid = false;
  for (std::size_t i = 1; i < n; ++i) {
    const trealpoint q = plane(p[i]);
    const trealpoint before = plane(p[i - 1]);
    lo.x = std::min(lo.x, q.x);
    hi.x = std::max(hi.x, q.x);
    hi.y = std::max(hi.y, q.y);
    if (q.y < lo.y) {
      lo.y = q.y;
      lowest = i;
    }
    valid = valid || !samePoint(q, before);
    // every segment except the last one
    if (i + 1 < n && dist2(before, q) < accuracy2) ++shortSegments;
  }
  fig.min_point = static_cast<std::int32_t>(lowest);
  fig.fig_x_size = hi.x - lo.x;
  fig.fig_y_size = hi.y - lo.y;
  fig.fig_pp = lo;
  fig.fig_pk = hi;
  fig.center = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2};
  fig.poziom = 0;
  fig.lezy_w = nullptr;
  fig.otwarta = n < 3 || !samePoint(plane(p.front()), plane(p.back()));
  fig.valid = valid;
  return shortSegments;
}

}  // namespace

int finishFigureShape(tfigura& fig, double accuracy) {
  if (!fig.p.empty()) return finishShapeOf(fig, fig.p, accuracy);
  if (!fig.sp.empty()) return finishShapeOf(fig, fig.sp, accuracy);
  fig.valid = false;
  return 0;
}

std::vector<trealpoint> drawnPoints(const tfigura& fig) {
  if (!fig.p.empty() || fig.sp.empty()) return fig.p;
  std::vector<trealpoint> plane;
  plane.reserve(fig.sp.size());
  for (const trpoint3d& q : fig.sp) plane.push_back({q.x, q.y});
  return plane;
}

}  // namespace trazvik
