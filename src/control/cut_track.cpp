#include "control/cut_track.h"

#include "geometry/units.h"
#include "machine/state_bits.h"

#include <cmath>

namespace trazvik {

trealpoint toolInProject(const tplotstate& st, int fileType, double skalaPercent, trealpoint corner) {
  const double scale = skalaPercent > 0 && std::isfinite(skalaPercent) ? skalaPercent / 100 : 1;
  const double xMm = (st.abspos.x - st.pos0.x) / 100.0;
  const double yMm = (st.abspos.y - st.pos0.y) / 100.0;
  return {corner.x + fromMm(fileType, xMm) / scale, corner.y + fromMm(fileType, yMm) / scale};
}

bool toolCutting(const tplotstate& st, bool laser, double topMm) {
  if (!st.bit(stateBit::toolOn)) return false;
  return laser || (st.abspos.z + st.pos0.z) / 100.0 < topMm;
}

void tCutTrack::clear() {
  cut_.clear();
  tool_.reset();
  wasCutting_ = false;
}

void tCutTrack::follow(trealpoint at, bool cutting, double minStep) {
  if (!std::isfinite(at.x) || !std::isfinite(at.y)) return;
  if (cutting) {
    // A stretch in the material starts where the tool is first seen in it.
    if (!wasCutting_ || cut_.empty()) cut_.emplace_back();
    std::vector<trealpoint>& piece = cut_.back();
    if (piece.empty() || std::hypot(at.x - piece.back().x, at.y - piece.back().y) >= minStep) piece.push_back(at);
  } else if (wasCutting_ && !cut_.empty()) {
    cut_.back().push_back(at);  // up to where it left the material
  }
  wasCutting_ = cutting;
  tool_ = at;
}

}  // namespace trazvik
