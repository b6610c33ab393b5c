#include "prepare/box_index.h"

#include <algorithm>
#include <cmath>

namespace trazvik::prepare {
namespace {

constexpr int kMaxLevels = 40;
// Cell numbers are kept in 24 bits a side (enough for 2^24 cells of the
// finest level across the whole extent).
constexpr std::int64_t kCellLimit = (std::int64_t{1} << 24) - 1;

bool finiteBox(trealpoint lo, trealpoint hi) {
  return std::isfinite(lo.x) && std::isfinite(lo.y) && std::isfinite(hi.x) && std::isfinite(hi.y) && lo.x <= hi.x &&
         lo.y <= hi.y;
}

}  // namespace

void BoxIndex::add(std::uint32_t item, trealpoint lo, trealpoint hi) {
  if (finiteBox(lo, hi)) boxes_.push_back({lo, hi, item});
}

std::uint64_t BoxIndex::key(int level, std::int64_t cx, std::int64_t cy) const {
  return (static_cast<std::uint64_t>(level) << 48) | (static_cast<std::uint64_t>(cx) << 24) |
         static_cast<std::uint64_t>(cy);
}

std::int64_t BoxIndex::cellNumber(double v, double origin, int level) const {
  const double c = std::floor((v - origin) / std::ldexp(base_, level));
  return static_cast<std::int64_t>(std::clamp(c, 0.0, static_cast<double>(kCellLimit)));
}

void BoxIndex::finish() {
  if (boxes_.empty()) return;
  trealpoint lo = boxes_[0].lo, hi = boxes_[0].hi;
  for (const Box& b : boxes_) {
    lo = {std::min(lo.x, b.lo.x), std::min(lo.y, b.lo.y)};
    hi = {std::max(hi.x, b.hi.x), std::max(hi.y, b.hi.y)};
  }
  origin_ = lo;
  const double extent = std::max({hi.x - lo.x, hi.y - lo.y, 1e-9});
  // The finest cell: the typical (median) box size, but never so small that
  // the extent needs more cells than a level can number.
  std::vector<double> sizes;
  sizes.reserve(boxes_.size());
  for (const Box& b : boxes_) sizes.push_back(std::max(b.hi.x - b.lo.x, b.hi.y - b.lo.y));
  std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
  base_ = std::max({sizes[sizes.size() / 2], extent / static_cast<double>(kCellLimit), 1e-9});
  levels_ = 0;
  entries_.clear();
  entries_.reserve(boxes_.size() * 4);
  for (std::uint32_t i = 0; i < boxes_.size(); ++i) {
    const Box& b = boxes_[i];
    const double size = std::max(b.hi.x - b.lo.x, b.hi.y - b.lo.y);
    int level = 0;
    while (level + 1 < kMaxLevels && std::ldexp(base_, level) < size) ++level;
    levels_ = std::max(levels_, level + 1);
    // At this level the box is no larger than a cell: it covers one to two
    // cells in each direction.
    for (std::int64_t cx = cellNumber(b.lo.x, origin_.x, level); cx <= cellNumber(b.hi.x, origin_.x, level); ++cx) {
      for (std::int64_t cy = cellNumber(b.lo.y, origin_.y, level); cy <= cellNumber(b.hi.y, origin_.y, level); ++cy) {
        entries_.push_back({key(level, cx, cy), i});
      }
    }
  }
  std::sort(entries_.begin(), entries_.end());
}

void BoxIndex::containing(trealpoint pt, std::vector<std::uint32_t>& out) const {
  if (!std::isfinite(pt.x) || !std::isfinite(pt.y)) return;
  for (int level = 0; level < levels_; ++level) {
    const std::uint64_t k = key(level, cellNumber(pt.x, origin_.x, level), cellNumber(pt.y, origin_.y, level));
    auto it = std::lower_bound(entries_.begin(), entries_.end(), Entry{k, 0});
    for (; it != entries_.end() && it->cell == k; ++it) {
      const Box& b = boxes_[it->box];
      if (b.lo.x <= pt.x && pt.x <= b.hi.x && b.lo.y <= pt.y && pt.y <= b.hi.y) out.push_back(b.item);
    }
  }
}

}  // namespace trazvik::prepare
