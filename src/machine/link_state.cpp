#include "machine/link_state.h"

namespace trazvik {

std::string firmwareVersionText(const tLinkState& link) {
  return std::to_string(link.protocolLevel) + "." + std::to_string(link.firmwareMinor) + "." +
         std::to_string(link.firmwareBuild);
}

void applyCommandLineOverrides(const base::StartupSwitches& switches, tLinkState& link) {
  if (switches.maxX) link.workArea[0] = static_cast<double>(*switches.maxX);
  if (switches.maxY) link.workArea[1] = static_cast<double>(*switches.maxY);
  if (switches.laserFullPower) link.laserFullPower = static_cast<std::int32_t>(*switches.laserFullPower);
}

}  // namespace trazvik
