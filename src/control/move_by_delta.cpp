#include "control/move_by_delta.h"

#include "link/move_operations.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

double finiteOr0(double v) { return std::isfinite(v) ? v : 0.0; }

// A move by `d` from `at` that stops at `low` and `high`; when `at` already
// lies beyond the limit in the direction of the move, it does not move.
double stopWithin(double at, double d, double low, double high) {
  if (d < 0 && at + d < low) return std::min(0.0, low - at);
  if (d > 0 && at + d > high) return std::max(0.0, high - at);
  return d;
}

}  // namespace

tMoveDelta moveByDeltaDistances(const tMoveByDeltaInput& in) {
  double x = finiteOr0(in.x), y = finiteOr0(in.y), z = finiteOr0(in.z);
  const double atX = in.abspos.x / 100, atY = in.abspos.y / 100;
  // Z as shown: the height above the table; the machine's top is the work
  // zero's height.
  const double top = in.pos0.z / 100;
  const double atZ = (in.pos0.z + in.abspos.z) / 100;

  tMoveDelta d;
  if (in.mode == tMoveMode::byDistance) {
    d.dx = stopWithin(atX, x, 0, in.workX);
    d.dy = stopWithin(atY, y, 0, in.workY);
    d.dz = stopWithin(atZ, z, 0, top);
  } else {
    if (in.mode == tMoveMode::toProjectPoint) {
      x += in.pos0.x / 100;
      y += in.pos0.y / 100;
    }
    x = std::min(std::max(x, 0.0), in.workX);
    y = std::min(std::max(y, 0.0), in.workY);
    z = std::min(std::max(z, 0.0), top);
    d.dx = in.offsetX + x - atX;
    d.dy = in.offsetY + y - atY;
    d.dz = z - atZ;
  }
  if (in.withoutZ) d.dz = 0;
  return d;
}

tOperationSettings::Offset selectedHeadOffset(const tMachineOps& ops) {
  const std::int32_t head = ops.st.selectedZ;
  if (ops.params().headCount <= 1 || head < 0 || head >= static_cast<std::int32_t>(ops.settings.headOffsets.size()))
    return {};
  return ops.settings.headOffsets[static_cast<std::size_t>(head)];
}

namespace {

tMoveByDeltaResult waitForRest(tMachineOps& ops) {
  const tWaitResult r = waitWhileBusy(ops);
  if (settled(ops, r)) return tMoveByDeltaResult::moved;
  return r == tWaitResult::stopped ? tMoveByDeltaResult::stopped : tMoveByDeltaResult::linkLost;
}

tMoveByDeltaOutcome noLink(tMachineOps& ops) {
  if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {"Tool_moving", "Przesun.Caption"});
  return {tMoveByDeltaResult::noLink, {}};
}

}  // namespace

tMoveByDeltaOutcome WykonajClick(tMachineOps& ops, const tMoveRequest& request) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) return noLink(ops);
  if (const tMoveByDeltaResult r = waitForRest(ops); r != tMoveByDeltaResult::moved) return {r, {}};

  ops.status.readZeroPoint();
  ops.status.readPositions();
  if (!ops.status.lastReadAnswered()) return noLink(ops);

  tMoveByDeltaInput in;
  in.mode = request.mode;
  in.x = request.x;
  in.y = request.y;
  in.z = request.z;
  in.withoutZ = request.withoutZ;
  in.abspos = {ops.st.abspos.x, ops.st.abspos.y, ops.st.abspos.z};
  in.pos0 = ops.st.pos0;
  in.workX = ops.linkState().workArea[0];
  in.workY = ops.linkState().workArea[1];
  const tOperationSettings::Offset offset = selectedHeadOffset(ops);
  in.offsetX = offset.x;
  in.offsetY = offset.y;

  const tMoveDelta d = moveByDeltaDistances(in);
  moveRelative(ops, d.dz, d.dy, d.dx);
  return {waitForRest(ops), d};
}

}  // namespace trazvik
