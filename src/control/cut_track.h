// What the project view draws over the plan while a job runs: where the
// tool stands and the part already cut, both in the project's file units,
// followed at the monitoring loop's pace from the machine's status.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"
#include "machine/plot_state.h"

#include <optional>
#include <vector>

namespace trazvik {

// The tool's place in the project: its position relative to the work zero
// (where the project's lower-left corner `corner` is cut), at the drawing's
// scale `skalaPercent`, in the file units of `fileType`.
trealpoint toolInProject(const tplotstate& st, int fileType, double skalaPercent, trealpoint corner);

// The tool cuts: it is on and, on a router, below the material's surface
// `topMm` (millimetres above the work zero's Z). A laser cuts where it is on.
bool toolCutting(const tplotstate& st, bool laser, double topMm);

class tCutTrack {
 public:
  void clear();
  // The tool is at `at`; while `cutting` the part cut grows by it, in steps
  // of at least `minStep` file units (so a long job stays a light drawing).
  void follow(trealpoint at, bool cutting, double minStep);
  // The part cut, one polyline for each stretch in the material.
  const std::vector<std::vector<trealpoint>>& cut() const { return cut_; }
  std::optional<trealpoint> tool() const { return tool_; }

 private:
  std::vector<std::vector<trealpoint>> cut_;
  std::optional<trealpoint> tool_;
  bool wasCutting_ = false;
};

}  // namespace trazvik
