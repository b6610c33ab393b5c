// The automatic tool length measurement on the length sensor plate of a
// single-head machine.
#include "control/tool_length.h"

#include "machine/commands_immediate.h"
#include "machine/machine_capabilities.h"
#include "link/machine_control_operations.h"
#include "link/setup_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

#include <cmath>
#include <cstdlib>

namespace trazvik {

namespace {

std::int32_t nearestSteps(double v) { return static_cast<std::int32_t>(std::lround(v)); }

// Back to the machine's Z zero at the top in one relative move. The wide
// set runs it at the machine's multiplier and only when it is longer than a
// step; the narrow set at 2 on the machines that need it.
void liftToZReference(tMachineOps& ops) {
  const tMachineParams& p = ops.params();
  ops.status.readPositions();
  const std::int32_t dz = nearestSteps(-ops.st.abspos.z * p.axisFactorZ);
  if (p.wideCommandSet) {
    if (std::abs(dz) > 1) moveSteps(ops, p.speedMultiplier, 0, 0, dz);
    return;
  }
  const bool doubled = (!ops.st.info1.empty() && ops.st.info1[0] == '4') || ops.machine.machineType == "FV ";
  moveSteps(ops, doubled ? 2 : 1, 0, 0, dz);
}

tToolLengthResult resultOf(tWaitResult r) {
  return r == tWaitResult::stopped ? tToolLengthResult::stopped : tToolLengthResult::linkLost;
}

// Lift, then home Z where the narrow set needs it, waiting for each.
tToolLengthResult liftAndHome(tMachineOps& ops) {
  liftToZReference(ops);
  if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);
  if (!ops.params().wideCommandSet) home(ops, homeMask::z);
  if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);
  return tToolLengthResult::set;
}

// "W" and a state read every 10 ms while the tool goes down; the operator's
// STOP ends the probe where the tool is. False when the link went away.
bool probeDown(tMachineOps& ops) {
  probe(ops);
  bool stoppedByHand = false;
  for (;;) {
    ops.wait(std::chrono::milliseconds(10));
    ops.status.readState();
    if (!ops.linkUp() || !ops.status.lastReadAnswered()) return false;
    if (!ops.st.bit(stateBit::motionRunning)) break;
    if (ops.pumpEvents) ops.pumpEvents();
    if (ops.stopPending()) {
      stoppedByHand = true;
      break;
    }
  }
  if (stoppedByHand) {
    stopManualMotion(ops);
    // The STOP is pending still; this wait ends as soon as the tool stands.
    while (ops.linkUp()) {
      ops.status.readState();
      if (!ops.status.lastReadAnswered()) return false;
      if (!ops.st.bit(stateBit::motionRunning)) break;
      ops.wait(std::chrono::milliseconds(10));
    }
  }
  return ops.linkUp();
}

tToolLengthResult measure(tMachineOps& ops, const tToolMeasureSettings& settings) {
  ops.status.readSpeeds();
  const std::int64_t manualFeed = ops.st.speedm;
  // A feed the controller never reported is not loaded back as 0.
  const auto restoreFeed = [&] {
    if (manualFeed > 0) setSpeed(ops, manualFeed);
  };
  if (tToolLengthResult r = liftAndHome(ops); r != tToolLengthResult::set) return r;
  ops.status.readPositions();
  ops.status.readPositions();
  if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);

  // A plotter-class machine with the plate 0 thick probes at Y 0.
  if (!ops.linkState().cncMachine && settings.plateThickness == 0) {
    moveSteps(ops, 2, 0, nearestSteps(-ops.st.abspos.y * ops.params().axisFactorY), 0);
    if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);
  }

  if (!probeDown(ops)) return tToolLengthResult::linkLost;
  ops.status.readPositions();
  if (!ops.status.lastReadAnswered()) return tToolLengthResult::linkLost;
  const std::optional<double> zero = zeroForPlate(settings, ops.st.abspos.z);
  if (zero) ops.st.pos0.z = *zero;
  setWorkZeroZ(ops);
  if (tWaitResult r = waitWhileBusy(ops); r == tWaitResult::linkLost) return resultOf(r);
  ops.wait(std::chrono::milliseconds(100));
  restoreFeed();

  // The zero is sent; a STOP here only leaves the tool where it is.
  if (tToolLengthResult r = liftAndHome(ops); r != tToolLengthResult::set) return r;
  restoreFeed();
  return zero ? tToolLengthResult::set : tToolLengthResult::plateUnknown;
}

}  // namespace

std::optional<double> zeroForPlate(const tToolMeasureSettings& s, double absZ) {
  const double t = s.plateThickness;
  switch (s.platePlace) {
    case 0: return t * 100 - absZ;
    case 1: return (s.aboveTable + t) * 100 - absZ;
    case 2: return (s.materialThickness + s.aboveTable + t) * 100 - absZ;
    default: return std::nullopt;
  }
}

tToolLengthResult measureToolLength(tMachineOps& ops, const tToolMeasureSettings& settings,
                                    const base::StartupSwitches& switches,
                                    const std::function<void(bool busy)>& hourglass) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {});
    return tToolLengthResult::noLink;
  }
  if (ops.st.bit(stateBit::motionRunning) || ops.st.bit(stateBit::jobRunning)) {
    if (ops.errorBox) ops.errorBox({"Dlugosc_narzedzai", "msgZatrzymajPrzedPomiarem"}, {});
    return tToolLengthResult::busy;
  }
  if (hourglass) hourglass(true);
  ops.status.readMachineInfo(switches);
  const tToolLengthResult r = measure(ops, settings);
  if (hourglass) hourglass(false);
  return r;
}

tRemoteRequest remoteMeasureRequest(tMachineOps& ops) {
  if (!ops.linkUp()) return tRemoteRequest::none;
  ops.status.readStateOnly();
  if (!ops.status.lastReadAnswered() || !ops.st.bit(stateBit::programmableRequest1)) return tRemoteRequest::none;
  armToolMeasure(ops);
  if (!isToolMeasureFamily(ops.machine)) return tRemoteRequest::ignored;
  return ops.params().headCount < 2 ? tRemoteRequest::measure : tRemoteRequest::touchMaterial;
}

}  // namespace trazvik
