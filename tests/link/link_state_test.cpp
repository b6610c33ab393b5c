#include "machine/link_state.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(LinkState, FirmwareAtLeastComparesLevelAndMinorTogether) {
  tLinkState link;
  link.protocolLevel = 7;
  link.firmwareMinor = 5;
  EXPECT_TRUE(link.firmwareAtLeast(7, 5));
  EXPECT_TRUE(link.firmwareAtLeast(6, 99));
  EXPECT_FALSE(link.firmwareAtLeast(7, 6));
  EXPECT_FALSE(link.firmwareAtLeast(7, 20));
  EXPECT_FALSE(link.firmwareAtLeast(8, 0));
  link.firmwareBuild = 77;
  EXPECT_EQ(firmwareVersionText(link), "7.5.77");
}

TEST(LinkState, CommandLineOverrides) {
  struct Case {
    std::vector<std::string> args;
    double maxX, maxY;
    std::int32_t fullPower;
  };
  const Case cases[] = {
      {{}, 600, 400, 255},
      {{"maxX'2500'"}, 2500, 400, 255},
      {{"maxX'1200'", "maxY'900'"}, 1200, 900, 255},
      {{"ADres'1000'"}, 600, 400, 1000},
      {{"maxX'12.5'", "ADres'abc'"}, 600, 400, 255},  // not integers: ignored
  };
  for (const Case& c : cases) {
    tLinkState link;
    link.workArea = {600, 400, 100};
    applyCommandLineOverrides(base::readStartupSwitches(base::CommandLine(c.args)), link);
    SCOPED_TRACE(c.args.empty() ? std::string("none") : c.args.front());
    EXPECT_EQ(link.workArea[0], c.maxX);
    EXPECT_EQ(link.workArea[1], c.maxY);
    EXPECT_EQ(link.workArea[2], 100);
    EXPECT_EQ(link.laserFullPower, c.fullPower);
  }
}

}  // namespace
}  // namespace trazvik
