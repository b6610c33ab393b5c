// The scan lines of a hatching and where they cross the outlines of the
// closed figures. Every outline segment is filed under the scan lines its
// band can reach, so a scan line meets only the segments that may cross it:
// the work grows with the number of crossings, not with lines x segments.
#pragma once
#include "geometry/figure_list.h"

#include <cstdint>
#include <span>
#include <vector>

namespace trazvik::prepare {

// How the lines run: 1 vertical, 2 horizontal, 3 rising, 4 falling.
int hatchPattern(double angleDegrees);
// The angle in radians brought into (-pi/2, pi/2].
double hatchAngle(double angleDegrees);

// A crossing of a scan line with an outline: the point and the figure.
struct HatchCrossing {
  trealpoint at;
  std::uint32_t figure = 0;
};

class HatchScanner {
 public:
  // Scan lines spaced `spacing` apart (file units) at `angleDegrees` over the
  // box lo..hi widened by `margin` + 0.001 on every side, against the
  // outlines op (p when op is empty; the closing segment included) of the
  // listed figures. The number of lines is at most maxLines: more is refused
  // by lineCount() == 0 and tooManyLines().
  HatchScanner(const tListaFigur& figures, std::span<const std::uint32_t> closedFigures, trealpoint lo, trealpoint hi,
               double margin, double spacing, double angleDegrees, std::size_t maxLines);

  int pattern() const { return pattern_; }
  std::size_t lineCount() const { return lines_; }
  bool tooManyLines() const { return tooMany_; }
  // The ends of scan line k over the widened box.
  tSegment line(std::size_t k) const;
  // The crossings of scan line k, in order along it (by x, then by y). An
  // outline vertex on the line counts once (each segment's band is taken
  // half-open), so the crossings of closed outlines pair up.
  void crossings(std::size_t k, std::vector<HatchCrossing>& out) const;

 private:
  struct Segment {
    trealpoint a, b;
    double ga = 0, gb = 0;  // the scan parameter at both ends
    std::uint32_t figure = 0;
  };
  double scanValue(trealpoint p) const;
  double lineValue(std::size_t k) const { return first_ + static_cast<double>(k) * step_; }

  int pattern_ = 2;
  double tan_ = 0;
  double first_ = 0, step_ = 1;
  trealpoint lo_, hi_;  // the widened box
  std::size_t lines_ = 0;
  bool tooMany_ = false;
  std::vector<Segment> segments_;
  std::vector<std::uint32_t> bucketStart_;  // per line, into bucket_
  std::vector<std::uint32_t> bucket_;       // segment numbers
};

}  // namespace trazvik::prepare
