#include "prepare/segment_grid.h"

#include "prepare/plane_math.h"

#include <algorithm>
#include <cmath>

namespace trazvik::prepare {

void SegmentGrid::build(std::span<const trealpoint> pts, double minCell) {
  const std::size_t segments = pts.size() < 2 ? 0 : pts.size() - 1;
  trealpoint lo = pts.empty() ? trealpoint{} : pts[0];
  trealpoint hi = lo;
  double total = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    lo.x = std::min(lo.x, pts[i].x);
    lo.y = std::min(lo.y, pts[i].y);
    hi.x = std::max(hi.x, pts[i].x);
    hi.y = std::max(hi.y, pts[i].y);
    if (i > 0) total += length(pts[i] - pts[i - 1]);
  }
  const double width = hi.x - lo.x;
  const double height = hi.y - lo.y;
  const double n = static_cast<double>(std::max<std::size_t>(segments, 1));
  // About as many cells as segments, never smaller than an average segment,
  // so that a segment covers a few cells and a cell holds a few segments.
  double cell = std::max({total / n, std::sqrt(width * height / n), std::max(width, height) / (4 * n), minCell});
  if (!(cell > 0) || !std::isfinite(cell)) cell = 1;
  x0_ = lo.x;
  y0_ = lo.y;
  cell_ = cell;
  inverseCell_ = 1 / cell;
  columns_ = static_cast<std::int64_t>(std::floor(width / cell)) + 1;
  rows_ = static_cast<std::int64_t>(std::floor(height / cell)) + 1;

  const std::size_t cells = static_cast<std::size_t>(columns_ * rows_);
  cellStart_.assign(cells + 1, 0);
  for (std::size_t i = 0; i < segments; ++i)
    forEachCell(pts[i], pts[i + 1], [&](std::size_t c) { ++cellStart_[c + 1]; });
  for (std::size_t c = 0; c < cells; ++c) cellStart_[c + 1] += cellStart_[c];
  items_.resize(cellStart_[cells]);
  std::vector<std::uint32_t>& fill = seen_;  // reused as the fill cursor
  fill.assign(cellStart_.begin(), cellStart_.end() - 1);
  for (std::size_t i = 0; i < segments; ++i) {
    forEachCell(pts[i], pts[i + 1], [&](std::size_t c) { items_[fill[c]++] = static_cast<std::uint32_t>(i); });
  }
  seen_.assign(segments, 0u);
  stamp_ = 0;
}

}  // namespace trazvik::prepare
