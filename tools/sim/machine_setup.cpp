#include "sim_config.h"

#include "machine/identify_machine.h"
#include "link/status_decode.h"

#include <stdexcept>

namespace trazvik::sim {

SimMachine setupMachine(const SimConfig& config) {
  SimMachine m;
  m.link.protocolLevel = static_cast<std::uint16_t>(config.firmwareMajor);
  m.link.firmwareMinor = static_cast<std::uint16_t>(config.firmwareMinor);
  m.link.firmwareBuild = config.firmwareBuild;
  const Bytes versionText(config.versionText.begin(), config.versionText.end());
  m.link.controllerVersion = controllerVersionOfVersionReport(versionText);
  m.link.laserFullPower = config.laserFullPower;
  m.link.workArea = config.workArea;
  m.link.secondWorkArea = config.secondWorkArea.value_or(config.workArea);
  m.link.machineInputs = config.inputs;

  tplotstate st;
  st.info0 = config.manufacturer;
  st.info1 = config.product;
  st.info2 = config.serial;
  tIdentifyEnvironment env;
  env.directPortAccessForbidden = true;
  env.readCalibration = [] { return std::optional<std::array<float, 3>>(std::array<float, 3>{1, 1, 1}); };
  env.readLongTravel = [travel = config.travelVariant] { return std::optional<bool>(travel == 'L'); };
  identifyMachine(m.model, m.link, st, env);
  if (m.model.machineParams.timerTick <= 0 || m.model.machineParams.axisFactorX <= 0)
    throw std::invalid_argument("unknown machine type \"" + config.product +
                                "\": the product string must begin with a type code of the machine table");

  if (config.heads) m.model.machineParams.headCount = static_cast<std::uint8_t>(*config.heads);
  if (config.knifeAxis) m.model.machineParams.knifeAxis = *config.knifeAxis ? 1 : 0;
  return m;
}

}  // namespace trazvik::sim
