#include "link/status_plausibility.h"

#include <cmath>
#include <optional>

namespace trazvik {

namespace {

// Steps of one axis within the longest axis (a zero factor: the axis is not
// scaled, and any value passes).
bool withinReach(std::optional<std::int32_t> steps, double stepsPerHundredth) {
  if (!steps || stepsPerHundredth == 0) return true;
  return std::fabs(*steps / stepsPerHundredth) <= kLongestAxisMm * 100;
}

bool positionsWithinReach(const ByteFields& f, std::size_t at, const tStatusLayout& l) {
  return withinReach(f.i32(at), l.axisFactorX) && withinReach(f.i32(at + 4), l.axisFactorY) &&
         withinReach(f.i32(at + 8), l.axisFactorZ);
}

}  // namespace

bool statusReplyReadable(ByteSpan reply, const tStatusLayout& layout) {
  const ByteFields f(reply);
  if (!f.has(4, 4)) return false;  // not even the state word
  if (!positionsWithinReach(f, 8, layout)) return false;
  if (layout.protocolLevel >= 7)
    if (auto head = f.i32(20); head && (*head < 0 || *head > 15)) return false;
  const std::size_t p = layout.ethernetShift();
  for (std::size_t i = 0; i < 3; ++i)
    if (auto area = f.i32(p + 40 + 4 * i); area && (*area < 0 || *area > kLongestAxisMm)) return false;
  return true;
}

bool statusReportReadable(ByteSpan report10, const tStatusLayout& layout) {
  return positionsWithinReach(ByteFields(report10), layout.extended ? 14 : 6, layout);
}

bool statusPositionsPlausible(const tplotstate& st, const tStatusLayout& layout) {
  return withinReach(st.realpos.x, layout.axisFactorX) && withinReach(st.realpos.y, layout.axisFactorY) &&
         withinReach(st.realpos.z, layout.axisFactorZ);
}

}  // namespace trazvik
