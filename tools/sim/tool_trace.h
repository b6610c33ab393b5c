// Where the simulated tool went: straight segments in machine coordinates
// (millimetres) with the tool state during each. Tests and the CLI compare
// it with the design; the trace writer draws it.
#pragma once
#include "no_qt.h"

#include "raster_burn.h"

#include <cstddef>
#include <vector>

namespace trazvik::sim {

struct TracePoint {
  double x = 0, y = 0, z = 0;
};

enum class TraceSource { job, immediate, homing, probe };

struct TraceSegment {
  TracePoint from;
  TracePoint to;
  bool toolOn = false;
  TraceSource source = TraceSource::job;
  double knifeAngleSteps = 0;  // knife axis position at the end of the segment
};

struct TraceBounds {
  TracePoint min, max;
  bool empty = true;
  void include(const TracePoint& p);
};

class ToolTrace {
 public:
  // Consecutive pieces of one straight move are merged into one segment.
  void add(const TraceSegment& s);
  void clear() {
    segments_.clear();
    burns_.clear();
  }
  // Engraving moves: the pixels burnt along each.
  void addBurn(BurnLine line) { burns_.push_back(std::move(line)); }
  BurnLine& lastBurn() { return burns_.back(); }
  const std::vector<BurnLine>& burns() const { return burns_; }

  const std::vector<TraceSegment>& segments() const { return segments_; }
  std::size_t size() const { return segments_.size(); }
  // Bounds of every segment, or of those with the tool on only.
  TraceBounds bounds(bool toolOnOnly = false) const;
  // Length in millimetres of the XY path with the tool on (or off).
  double pathLength(bool toolOn) const;

 private:
  std::vector<TraceSegment> segments_;
  std::vector<BurnLine> burns_;
};

}  // namespace trazvik::sim
