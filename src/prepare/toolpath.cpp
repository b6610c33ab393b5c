#include "prepare/toolpath.h"

#include "geometry/points.h"
#include "prepare/plane_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazvik::prepare {
namespace {

class PathWriter {
 public:
  explicit PathWriter(std::vector<trpoint3d>& sp) : sp_(sp) { sp_.clear(); }

  // Appends (pt, z) unless it equals the last point; returns the move length.
  double to(trealpoint pt, double z) {
    const trpoint3d q{pt.x, pt.y, z};
    if (sp_.empty()) {
      sp_.push_back(q);
      return 0;
    }
    if (sp_.back() == q) return 0;
    const double d = dist3d(sp_.back(), q);
    sp_.push_back(q);
    return d;
  }

  trealpoint last() const { return {sp_.back().x, sp_.back().y}; }

 private:
  std::vector<trpoint3d>& sp_;
};

std::size_t nearestPoint(std::span<const trealpoint> pts, trealpoint to) {
  std::size_t best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const double d = dist2(pts[i], to);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

}  // namespace

ToolpathLengths closedToolpath(std::span<const trealpoint> path, std::span<const trealpoint> finalOutline,
                               const DescentPlan& plan, std::vector<trpoint3d>& sp) {
  ToolpathLengths lengths;
  PathWriter out(sp);
  const std::size_t n = path.size();
  if (n == 0) return lengths;
  const double round = polylineLength(path) + length(path.front() - path.back());
  const double top = std::max(plan.start, plan.floor);
  std::size_t at = n - 1;
  lengths.work += out.to(path[at], top);
  if (!(round > 0)) {
    // A closed figure without length: a plunge at its point.
    lengths.work += out.to(path[at], plan.floor);
  } else {
    double pitch = plan.pitch > 0 && std::isfinite(plan.pitch) ? plan.pitch : top - plan.floor;
    pitch = std::max(pitch, (top - plan.floor) / kMaxRounds);
    double walked = 0;
    double height = top;
    while (height > plan.floor + plan.tolerance) {
      const std::size_t next = (at + 1) % n;
      walked += length(path[next] - path[at]);
      at = next;
      height = std::max(top - walked * pitch / round, plan.floor);
      lengths.work += out.to(path[at], height);
    }
    // One more full round at the floor.
    for (std::size_t k = 0; k < n; ++k) {
      at = (at + 1) % n;
      lengths.work += out.to(path[at], plan.floor);
    }
  }
  if (plan.polish && !finalOutline.empty()) {
    const std::size_t m = finalOutline.size();
    std::size_t k = nearestPoint(finalOutline, out.last());
    lengths.polish += out.to(finalOutline[k], plan.bottom);
    for (std::size_t i = 0; i < m; ++i) {
      k = (k + 1) % m;
      lengths.polish += out.to(finalOutline[k], plan.bottom);
    }
  }
  return lengths;
}

ToolpathLengths openToolpath(std::span<const trealpoint> path, const DescentPlan& plan, std::vector<trpoint3d>& sp) {
  ToolpathLengths lengths;
  PathWriter out(sp);
  if (path.empty()) return lengths;
  const double total = polylineLength(path);
  const double top = std::max(plan.start, plan.floor);
  lengths.work += out.to(path[0], top);
  if (!(total > 0)) {
    lengths.work += out.to(path[0], plan.floor);  // a drill point: straight down
    return lengths;
  }
  const double pitch = plan.pitch > 0 && std::isfinite(plan.pitch) ? plan.pitch : 0;
  const double fall = std::max(pitch, top - plan.floor) / total;
  double walked = 0;
  for (std::size_t i = 1; i < path.size(); ++i) {
    walked += length(path[i] - path[i - 1]);
    const double height = i + 1 == path.size() ? plan.floor : std::max(top - walked * fall, plan.floor);
    lengths.work += out.to(path[i], height);
  }
  return lengths;
}

}  // namespace trazvik::prepare
