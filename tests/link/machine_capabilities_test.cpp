#include "machine/machine_capabilities.h"

#include "config/tdlgkonfig.h"
#include "machine/identify_machine.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(Capabilities, InverterOk) {
  struct Case {
    const char* type;
    bool drillSlots, bit62, marker, ok;
  };
  const Case cases[] = {
      {"RZ ", true, true, false, false},    {"RZ ", true, false, false, true},
      {"RZ ", true, true, true, true},       // no-inverter marker
      {"RB2", true, true, false, true},      // always
      {"YFB 32", false, true, false, true},  // standard state word: bit 62 means nothing
  };
  for (const Case& c : cases) {
    tMachineModel m;
    m.machineType = c.type;
    m.noInverterMarker = c.marker;
    tLinkState link;
    link.drillSlots = c.drillSlots;
    tplotstate st;
    if (c.bit62) st.StateExtend = stateBit::mask(stateBit::inverterError);
    EXPECT_EQ(inverterOk(m, link, st), c.ok) << c.type << c.drillSlots << c.bit62 << c.marker;
  }
}

TEST(Capabilities, FamiliesAndFirmwareQuestions) {
  tMachineModel m;
  for (const auto& [type, measured] : {std::pair{"YFB 32", true},
                                       {"yjb", true},
                                       {"YNB 15", true},
                                       {"RZ ", true},
                                       {"RB2", true},
                                       {"YHB 32", false},
                                       {"WTK55", false}}) {
    m.machineType = type;
    EXPECT_EQ(isToolMeasureFamily(m), measured) << type;
  }

  tLinkState link;
  link.drillSlots = true;
  m.machineType = "RB2";
  EXPECT_TRUE(spindleWaitRecord(m, link));
  m.noInverterMarker = true;
  EXPECT_FALSE(spindleWaitRecord(m, link));

  link.protocolLevel = 9;
  link.firmwareMinor = 11;
  link.firmwareBuild = 80;
  EXPECT_EQ(processorName(link), "Cortex");
  EXPECT_FALSE(firmwareAtLeastParts(link, 9, 12, 77));  // each number on its own
  EXPECT_TRUE(firmwareAtLeastParts(link, 9, 11, 80));
  EXPECT_TRUE(firmwareIs(link, 9, 11));
  link.protocolLevel = 8;
  EXPECT_EQ(processorName(link), "ARM");

  m.machineParams.isLaser = 1;
  link.protocolLevel = 6;
  link.laserFullPower = 1000;
  EXPECT_TRUE(highResolutionPower(m, link));
  link.laserFullPower = 255;
  EXPECT_FALSE(highResolutionPower(m, link));

  m.machineParams.displayDecimals = 2;
  EXPECT_EQ(decimalsForUnit(m, 0), 2);
  EXPECT_EQ(decimalsForUnit(m, 1), 3);
  EXPECT_EQ(decimalsForUnit(m, 2), 4);
}

TEST(Capabilities, VacuumBeforeStartFollowsTheSetting) {
  tMachineModel m;
  TDlgkonfig settings;
  m.machineParams.vacuumPump = 1;
  EXPECT_FALSE(vacuumBeforeStartWanted(m, settings));
  settings.setChecked("cbZalaczPompeProzniowa", true);
  EXPECT_TRUE(vacuumBeforeStartWanted(m, settings));
  m.machineParams.vacuumPump = 0;
  EXPECT_FALSE(vacuumBeforeStartWanted(m, settings));
}

}  // namespace
}  // namespace trazvik

namespace trazvik {
namespace {

TEST(Capabilities, DefaultAccelerationNeedsTheController) {
  tLinkState link;
  const tMachineModel m = machineModelFor("YFB 46", 6, 20, 0, link);
  tplotstate st;
  st.info1 = "YFB 46  ";
  std::string text = "stale";
  EXPECT_EQ(defaultAcceleration(false, m, st, text), 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(defaultAcceleration(true, m, st, text), 4);
  EXPECT_EQ(text, "YFB46");
}

}  // namespace
}  // namespace trazvik
