#include "machine/machine_capabilities.h"

#include "base/text.h"

#include "config/tdlgkonfig.h"

#include <algorithm>
#include <cctype>

namespace trazvik {

namespace {
std::string upperPrefix(const std::string& s, std::size_t n) {
  std::string p = s.substr(0, n);
  for (char& c : p) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return p;
}
}  // namespace

bool isToolMeasureFamily(const tMachineModel& m) {
  const std::string three = upperPrefix(m.machineType, 3);
  const std::string two = m.machineType.substr(0, 2);
  return three == "YFB" || three == "YJB" || three == "YNB" || two == "RZ" || two == "RB" ||
         m.machineType.substr(0, 3) == "RB2";
}

bool spindleWaitRecord(const tMachineModel& m, const tLinkState& link) {
  return link.drillSlots && !m.noInverterMarker && base::trimmedOfControls(m.machineType) == "RB2";
}

bool vacuumBeforeStartWanted(const tMachineModel& m, const TDlgkonfig& settings) {
  return m.machineParams.vacuumPump != 0 && settings.flag("cbZalaczPompeProzniowa");
}

bool highResolutionPower(const tMachineModel& m, const tLinkState& link) {
  return m.machineParams.isLaser != 0 && link.protocolLevel > 5 && link.laserFullPower > 255;
}

std::uint8_t decimalsForUnit(const tMachineModel& m, int unitIndex) {
  if (unitIndex == 1) return 3;
  if (unitIndex == 2) return 4;
  return static_cast<std::uint8_t>(m.machineParams.displayDecimals);
}

std::string processorName(const tLinkState& link) { return link.firmwareAtLeast(9, 0) ? "Cortex" : "ARM"; }

bool firmwareAtLeastParts(const tLinkState& link, int a, int b, int c) {
  return link.protocolLevel >= a && link.firmwareMinor >= b && link.firmwareBuild >= c;
}

bool firmwareIs(const tLinkState& link, int a, int b) { return link.protocolLevel == a && link.firmwareMinor == b; }

bool inverterOk(const tMachineModel& m, const tLinkState& link, const tplotstate& st) {
  if (base::trimmedOfControls(m.machineType) == "RB2" || m.noInverterMarker) return true;
  return !(link.drillSlots && st.bit(stateBit::inverterError));
}

std::int32_t defaultAcceleration(bool usbControllerPresent, const tMachineModel& m, const tplotstate& st,
                                 std::string& productText) {
  productText.clear();
  if (!usbControllerPresent) return 0;
  for (char c : st.info1)
    if (c != ' ') productText.push_back(c);
  return m.machineParams.rampStep;
}

config::MachineContext machineContextOf(const tMachineModel& m, const tLinkState& link, const tplotstate& st,
                                        bool identified) {
  const tMachineParams& p = m.machineParams;
  config::MachineContext c;
  c.identified = identified;
  c.machineType = m.machineType;
  c.info1 = st.info1;
  c.isLaser = p.isLaser != 0;
  c.laserZAxis = p.laserZAxis != 0;
  c.cncMachine = link.cncMachine;
  c.usbGeneration = p.usbGeneration != 0;
  c.drillSlots = link.drillSlots;
  c.knifeAxis = p.knifeAxis != 0;
  c.headCount = p.headCount;
  c.controllerVersion = link.controllerVersion;
  c.displayDecimals = static_cast<int>(p.displayDecimals);
  c.minFeed = p.minFeed;
  c.maxFeedXY = p.maxFeedXY;
  c.maxWorkFeed = p.maxWorkFeed;
  c.maxTravelFeed = p.maxTravelFeed;
  c.maxFeedZ = p.maxFeedZ;
  c.maxSmoothFeed = p.maxSmoothFeed;
  c.minSpindle = p.minSpindle;
  c.maxSpindle = p.maxSpindle;
  c.radiusFactorStraight = p.radiusFactorStraight;
  c.bezierCommands = m.bezierCommands;
  c.smoothJointCosine = m.smoothJointCosine;
  c.axisFactorX = p.axisFactorX;
  c.workAreaX = link.workArea[0];
  c.workAreaY = link.workArea[1];
  return c;
}

}  // namespace trazvik
