#include "machine/commands_move.h"

#include "geometry/angles.h"
#include "geometry/motion_record.h"
#include "machine/speed_code.h"

#include <cmath>
#include <numbers>

namespace trazvik {

std::int32_t stepsOfMm(double mm, double axisFactor) {
  return static_cast<std::int32_t>(std::nearbyint(mm * 100.0 * axisFactor));
}

Bytes moveCommand(const tStepDelta& d, std::int32_t multiplier, std::uint32_t speedCode, const tCommandSet& set,
                  CommandForm form) {
  std::int32_t count = 0;
  const std::int32_t code = static_cast<std::int32_t>(std::min<std::uint32_t>(speedCode, 0x7FFFFFFF));
  const tMotionRecord record = set.wide ? moveRecordPower(set.protocolLevel, multiplier, d.dx, d.dy, d.dz, code, count)
                                        : moveRecord(multiplier, d.dx, d.dy, d.dz, count);
  Bytes b = record.toBytes();
  b[0] = static_cast<std::uint8_t>(opcode('a', form));
  return b;
}

Bytes moveToPoint(tJobPosition& pos, double xMm, double yMm, double zMm, std::uint32_t speedCode,
                  const tCommandSet& set, std::int32_t multiplier) {
  const std::int32_t tx = stepsOfMm(xMm, set.axisFactorX);
  const std::int32_t ty = stepsOfMm(yMm, set.axisFactorY);
  const std::int32_t tz = stepsOfMm(zMm, set.axisFactorZ);
  const tStepDelta d{tx - pos.x, ty - pos.y, tz - pos.z};
  pos.x = tx;
  pos.y = ty;
  pos.z = tz;
  return moveCommand(d, multiplier, speedCode, set);
}

std::int32_t knifeAngleOfDirection(double dx, double dy, std::int32_t stepsPerTurn) {
  const double a = vectorAngle(dy, dx);
  return static_cast<std::int32_t>(std::nearbyint(stepsPerTurn * a / (2 * std::numbers::pi)));
}

namespace {
std::int32_t withinHalfTurn(std::int32_t d, std::int32_t turn) {
  if (turn <= 0) return d;
  d %= turn;
  if (2 * d > turn) d -= turn;
  if (2 * d < -turn) d += turn;
  return d;
}
}  // namespace

std::int32_t knifeDelta(std::int32_t target, std::int32_t current, std::int32_t stepsPerTurn, bool twoEdged) {
  const std::int32_t direct = withinHalfTurn(target - current, stepsPerTurn);
  if (!twoEdged) return direct;
  const std::int32_t flipped = withinHalfTurn(target + stepsPerTurn / 2 - current, stepsPerTurn);
  return std::abs(flipped) < std::abs(direct) ? flipped : direct;
}

Bytes moveToPointWithKnife(tJobPosition& pos, double xMm, double yMm, std::int32_t knifeTarget, bool twoEdged,
                           std::uint32_t speedCode, const tCommandSet& set, std::int32_t multiplier) {
  const std::int32_t turn = set.knifeStepsPerTurn;
  tStepDelta d{stepsOfMm(xMm, set.axisFactorX) - pos.x, stepsOfMm(yMm, set.axisFactorY) - pos.y,
               knifeDelta(knifeTarget, pos.knife, turn, twoEdged)};
  if (set.wide) {
    for (std::int32_t* v : {&d.dx, &d.dy, &d.dz})
      if (*v == 1 || *v == -1) *v = 0;
  }
  pos.x += d.dx;
  pos.y += d.dy;
  if (turn > 0) pos.knife = ((pos.knife + d.dz) % turn + turn) % turn;
  return moveCommand(d, multiplier, speedCode, set);
}

Bytes knifeTurnCommand(std::int32_t delta, const tCommandSet& set) {
  std::int32_t count = 0;
  Bytes b = moveRecordZ(set.protocolLevel, delta, count).toBytes();
  if (!b.empty()) b[0] = 'A';
  return b;
}

}  // namespace trazvik
