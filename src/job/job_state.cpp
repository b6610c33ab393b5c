#include "job/job_state.h"

#include <algorithm>

namespace trazvik {

void tJobExtremes::include(double x, double y, double z) {
  maxX = std::max(maxX, x);
  maxY = std::max(maxY, y);
  maxZ = std::max(maxZ, z);
  minX = std::min(minX, x);
  minY = std::min(minY, y);
  minZ = std::min(minZ, z);
}

trpoint3d headOffsetCorrection(const tHeadOffsets& heads, int chosen, int current) {
  const int count = std::min(heads.headCount, 3);
  if (chosen < 0 || current < 0 || chosen >= count || current >= count) return {};
  return {-(heads.x[chosen] - heads.x[current]), -(heads.y[chosen] - heads.y[current]),
          (heads.zZero[chosen] - heads.zZero[current]) / 100};
}

}  // namespace trazvik
