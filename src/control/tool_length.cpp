#include "control/tool_length.h"

#include "link/machine_control_operations.h"
#include "link/setup_operations.h"
#include "machine/state_bits.h"
#include "texts/interfejs.h"

#include <cmath>
#include <cstdio>

namespace trazvik {

namespace {

// Reads the state; a machine that does not answer or still moves or cuts
// is refused before anything is read or sent.
tToolLengthResult readyForMeasure(tMachineOps& ops) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {});
    return tToolLengthResult::noLink;
  }
  const std::uint64_t busy = stateBit::mask(stateBit::motionRunning) | stateBit::mask(stateBit::jobRunning);
  if (ops.st.StateExtend & busy) {
    if (ops.errorBox) ops.errorBox({"Dlugosc_narzedzai", "msgZatrzymajPrzedPomiarem"}, {});
    return tToolLengthResult::busy;
  }
  return tToolLengthResult::set;
}

// The Z zero of the touch goes to the controller; on multi-head machines it
// is the selected head's zero as well.
void sendZero(tMachineOps& ops, double pos0z) {
  ops.st.pos0.z = pos0z;
  const std::int32_t head = ops.st.selectedZ;
  if (ops.params().headCount >= 2 && head >= 0 && head < static_cast<std::int32_t>(ops.st.pos0Z123.size()))
    ops.st.pos0Z123[static_cast<std::size_t>(head)] = pos0z;
  setWorkZeroZ(ops);
}

tToolLengthResult touchSurface(tMachineOps& ops, double surfaceMm) {
  if (const tToolLengthResult r = readyForMeasure(ops); r != tToolLengthResult::set) return r;
  ops.status.readPositions();
  if (!ops.status.lastReadAnswered()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {});
    return tToolLengthResult::noLink;
  }
  sendZero(ops, zeroForTouch(surfaceMm, ops.st.abspos.z));
  return tToolLengthResult::set;
}

}  // namespace

double zeroForTouch(double surfaceMm, double absZ) { return std::round(surfaceMm * 100 - absZ); }

tToolLengthResult touchMaterialSurface(tMachineOps& ops, double materialThickness, double aboveTable) {
  return touchSurface(ops, materialThickness + aboveTable);
}

tToolLengthResult touchTableSurface(tMachineOps& ops) { return touchSurface(ops, 0); }

tToolLengthResult setTypedToolDistance(tMachineOps& ops, double distanceMm) {
  // A value that is no number is as far out of reach as one beyond the
  // travel. A travel the controller has not reported (0) cannot be
  // checked; it refuses nothing.
  const double travel = ops.linkState().secondWorkArea[2];
  if (!std::isfinite(distanceMm) || (travel > 0 && distanceMm > travel)) return tToolLengthResult::tooFar;
  if (!ops.linkUp()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {});
    return tToolLengthResult::noLink;
  }
  ops.st.pos0.z = std::round(distanceMm * 100);
  setWorkZeroZ(ops);
  return tToolLengthResult::set;
}

tToolLengthResult setHeadZeros(tMachineOps& ops, const std::array<double, 3>& zerosMm) {
  for (double mm : zerosMm)
    if (!std::isfinite(mm)) return tToolLengthResult::tooFar;
  if (!ops.linkUp()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {});
    return tToolLengthResult::noLink;
  }
  for (std::size_t i = 0; i < zerosMm.size(); ++i) ops.st.pos0Z123[i] = zerosMm[i] * 100;
  const std::int32_t head = ops.st.selectedZ;
  if (head >= 0 && head < static_cast<std::int32_t>(zerosMm.size()))
    ops.st.pos0.z = std::round(ops.st.pos0Z123[static_cast<std::size_t>(head)]);
  setWorkZeroZ(ops);
  return tToolLengthResult::set;
}

double knifeOffsetDegrees(std::int32_t steps, std::int32_t stepsPerTurn) {
  return stepsPerTurn > 0 ? steps * 360.0 / stepsPerTurn : 0.0;
}

std::uint32_t knifeOffsetSteps(double degrees, std::int32_t stepsPerTurn) {
  if (stepsPerTurn <= 0 || !std::isfinite(degrees)) return 0;
  // A negative angle is the same direction one turn on; the parameter
  // holds no sign.
  const double turn = std::fmod(degrees, 360.0);
  const double inTurn = turn < 0 ? turn + 360.0 : turn;
  const auto steps = static_cast<std::uint32_t>(std::trunc(stepsPerTurn * inTurn / 360.0));
  return steps % static_cast<std::uint32_t>(stepsPerTurn);
}

bool sendKnifeOffset(tMachineOps& ops, double degrees) {
  const std::int32_t perTurn = ops.params().knifeStepsPerTurn;
  if (perTurn <= 0 || !std::isfinite(degrees) || !ops.linkUp()) return false;
  setKnifeOffsetParameter(ops, knifeOffsetSteps(degrees, perTurn));
  return true;
}

std::string toolTooFarText(const texts::tInterfejs& texts, double distanceMm, double maxZ) {
  auto number = [](double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return std::string(buf);
  };
  return texts.dajTxt("Dlugosc_narzedzai", "msgZaDuzaDlugoscNarzedzia") + " : " + number(distanceMm) + "\n\r" +
         texts.dajTxt("Dlugosc_narzedzai", "msgMaxRuchOsiZ") + " : " + number(maxZ) + "\n\r";
}

}  // namespace trazvik
