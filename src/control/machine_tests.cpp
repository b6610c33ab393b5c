#include "control/machine_tests.h"

#include "link/machine_control_operations.h"
#include "link/move_operations.h"
#include "link/tool_operations.h"
#include "machine/commands_basic.h"
#include "machine/commands_move.h"
#include "machine/commands_records.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>

namespace trazvik {

namespace {

tServiceTestResult resultOf(tWaitResult r) {
  switch (r) {
    case tWaitResult::idle: return tServiceTestResult::ended;
    case tWaitResult::stopped: return tServiceTestResult::stopped;
    case tWaitResult::linkLost: return tServiceTestResult::linkLost;
  }
  return tServiceTestResult::linkLost;
}

// The machine answers and stands still; otherwise why not.
tServiceTestResult readyForTest(tMachineOps& ops) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) return tServiceTestResult::noLink;
  return resultOf(waitWhileBusy(ops));
}

// A move of millimetres with multiplier m, in the machine's own layout (a
// controller of the wide command set misreads a narrow move).
void moveMm(tMachineOps& ops, std::int32_t m, double dx, double dy, double dz) {
  const tMachineParams& p = ops.params();
  moveSteps(ops, m, stepsOfMm(dx, p.axisFactorX), stepsOfMm(dy, p.axisFactorY), stepsOfMm(dz, p.axisFactorZ));
}

void outputs(tMachineOps& ops, bool on, std::uint8_t mask) {
  ops.send(outputsCommand(on ? 1 : 0, mask, CommandForm::immediate));
}

// Shown Z: the height of the tool tip above the table, mm.
double shownZ(const tplotstate& st) { return (st.pos0.z + st.abspos.z) / 100; }

std::uint16_t powerOf(double percent, std::int32_t fullPower) {
  const double v = std::nearbyint(percent * fullPower / 100);
  if (!std::isfinite(v)) return 0;
  return static_cast<std::uint16_t>(std::clamp(v, 0.0, 65535.0));
}

}  // namespace

tServiceTestResult backAndForthTest(tMachineOps& ops, double x, double y, double z,
                                    const tOperatorInterrupt& interrupted) {
  if (const tServiceTestResult r = readyForTest(ops); r != tServiceTestResult::ended) return r;
  const tMachineParams& p = ops.params();
  const std::int32_t m = p.wideCommandSet ? p.speedMultiplier : 1;
  for (;;) {
    for (const double sign : {1.0, -1.0}) {
      moveMm(ops, m, sign * x, sign * y, sign * z);
      for (int i = 0; i < 2; ++i)
        if (const tWaitResult r = waitWhileBusy(ops); r != tWaitResult::idle) return resultOf(r);
    }
    if (interrupted && interrupted()) return tServiceTestResult::ended;
  }
}

bool scanRowSkipped(double py) {
  if (!std::isfinite(py)) return true;
  const auto r = static_cast<long long>(std::nearbyint(py));
  // Pascal's div truncates towards zero.
  const long long slat = 40 * ((r + 20) / 40);
  return std::llabs(r - slat) < 5;
}

std::string scanLine(double x, double y, double height) {
  char line[64];
  std::snprintf(line, sizeof line, "%8.2f%8.2f%8.2f", x, y, height);
  return line;
}

