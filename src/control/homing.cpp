#include "control/homing.h"

#include "machine/commands_immediate.h"
#include "machine/commands_records.h"
#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

tTextRef caption() { return {"Control_Panel", "msgBazuj"}; }
constexpr int kSlowApproachSteps = 5;

std::int32_t nearestSteps(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(std::clamp(v, -2147483647.0, 2147483647.0)));
}

// The busy cursor for as long as the homing runs, whichever way it ends.
class tHourglass {
 public:
  explicit tHourglass(const std::function<void(bool)>& hook) : hook_(hook) {
    if (hook_) hook_(true);
  }
  ~tHourglass() {
    if (hook_) hook_(false);
  }
  tHourglass(const tHourglass&) = delete;
  tHourglass& operator=(const tHourglass&) = delete;

 private:
  const std::function<void(bool)>& hook_;
};

// waitWhileBusy as a homing step: a STOP also ends the manual motion.
tHomingResult waitForRest(tMachineOps& ops) {
  const tWaitResult r = waitWhileBusy(ops);
  if (settled(ops, r)) return tHomingResult::homed;
  return r == tWaitResult::stopped ? tHomingResult::stopped : tHomingResult::linkLost;
}

tHomingResult homeAndWait(tMachineOps& ops, std::uint8_t mask) {
  home(ops, mask);
  return waitForRest(ops);
}

// A relative move of Z alone, in steps, at the selected slot's feed.
tHomingResult moveZ(tMachineOps& ops, std::int32_t dz) {
  moveSteps(ops, ops.params().speedMultiplier, 0, 0, dz);
  return waitForRest(ops);
}

// Controllers that need it approach the Z switch slowly at the end: up
// 10 mm, five steps of 0.2 mm down at 100 mm/min, then Z homed again.
tHomingResult slowZApproach(tMachineOps& ops) {
  const double factorZ = ops.params().axisFactorZ;
  ops.status.readSpeeds();
  setSpeed(ops, speedToPeriod(ops, 2000));
  if (auto r = moveZ(ops, nearestSteps(factorZ * 1000)); r != tHomingResult::homed) return r;
  ops.status.readSpeeds();
  setSpeed(ops, speedToPeriod(ops, 100));
  for (int i = 0; i < kSlowApproachSteps; ++i) {
    ops.wait(std::chrono::milliseconds(100));
    if (auto r = moveZ(ops, -nearestSteps(factorZ * 20)); r != tHomingResult::homed) return r;
  }
  ops.status.readSpeeds();
  setSpeed(ops, speedToPeriod(ops, 2000));
  return homeAndWait(ops, homeMask::z);
}

tHomingResult homeAxes(tMachineOps& ops, const tHomingOptions& options) {
  const tMachineParams& p = ops.params();
  if (ops.machine.machineType.find("WTK") != std::string::npos) {
    // The laser's Z first, so that the head is clear before X travels.
    if (p.laserZAxis) home(ops, homeMask::z);
    if (auto r = homeAndWait(ops, homeMask::x); r != tHomingResult::homed) return r;
  }
  if (auto r = homeAndWait(ops, homeMask::xyz); r != tHomingResult::homed) return r;
  if (auto r = homeAndWait(ops, homeMask::z); r != tHomingResult::homed) return r;
  if (p.knifeAxis && options.hasKnife) {
    // While the third axis is the knife, the Z mask homes the knife.
    ops.send(thirdAxisRecord(kThirdAxisKnife, CommandForm::immediate));
    const tHomingResult r = homeAndWait(ops, homeMask::z);
    // Z must be given back even when the wait ended early.
    ops.send(thirdAxisRecord(kThirdAxisZ, CommandForm::immediate));
    if (r != tHomingResult::homed) return r;
  }
  ops.status.readMachineInfo(options.switches);
  if (!ops.st.info1.empty() && ops.st.info1[0] == '$') return slowZApproach(ops);
  return tHomingResult::homed;
}

}  // namespace

tHomingResult bazujClick(tMachineOps& ops, const tHomingOptions& options) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, caption());
    return tHomingResult::noLink;
  }
  if (ops.st.bit(stateBit::jobRunning) || ops.st.bit(stateBit::motionRunning)) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBazowanieNiemozliwe"}, caption());
    return tHomingResult::machineBusy;
  }
  const tHourglass cursor(options.hourglass);
  return homeAxes(ops, options);
}

}  // namespace trazvik
