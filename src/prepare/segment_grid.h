// A uniform grid over the segments of one polyline. Finding the segments
// that may cross a given one then costs about the number of its neighbours
// instead of the number of all segments, which keeps the loop search of long
// outlines linear in practice.
#pragma once
#include "geometry/records.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace trazvik::prepare {

class SegmentGrid {
 public:
  // Indexes segment i = pts[i] -> pts[i + 1] for every i, in cells of at
  // least minCell. The points must be finite and must outlive the grid's use.
  void build(std::span<const trealpoint> pts, double minCell = 0);

  // Calls visit(j) once for every segment j that shares a grid cell with the
  // segment a -> b (a superset of the segments that can touch it).
  template <class Visit>
  void forEachNear(trealpoint a, trealpoint b, Visit&& visit) {
    nextStamp();
    forEachCell(a, b, [&](std::size_t cell) { visitCell(cell, visit); });
  }

  // Calls visit(j) once for every segment j that shares a grid cell with the
  // box from lo to hi (a superset of the segments inside it).
  template <class Visit>
  void forEachInBox(trealpoint lo, trealpoint hi, Visit&& visit) {
    nextStamp();
    for (std::int64_t r = row(lo.y); r <= row(hi.y); ++r) {
      for (std::int64_t c = column(lo.x); c <= column(hi.x); ++c)
        visitCell(static_cast<std::size_t>(r * columns_ + c), visit);
    }
  }

 private:
  void nextStamp() {
    ++stamp_;
    if (stamp_ == 0) {  // wrapped: forget every old mark
      std::fill(seen_.begin(), seen_.end(), 0u);
      stamp_ = 1;
    }
  }
  template <class Visit>
  void visitCell(std::size_t cell, Visit& visit) {
    for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
      const std::uint32_t j = items_[k];
      if (seen_[j] == stamp_) continue;
      seen_[j] = stamp_;
      visit(static_cast<std::size_t>(j));
    }
  }

  // Calls f(cell) for every cell the segment a -> b touches (cells on a
  // boundary it runs along are included).
  template <class F>
  void forEachCell(trealpoint a, trealpoint b, F&& f) const;
  // Cell numbers, held to the grid (points outside it fall into its border
  // cells).
  std::int64_t column(double x) const { return cellNumber((x - x0_) * inverseCell_, columns_); }
  std::int64_t row(double y) const { return cellNumber((y - y0_) * inverseCell_, rows_); }
  static std::int64_t cellNumber(double v, std::int64_t count) {
    if (!(v > 0)) return 0;
    if (v >= static_cast<double>(count)) return count - 1;
    return static_cast<std::int64_t>(v);
  }

  double x0_ = 0, y0_ = 0, cell_ = 1, inverseCell_ = 1;
  std::int64_t columns_ = 1, rows_ = 1;
  std::vector<std::uint32_t> cellStart_;
  std::vector<std::uint32_t> items_;
  std::vector<std::uint32_t> seen_;
  std::uint32_t stamp_ = 0;
};

template <class F>
void SegmentGrid::forEachCell(trealpoint a, trealpoint b, F&& f) const {
  const double eps = cell_ * 1e-9;
  if (a.y > b.y) std::swap(a, b);
  const std::int64_t firstRow = row(a.y - eps);
  const std::int64_t lastRow = row(b.y + eps);
  const double dy = b.y - a.y;
  for (std::int64_t r = firstRow; r <= lastRow; ++r) {
    // The part of the segment inside this row's band.
    double xa = a.x, xb = b.x;
    if (dy > 0) {
      const double bandLo = std::max(a.y, y0_ + static_cast<double>(r) * cell_);
      const double bandHi = std::min(b.y, y0_ + static_cast<double>(r + 1) * cell_);
      xa = a.x + (b.x - a.x) * ((bandLo - a.y) / dy);
      xb = a.x + (b.x - a.x) * ((bandHi - a.y) / dy);
    }
    if (xa > xb) std::swap(xa, xb);
    const std::int64_t c0 = column(xa - eps);
    const std::int64_t c1 = column(xb + eps);
    for (std::int64_t c = c0; c <= c1; ++c) f(static_cast<std::size_t>(r * columns_ + c));
  }
}

}  // namespace trazvik::prepare
