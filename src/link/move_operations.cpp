#include "link/move_operations.h"

#include "machine/commands_immediate.h"
#include "machine/commands_move.h"
#include "machine/speed_code.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

#include <cmath>
#include <cstdlib>

namespace trazvik {

namespace {

std::int32_t nearest(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(std::clamp(v, -2147483647.0, 2147483647.0)));
}

std::int32_t pathLength(double dx, double dy, double dz = 0) {
  return nearest(std::sqrt(dx * dx + dy * dy + dz * dz) + 0.5);
}

// Steps 1 and 2 of both point moves: the machine must be reachable and at rest.
bool readyToMove(tMachineOps& ops) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) {
    if (ops.errorBox) ops.errorBox({"Project_window", "msgBrakLacznosci"}, {"Ploter", "msgPrzesunStart"});
    return false;
  }
  return !ops.st.bit(stateBit::jobRunning) && !ops.st.bit(stateBit::motionRunning);
}

bool moveAndSettle(tMachineOps& ops, std::int32_t dx, std::int32_t dy, std::int32_t dz) {
  moveSteps(ops, ops.params().speedMultiplier, dx, dy, dz);
  return settled(ops, waitWhileBusy(ops));
}

}  // namespace

bool settled(tMachineOps& ops, tWaitResult result) {
  if (result == tWaitResult::stopped) ops.send(letterCommand(immediate::stopManualMotion));
  return result == tWaitResult::idle;
}

void moveSteps(tMachineOps& ops, std::int32_t m, std::int32_t dx, std::int32_t dy, std::int32_t dz) {
  ops.send(moveCommand({dx, dy, dz}, m, kNoSpeedCode, ops.commandSet(), CommandForm::immediate));
}

void moveRelative(tMachineOps& ops, double dz, double dy, double dx) {
  const tMachineParams& p = ops.params();
  moveSteps(ops, p.speedMultiplier, nearest(dx * 100 * p.axisFactorX), nearest(dy * 100 * p.axisFactorY),
            nearest(dz * 100 * p.axisFactorZ));
}

bool moveToPoint(tMachineOps& ops, std::uint8_t slot, double z, double y, double x) {
  if (!readyToMove(ops)) return false;
  ops.status.readZeroPoint();
  ops.status.readPositions();
  selectSlot(ops, slot);
  const tMachineParams& p = ops.params();
  tplotstate& st = ops.st;

  const std::int32_t tx = nearest((x * 100 + st.pos0.x) * p.axisFactorX);
  const std::int32_t ty = nearest((y * 100 + st.pos0.y) * p.axisFactorY);
  const std::int32_t dx = tx - st.realpos.x;
  const std::int32_t dy = ty - st.realpos.y;
  const std::int32_t length = pathLength(dx, dy);

  // Lift to the travel height before travelling (not on lasers).
  const double travel = ops.settings.travelHeight * 100;
  if (!p.isLaser && !p.laserZAxis && length > 0 && travel > st.pos0.z + st.abspos.z) {
    const double lift = nearest(travel) - (st.pos0.z + st.abspos.z);
    if (!moveAndSettle(ops, 0, 0, nearest(lift * p.axisFactorZ))) return false;
    ops.status.readPositions();
    if (std::abs(st.pos0.z + st.abspos.z - travel) > 1) return false;
  }

  if (length > 0) {
    if (!moveAndSettle(ops, dx, dy, 0)) return false;
    ops.status.readPositions();
    if (std::abs(st.realpos.x - tx) > 5 || std::abs(st.realpos.y - ty) > 5) return false;
  }

  ops.status.readPositions();
  const double e = z * 100 * p.axisFactorZ;
  const double current = p.axisFactorZ * st.pos0.z + st.realpos.z;
  const std::int32_t dz = p.laserZAxis ? nearest(e + p.axisFactorZ * st.pos0.z - st.realpos.z) : nearest(e - current);
  if (dz == 0) return true;
  if (!moveAndSettle(ops, 0, 0, dz)) return false;
  ops.status.readPositions();
  if (p.laserZAxis) return true;
  return nearest(e) == nearest(p.axisFactorZ * st.pos0.z + st.realpos.z);
}

bool moveToMachinePoint(tMachineOps& ops, double z, double y, double x) {
  if (!readyToMove(ops)) return false;
  ops.status.readZeroPoint();
  ops.status.readPositions();
  const tMachineParams& p = ops.params();
  loadSpeedSlot(ops, speedSlot::manual, p.maxFeedXY);
  selectSlot(ops, speedSlot::manual);

  tplotstate& st = ops.st;
  const std::int32_t dx = nearest(x * 100 * p.axisFactorX - st.realpos.x);
  const std::int32_t dy = nearest(y * 100 * p.axisFactorY - st.realpos.y);
  const std::int32_t dz = nearest(z * 100 * p.axisFactorZ - st.realpos.z);
  if (pathLength(dx, dy, dz) < 1) return true;
  if (!moveAndSettle(ops, dx, dy, dz)) return false;
  ops.status.readPositions();
  return std::abs(nearest(x * 100 * p.axisFactorX) - st.realpos.x) <= 1 &&
         std::abs(nearest(y * 100 * p.axisFactorY) - st.realpos.y) <= 1;
}

}  // namespace trazvik