tScanOutcome surfaceScan(tMachineOps& ops, const tScanSettings& s, std::ostream& out,
                         const tOperatorInterrupt& interrupted) {
  tScanOutcome outcome;
  const bool usable = std::isfinite(s.columnStep) && std::isfinite(s.rowStep) && std::isfinite(s.approachHeight);
  if (!usable || s.columnStep == 0 || s.rowStep == 0 || s.approachHeight == 0) {
    if (ops.errorBox) ops.errorBox({"Tool_moving", "msgWstawParametry"}, {"", "scan"});
    outcome.result = tServiceTestResult::missingValues;
    return outcome;
  }
  if (outcome.result = readyForTest(ops); outcome.result != tServiceTestResult::ended) return outcome;
  const double workX = ops.linkState().workArea[0];
  const double workY = ops.linkState().workArea[1];
  const std::int32_t fast = ops.params().speedMultiplier;
  // The steps walk away from the start whatever sign was typed.
  const double columnStep = std::abs(s.columnStep), rowStep = std::abs(s.rowStep);
  const auto finish = [&](tWaitResult r) {
    outcome.result = resultOf(r);
    return outcome;
  };

  ops.status.readZeroPoint();
  ops.status.readPositions();
  double px = 0, py = 20, direction = 1;
  moveMm(ops, fast, px - ops.st.abspos.x / 100, py - ops.st.abspos.y / 100, s.approachHeight - shownZ(ops.st));
  if (const tWaitResult r = waitWhileBusy(ops); r != tWaitResult::idle) return finish(r);

  bool ended = false;
  while (px + columnStep <= workX && !ended) {
    ops.status.readPositions();
    if (!scanRowSkipped(py)) {
      moveMm(ops, 1, px - ops.st.abspos.x / 100, py - ops.st.abspos.y / 100, s.approachHeight - shownZ(ops.st));
      if (const tWaitResult r = waitWhileBusy(ops); r != tWaitResult::idle) return finish(r);
      probe(ops);
      if (const tWaitResult r = waitWhileBusy(ops); r != tWaitResult::idle) return finish(r);
      ops.status.readPositions();
      ops.wait(std::chrono::milliseconds(200));
      out << scanLine(px, py, shownZ(ops.st)) << "\r\n";
      // The picture shows the heights as the file has them (2 decimals).
      outcome.points.push_back({px, py, std::round(shownZ(ops.st) * 100) / 100});
      ++outcome.probes;
      moveMm(ops, 1, 0, 0, s.approachHeight - shownZ(ops.st));
      if (const tWaitResult r = waitWhileBusy(ops); r != tWaitResult::idle) return finish(r);
    }
    py += rowStep * direction;
    if (py < 0 || py > workY) {
      direction = -direction;
      py += rowStep * direction;
      px += columnStep;
    }
    ended = interrupted && interrupted();
  }
  out.flush();
  ops.status.readPositions();
  const tMachineParams& p = ops.params();
  moveSteps(ops, fast, -stepsOfMm(ops.st.abspos.x / 100, p.axisFactorX),
            -stepsOfMm(ops.st.abspos.y / 100, p.axisFactorY), -stepsOfMm(ops.st.abspos.z / 100, p.axisFactorZ));
  outcome.result = resultOf(waitWhileBusy(ops));
  return outcome;
}

tServiceTestResult heaterTest(tMachineOps& ops, double runUpSeconds, const tOperatorInterrupt& interrupted) {
  if (!ops.linkUp()) return tServiceTestResult::noLink;
  const auto runUp = std::chrono::milliseconds(
      std::isfinite(runUpSeconds) && runUpSeconds > 0 ? static_cast<long long>(runUpSeconds * 1000) : 0);
  for (;;) {
    for (const bool on : {true, false}) {
      outputs(ops, on, outputMask::secondTool);
      if (const tWaitResult r = waitWhileBusy(ops); r != tWaitResult::idle) {
        outputs(ops, false, outputMask::secondTool);
        return resultOf(r);
      }
      ops.wait(runUp);
    }
    if (interrupted && interrupted()) return tServiceTestResult::ended;
  }
}

tServiceTestResult laserTest(tMachineOps& ops, const tLaserTestSettings& s, const tOperatorInterrupt& interrupted) {
  if (!ops.linkUp()) return tServiceTestResult::noLink;
  const std::int32_t full = ops.linkState().laserFullPower;
  setPower(ops, 1, powerOf(s.workPowerPercent, full));
  setPower(ops, 3, powerOf(s.idlePowerPercent, full));
  const auto pulse = std::chrono::milliseconds(
      std::isfinite(s.pulseMs) && s.pulseMs > 0 ? static_cast<long long>(std::nearbyint(s.pulseMs)) : 0);
  tServiceTestResult result = tServiceTestResult::ended;
  for (;;) {
    outputs(ops, true, outputMask::tool);
    ops.send(laserOnRecord(CommandForm::immediate));
    ops.wait(pulse);
    outputs(ops, true, 0x03);
    ops.wait(std::chrono::seconds(1));
    if (!ops.linkUp()) {
      result = tServiceTestResult::linkLost;
      break;
    }
    if (ops.stopPending()) {
      result = tServiceTestResult::stopped;
      break;
    }
    if (interrupted && interrupted()) break;
  }
  // The beam does not stay on once the operator ended the test.
  if (ops.linkUp()) {
    ops.send(laserOffRecord(CommandForm::immediate));
    outputs(ops, false, 0x03);
  }
  return result;
}

}  // namespace trazvik
