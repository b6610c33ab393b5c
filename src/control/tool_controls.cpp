#include "control/tool_controls.h"

#include "link/head_operations.h"
#include "link/machine_control_operations.h"
#include "machine/state_bits.h"
#include "link/tool_operations.h"

#include "machine/commands_records.h"

#include <charconv>
#include <cmath>

namespace trazvik {

namespace {

std::uint32_t pulseMs(double v) {
  if (!std::isfinite(v) || v < 0) return 0;
  return static_cast<std::uint32_t>(std::nearbyint(std::min(v, 65000.0)));
}

void toggleWithState(tMachineOps& ops) {
  ops.status.readState();
  toggleTool(ops);
  ops.status.readState();
}

}  // namespace

void toolButton(tMachineOps& ops, double pulseTimeMs) {
  const std::string& type = ops.machine.machineType;
  if (ops.params().isLaser && type != "PFF" && type != "YHB 32")
    laserPulse(ops, pulseMs(pulseTimeMs));
  else
    toggleWithState(ops);
}

void toolKey(tMachineOps& ops, double pulseTimeMs) {
  const tMachineParams& p = ops.params();
  if (!p.isLaser) {
    toggleWithState(ops);
  } else if (p.knifeAxis) {
    toggleTool(ops);
  } else {
    setLaserPulseTime(ops, pulseMs(pulseTimeMs));
    ops.send(laserPulseRecord(CommandForm::immediate));
  }
}

std::optional<std::string> setSpindleSpeedFromText(tMachineOps& ops, const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  long long rpm = 0;
  if (first != std::string::npos) {
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    const auto [ptr, ec] = std::from_chars(begin, end, rpm);
    if (ec == std::errc{} && ptr == end) {
      setSpindleSpeed(ops, rpm);
      return std::nullopt;
    }
  }
  return "'" + text + "' is not a valid integer value";
}

void activateHeadEntry(tMachineOps& ops, int entry) {
  releaseHead(ops);
  activateHead(ops, entry);
}

bool lubricationBoxEnabled(const tMachineOps& ops) {
  return ops.machine.machineType == "YRF" || ops.machine.machineType == "YFF";
}

bool lubricationBoxChecked(const tMachineOps& ops) { return ops.st.PowerMaska < 64; }

bool toolLengthWindowAllowed(tMachineOps& ops) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.status.lastReadAnswered()) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgBrakLacznosci"}, {"Control_Panel", "msgDlugoscNarzedzia"});
    return false;
  }
  if (ops.st.bit(stateBit::jobRunning) || ops.st.bit(stateBit::motionRunning)) {
    if (ops.errorBox) ops.errorBox({"Control_Panel", "msgZatrzyajPloter"}, {"Control_Panel", "msgPomiar"});
    return false;
  }
  ops.status.readZeroPoint();
  return true;
}

}  // namespace trazvik
