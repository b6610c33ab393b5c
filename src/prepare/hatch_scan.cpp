#include "prepare/hatch_scan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trazvik::prepare {
namespace {

constexpr double kEdge = 0.001;  // the box is widened by this beyond the margin

double reducedDegrees(double angleDegrees) {
  double a = std::fmod(std::fabs(angleDegrees), 180.0);
  if (!std::isfinite(a)) a = 0;
  return a;
}

}  // namespace

int hatchPattern(double angleDegrees) {
  const double a = reducedDegrees(angleDegrees);
  if (a == 0) return 2;
  if (a == 90) return 1;
  return a < 90 ? 3 : 4;
}

double hatchAngle(double angleDegrees) {
  double a = std::isfinite(angleDegrees) ? angleDegrees * std::numbers::pi / 180 : 0;
  a = std::fmod(a, std::numbers::pi);
  if (a > std::numbers::pi / 2) a -= std::numbers::pi;
  if (a <= -std::numbers::pi / 2) a += std::numbers::pi;
  return a;
}

HatchScanner::HatchScanner(const tListaFigur& figures, std::span<const std::uint32_t> closedFigures, trealpoint lo,
                           trealpoint hi, double margin, double spacing, double angleDegrees, std::size_t maxLines) {
  const double a = hatchAngle(angleDegrees);
  if (std::fabs(a) < 0.001) {
    pattern_ = 2;
  } else if (std::fabs(std::numbers::pi / 2 - std::fabs(a)) < 0.001) {
    pattern_ = 1;
  } else {
    pattern_ = a > 0 ? 3 : 4;
    tan_ = std::tan(a);
  }
  const double w = margin + kEdge;
  lo_ = {lo.x - w, lo.y - w};
  hi_ = {hi.x + w, hi.y + w};
  // The lines are g(x, y) = first + k * step with g = y (horizontal), x
  // (vertical) or y - x tan a (slanted; step = spacing / cos a).
  step_ = pattern_ >= 3 ? spacing / std::cos(a) : spacing;
  double last = 0;
  if (pattern_ == 2) {
    first_ = lo_.y;
    last = hi_.y;
  } else if (pattern_ == 1) {
    first_ = lo_.x;
    last = hi_.x;
  } else {
    const double g[] = {scanValue(lo_), scanValue(hi_), scanValue({lo_.x, hi_.y}), scanValue({hi_.x, lo_.y})};
    first_ = *std::min_element(std::begin(g), std::end(g));
    last = *std::max_element(std::begin(g), std::end(g));
  }
  if (!(step_ > 0) || !std::isfinite(step_) || !std::isfinite(first_) || !std::isfinite(last)) return;
  const double count = std::floor((last - first_) / step_) + 1;
  if (!(count <= static_cast<double>(maxLines))) {
    tooMany_ = true;
    return;
  }
  lines_ = static_cast<std::size_t>(count);

  for (std::uint32_t index : closedFigures) {
    const tfigura& f = *figures[index];
    const std::vector<trealpoint>& pts = f.op.empty() ? f.p : f.op;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i + 1 < n + (n > 2 && !(pts.front() == pts.back()) ? 1 : 0); ++i) {
      const trealpoint pa = pts[i], pb = pts[(i + 1) % n];
      const Segment s{pa, pb, scanValue(pa), scanValue(pb), index};
      if (s.ga == s.gb || !std::isfinite(s.ga) || !std::isfinite(s.gb)) continue;
      segments_.push_back(s);
    }
  }
  // File each segment under the lines of its band (one line wider on each
  // side; crossings() makes the exact test).
  auto range = [&](const Segment& s) {
    const double low = (std::min(s.ga, s.gb) - first_) / step_;
    const double high = (std::max(s.ga, s.gb) - first_) / step_;
    const double k0 = std::max(0.0, std::floor(low));
    const double k1 = std::min(static_cast<double>(lines_) - 1, std::ceil(high));
    return std::pair<std::size_t, std::size_t>{static_cast<std::size_t>(k0),
                                               k1 < k0 ? 0 : static_cast<std::size_t>(k1) + 1};
  };
  bucketStart_.assign(lines_ + 1, 0);
  for (const Segment& s : segments_) {
    const auto [k0, k1] = range(s);
    for (std::size_t k = k0; k < k1; ++k) ++bucketStart_[k + 1];
  }
  for (std::size_t k = 0; k < lines_; ++k) bucketStart_[k + 1] += bucketStart_[k];
  bucket_.resize(bucketStart_[lines_]);
  std::vector<std::uint32_t> fill(bucketStart_.begin(), bucketStart_.end() - 1);
  for (std::uint32_t i = 0; i < segments_.size(); ++i) {
    const auto [k0, k1] = range(segments_[i]);
    for (std::size_t k = k0; k < k1; ++k) bucket_[fill[k]++] = i;
  }
}

double HatchScanner::scanValue(trealpoint p) const {
  if (pattern_ == 2) return p.y;
  if (pattern_ == 1) return p.x;
  return p.y - p.x * tan_;
}

tSegment HatchScanner::line(std::size_t k) const {
  const double t = lineValue(k);
  if (pattern_ == 2) return {{lo_.x, t}, {hi_.x, t}};
  if (pattern_ == 1) return {{t, lo_.y}, {t, hi_.y}};
  // y = x tan a + t clipped to the widened box.
  double x0 = lo_.x, x1 = hi_.x;
  const double xa = (lo_.y - t) / tan_, xb = (hi_.y - t) / tan_;
  x0 = std::max(x0, std::min(xa, xb));
  x1 = std::min(x1, std::max(xa, xb));
  return {{x0, x0 * tan_ + t}, {x1, x1 * tan_ + t}};
}

void HatchScanner::crossings(std::size_t k, std::vector<HatchCrossing>& out) const {
  out.clear();
  if (k >= lines_) return;
  const double t = lineValue(k);
  for (std::uint32_t i = bucketStart_[k]; i < bucketStart_[k + 1]; ++i) {
    const Segment& s = segments_[bucket_[i]];
    const double low = std::min(s.ga, s.gb), high = std::max(s.ga, s.gb);
    if (!(low <= t && t < high)) continue;
    const double u = (t - s.ga) / (s.gb - s.ga);
    trealpoint at{s.a.x + u * (s.b.x - s.a.x), s.a.y + u * (s.b.y - s.a.y)};
    // On an axis-parallel line the fixed coordinate is the line's own, so
    // that the order along the line is not upset by rounding.
    if (pattern_ == 2) at.y = t;
    if (pattern_ == 1) at.x = t;
    out.push_back({at, s.figure});
  }
  std::sort(out.begin(), out.end(), [](const HatchCrossing& a, const HatchCrossing& b) {
    return a.at.x < b.at.x || (a.at.x == b.at.x && a.at.y < b.at.y);
  });
}

}  // namespace trazvik::prepare
