#include "link/setup_operations.h"

#include "config/inverter_parameters.h"
#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"
#include "machine/commands_records.h"

#include <bit>

namespace trazvik {

namespace {
constexpr std::uint8_t kCalibrationCode = 68;
constexpr std::uint8_t kKnifeOffsetCode = 108;
constexpr std::uint8_t kTwoWayKnifeCode = 112;
}  // namespace

void setAcceleration(tMachineOps& ops, std::int32_t value) {
  const std::int32_t v = std::clamp(value, 0, 14);
  ops.send(accelerationRecord(static_cast<std::uint32_t>(v)));
  ops.machine.machineParams.rampStep = v;
}

void setMachineParameter(tMachineOps& ops, std::uint8_t code, std::uint32_t value) {
  for (const Bytes& command : machineParameterCommands(code, value)) ops.send(command);
}

void setCalibrationParameters(tMachineOps& ops, float x, float y, float z) {
  std::uint8_t code = kCalibrationCode;
  for (float factor : {x, y, z}) {
    setMachineParameter(ops, code, std::bit_cast<std::uint32_t>(factor));
    code = static_cast<std::uint8_t>(code + 4);
  }
}

void setKnifeOffsetParameter(tMachineOps& ops, std::uint32_t value) {
  setMachineParameter(ops, kKnifeOffsetCode, value);
}

void setTwoWayKnifeParameter(tMachineOps& ops, std::uint8_t flag) { setMachineParameter(ops, kTwoWayKnifeCode, flag); }

void smoothingOff(tMachineOps& ops) { ops.send(smoothingCommand(false, CommandForm::immediate)); }

void sendControllerAddress(tMachineOps& ops, const std::array<std::uint8_t, 4>& octets) {
  ops.send(controllerAddressCommand(octets));
}

bool armToolMeasure(tMachineOps& ops) {
  if (ops.linkUp()) ops.status.readState();
  if (!ops.linkUp() || !ops.linkState().firmwareAtLeast(7, 17)) return false;
  ops.send(toolMeasureCommand());
  return true;
}

std::string sendInverterParameters(tMachineOps& ops, const std::filesystem::path& programDirectory) {
  return config::sendInverterParameters(
      programDirectory, ops.machine.machineType,
      [&ops](const std::string& command) {
        if (!ops.linkUp()) return false;
        ops.send(Bytes(command.begin(), command.end()));
        // Over Ethernet the echo tells whether the controller took it.
        if (ops.link.ethernetInUse() && ops.linkState().ethernetError != 0) return false;
        return ops.linkUp();
      },
      [&ops](int ms) { ops.wait(std::chrono::milliseconds(ms)); });
}

}  // namespace trazvik
