#include "link/knife_operations.h"

#include "machine/commands_move.h"
#include "machine/commands_records.h"
#include "link/move_operations.h"

#include <cmath>
#include <cstdlib>

namespace trazvik {

namespace {

std::int32_t currentKnifeAngle(const tMachineOps& ops) {
  const double v = ops.st.abspos.v;
  return std::isfinite(v) ? static_cast<std::int32_t>(std::nearbyint(v)) : 0;
}

bool turnKnife(tMachineOps& ops, std::int32_t delta) {
  ops.send(thirdAxisRecord(kThirdAxisKnife, CommandForm::immediate));
  ops.send(knifeTurnCommand(delta, ops.commandSet()));
  const bool atRest = settled(ops, waitWhileBusy(ops));
  // Z is given back even when the turn was interrupted: a later Z move
  // must never turn the knife.
  ops.send(thirdAxisRecord(kThirdAxisZ, CommandForm::immediate));
  return atRest;
}

}  // namespace

bool rotateKnifeTo(tMachineOps& ops, double dx, double dy) {
  const std::int32_t turn = ops.params().knifeStepsPerTurn;
  if (turn <= 0) return false;
  const std::int32_t target = knifeAngleOfDirection(dx, dy, turn);
  const std::int32_t delta = knifeDelta(target, currentKnifeAngle(ops), turn, ops.settings.twoEdgedKnife);
  if (std::abs(delta) < 1) return true;
  return turnKnife(ops, delta);
}

bool rotateKnifeToSteps(tMachineOps& ops, std::int32_t a) { return turnKnife(ops, a - currentKnifeAngle(ops)); }

}  // namespace trazvik
