#include "job/job_machine.h"

#include "base/text.h"

#include "machine/identify_machine.h"
#include "machine/machine_capabilities.h"

#include <algorithm>

namespace trazvik {

tMachineState jobMachineFor(const std::string& type, int protocolLevel, int firmwareMinor) {
  tMachineState m;
  m.model = machineModelFor(paddedProductString(type, 8), protocolLevel, firmwareMinor, 0, m.link);
  return m;
}

tWriterMachine writerMachineOf(const tMachineState& jm) {
  const tMachineParams& p = jm.model.machineParams;
  const std::string type = base::trimmed(jm.model.machineType);
  tWriterMachine w;
  w.set = commandSetOf(jm.model, jm.link);
  w.plan = speedPlanParamsOf(jm.model, jm.link);
  w.cnc = jm.link.cncMachine;
  w.laser = p.isLaser != 0;
  w.laserZAxis = w.laser && p.laserZAxis != 0;
  w.wide = p.wideCommandSet != 0;
  w.drillSlots = jm.link.drillSlots;
  w.headCount = std::clamp<int>(p.headCount, 1, 3);
  w.safetyEnclosure = jm.model.safetyEnclosure;
  w.spindleWait = spindleWaitRecord(jm.model, jm.link);
  w.singlePower = type == "YHB 32";
  w.lubrication = type == "YFF" || type == "YRF";
  w.bezier = jm.model.bezierCommands;
  w.knifeAxis = p.knifeAxis != 0 && p.knifeStepsPerTurn > 1;
  w.protocolLevel = jm.link.protocolLevel;
  w.maxSpindle = p.maxSpindle;
  w.laserFullPower = jm.link.laserFullPower;
  for (int i = 0; i < 3; ++i) w.headZZero[i] = jm.status.pos0Z123[i];
  w.toolMask = jm.status.sel_power;
  w.workZero = jm.status.pos0;
  return w;
}

double programPowerOf(const tMachineParams& p, double sWord) {
  if (!(sWord > 0)) return 0;
  const bool rpm = p.usbGeneration != 0;
  const double low = rpm ? p.minSpindle : 0;
  const double high = rpm ? p.maxSpindle : 100;
  return high >= low ? std::clamp(sWord, low, high) : sWord;
}

}  // namespace trazvik
