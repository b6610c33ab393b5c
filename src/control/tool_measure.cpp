// The automatic tool length measurement: on the length sensor plate of a
// single-head machine, and on the fixed sensor for each selected head of a
// multi-head machine.
#include "control/tool_length.h"

#include "machine/commands_immediate.h"
#include "machine/machine_capabilities.h"
#include "link/machine_control_operations.h"
#include "link/head_operations.h"
#include "link/setup_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "machine/state_bits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trazvik {

namespace {

std::int32_t nearestSteps(double v) { return static_cast<std::int32_t>(std::lround(v)); }

// A relative move in steps: the wide set at the machine's multiplier, the
// narrow set at 2 on the machines that need it.
void relativeMove(tMachineOps& ops, std::int32_t dx, std::int32_t dz) {
  const tMachineParams& p = ops.params();
  if (p.wideCommandSet) {
    moveSteps(ops, p.speedMultiplier, dx, 0, dz);
    return;
  }
  const bool doubled = (!ops.st.info1.empty() && ops.st.info1[0] == '4') || ops.machine.machineType == "FV ";
  moveSteps(ops, doubled ? 2 : 1, dx, 0, dz);
}

// Back to the machine's Z zero at the top in one relative move; the wide
// set sends it only when it is longer than a step.
void liftToZReference(tMachineOps& ops) {
  ops.status.readPositions();
  const std::int32_t dz = nearestSteps(-ops.st.abspos.z * ops.params().axisFactorZ);
  if (ops.params().wideCommandSet && std::abs(dz) <= 1) return;
  relativeMove(ops, 0, dz);
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

// The manual feed as the measurement found it; a feed the controller never
// reported is not loaded back as 0.
struct ManualFeed {
  explicit ManualFeed(tMachineOps& ops) : ops_(ops) {
    ops.status.readSpeeds();
    feed_ = ops.st.speedm;
  }
  void restore() const {
    if (feed_ > 0) setSpeed(ops_, feed_);
  }

 private:
  tMachineOps& ops_;
  std::int64_t feed_ = 0;
};

// Lift and home, read where the tool stands, and on a plotter-class machine
// whose plate is 0 thick go to Y 0 where it probes.
tToolLengthResult toTheReference(tMachineOps& ops, bool plotterToY0) {
  if (tToolLengthResult r = liftAndHome(ops); r != tToolLengthResult::set) return r;
  ops.status.readPositions();
  ops.status.readPositions();
  if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);
  if (plotterToY0 && !ops.linkState().cncMachine) {
    moveSteps(ops, 2, 0, nearestSteps(-ops.st.abspos.y * ops.params().axisFactorY), 0);
    if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);
  }
  return tToolLengthResult::set;
}

// Probes down and reads where the tool stopped; false when the link went.
bool probeAndRead(tMachineOps& ops) {
  if (!probeDown(ops)) return false;
  ops.status.readPositions();
  return ops.status.lastReadAnswered();
}

// After the zero is sent: let it settle, the feed back, Z back up (a STOP
// here only leaves the tool where it is).
tToolLengthResult afterTheZero(tMachineOps& ops, const ManualFeed& feed) {
  if (tWaitResult r = waitWhileBusy(ops); r == tWaitResult::linkLost) return resultOf(r);
  ops.wait(std::chrono::milliseconds(100));
  feed.restore();
  if (tToolLengthResult r = liftAndHome(ops); r != tToolLengthResult::set) return r;
  feed.restore();
  return tToolLengthResult::set;
}

tToolLengthResult measure(tMachineOps& ops, const tToolMeasureSettings& settings) {
  const ManualFeed feed(ops);
  if (tToolLengthResult r = toTheReference(ops, settings.plateThickness == 0); r != tToolLengthResult::set) return r;
  if (!probeAndRead(ops)) return tToolLengthResult::linkLost;
  const std::optional<double> zero = zeroForPlate(settings, ops.st.abspos.z);
  if (zero) ops.st.pos0.z = *zero;
  setWorkZeroZ(ops);
  if (tToolLengthResult r = afterTheZero(ops, feed); r != tToolLengthResult::set) return r;
  return zero ? tToolLengthResult::set : tToolLengthResult::plateUnknown;
}

// One head over the fixed sensor. The sensor's top stands sensor.z above
// the table, so where the tool touches it the head's Z shows sensor.z.
tToolLengthResult measureHead(tMachineOps& ops, int head, const tHeadSensor& sensor) {
  releaseHead(ops);
  selectHeadZ(ops, head);
  ops.status.readPositions();
  const ManualFeed feed(ops);
  if (tToolLengthResult r = toTheReference(ops, true); r != tToolLengthResult::set) return r;

  const double offsetX = ops.settings.headOffsets[static_cast<std::size_t>(head)].x;
  const double dx = (sensor.x + offsetX - ops.st.abspos.x / 100) * ops.params().axisFactorX * 100;
  relativeMove(ops, nearestSteps(dx), 0);
  if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);

  activateHead(ops, head);
  if (tWaitResult r = waitWhileBusy(ops); !settled(ops, r)) return resultOf(r);
  if (!probeAndRead(ops)) return tToolLengthResult::linkLost;
  ops.st.pos0.z = zeroForTouch(sensor.z, ops.st.abspos.z);
  ops.st.pos0Z123[static_cast<std::size_t>(head)] = ops.st.pos0.z;
  setWorkZeroZ(ops);
  return afterTheZero(ops, feed);
}

// A silent machine or one that moves or cuts is refused before anything is
// sent; set otherwise.
tToolLengthResult refuseUnready(tMachineOps& ops) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {});
    return tToolLengthResult::noLink;
  }
  if (ops.st.bit(stateBit::motionRunning) || ops.st.bit(stateBit::jobRunning)) {
    if (ops.errorBox) ops.errorBox({"Dlugosc_narzedzai", "msgZatrzymajPrzedPomiarem"}, {});
    return tToolLengthResult::busy;
  }
  return tToolLengthResult::set;
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
  if (tToolLengthResult r = refuseUnready(ops); r != tToolLengthResult::set) return r;
  if (hourglass) hourglass(true);
  ops.status.readMachineInfo(switches);
  const tToolLengthResult r = measure(ops, settings);
  if (hourglass) hourglass(false);
  return r;
}

tToolLengthResult measureSelectedHeads(tMachineOps& ops, const std::array<bool, 3>& checked, const tHeadSensor& sensor,
                                       const base::StartupSwitches& switches,
                                       const std::function<void(bool busy)>& hourglass) {
  const int heads = std::min<int>(ops.params().headCount, static_cast<int>(checked.size()));
  bool any = false;
  for (int i = 0; i < heads; ++i) any = any || checked[static_cast<std::size_t>(i)];
  if (heads < 2 || !any) return tToolLengthResult::noHead;
  if (tToolLengthResult r = refuseUnready(ops); r != tToolLengthResult::set) return r;
  if (hourglass) hourglass(true);
  ops.status.readMachineInfo(switches);
  // The zeros of the heads left out go back as the controller holds them.
  ops.status.readZeroPoint();
  tToolLengthResult r = tToolLengthResult::set;
  for (int i = 0; i < heads && r == tToolLengthResult::set; ++i)
    if (checked[static_cast<std::size_t>(i)]) r = measureHead(ops, i, sensor);
  if (ops.linkUp()) releaseHead(ops);
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
