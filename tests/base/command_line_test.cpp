#include "base/command_line.h"
#include "base/startup_switches.h"

#include <gtest/gtest.h>

namespace trazvik::base {
namespace {

TEST(CommandLine, SwitchesAreWholeArgumentsWithLetterCaseIgnored) {
  const CommandLine line({"PL", "Service", "dataDir='/tmp/x'", "spline2"});
  EXPECT_TRUE(line.hasSwitch("pl"));
  EXPECT_TRUE(line.hasSwitch("service"));
  EXPECT_TRUE(line.hasSwitch("SERVICE"));
  EXPECT_FALSE(line.hasSwitch("spline"));   // only a part of an argument
  EXPECT_FALSE(line.hasSwitch("dataDir"));  // a value option is no switch
  EXPECT_FALSE(CommandLine().hasSwitch(""));
}

TEST(CommandLine, ValueOptionsTakeTheTextBetweenTheFirstApostropheAndTheLastCharacter) {
  struct Case {
    std::vector<std::string> arguments;
    const char* word;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {{"dataDir='D:\\cut'"}, "dataDir", "D:\\cut"},
      {{"DATADIR='/srv/cut data'"}, "dataDir", "/srv/cut data"},
      {{"OnlyMachine='M1'"}, "onlymachine", "M1"},
      {{"OnlyMachine='it''s'"}, "OnlyMachine", "it''s"},     // apostrophes inside stay
      {{"dataDir=/srv/cut"}, "dataDir", "dataDir=/srv/cu"},  // no apostrophe: all but the last character
      {{"dataDir=''"}, "dataDir", ""},
      {{"dataDir='"}, "dataDir", ""},
      {{"x", "myOnlyMachine='M2'"}, "OnlyMachine", "M2"},  // the word may stand anywhere
      {{"service"}, "dataDir", std::nullopt},
      // An argument that begins with the word wins over one that only contains it.
      {{"dataDir='/home/adres'", "ADres='4095'"}, "ADres", "4095"},
      {{"dataDir='/home/adres'"}, "ADres", "/home/adres"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandLine(c.arguments).valueOption(c.word), c.expected)
        << ::testing::PrintToString(c.arguments) << " " << c.word;
  }
}

TEST(CommandLine, IntegerOptionsIgnoreValuesThatAreNotIntegers) {
  const std::pair<const char*, std::optional<long long>> cases[] = {
      {"maxX='1200'", 1200}, {"maxx='-5'", -5}, {"maxX='+7'", 7}, {"maxX='12a'", {}},
      {"maxX='1.5'", {}},    {"maxX=''", {}},   {"maxX", {}},     {"maxX='99999999999999999999'", {}},
  };
  for (const auto& [argument, expected] : cases) {
    EXPECT_EQ(CommandLine({argument}).integerOption("maxX"), expected) << argument;
  }
}

TEST(StartupSwitches, EachSwitchAndOption) {
  const StartupSwitches none = readStartupSwitches(CommandLine());
  EXPECT_FALSE(none.serviceMode || none.testMode || none.spline || none.saveLastPos || none.saveLogToXml ||
               none.jobLogging || none.ethernet || none.arcV || none.calibration || none.touchPanel ||
               none.showBaseCheck || none.checkBaseMode || none.safetyEnclosure || none.skipUsb);
  EXPECT_EQ(none.machineFilter, "");
  EXPECT_FALSE(none.dataDir || none.maxX || none.maxY || none.laserFullPower);

  const StartupSwitches all =
      readStartupSwitches(CommandLine({"PL", "service", "TESTY", "spline", "savelastpos", "SaveLogToXML", "JobLogging",
                                       "ethernet", "ARCV", "calib", "touchPanel", "SafetyEnclosure", "OnlyMachine='M1'",
                                       "dataDir='/srv/t'", "maxX='700'", "maxY='800'", "ADres='4095'"}));
  EXPECT_TRUE(all.serviceMode && all.testMode && all.spline && all.saveLastPos && all.saveLogToXml && all.jobLogging &&
              all.ethernet && all.arcV && all.calibration && all.touchPanel && all.safetyEnclosure);
  EXPECT_TRUE(all.showBaseCheck);  // "service" is also "Service"
  EXPECT_EQ(all.machineFilter, "M1");
  EXPECT_EQ(all.dataDir, "/srv/t");
  EXPECT_EQ(all.maxX, 700);
  EXPECT_EQ(all.maxY, 800);
  EXPECT_EQ(all.laserFullPower, 4095);

  EXPECT_TRUE(readStartupSwitches(CommandLine({"kalib"})).calibration);
  EXPECT_TRUE(readStartupSwitches(CommandLine({"DSCH"})).showBaseCheck);
  EXPECT_TRUE(readStartupSwitches(CommandLine({"DebugShowCheckHome"})).showBaseCheck);
  EXPECT_FALSE(readStartupSwitches(CommandLine({"DSCH"})).serviceMode);
}

TEST(StartupSwitches, NinetyFiveCountsOnlyInTheFirstTwoPlacesAndOnlyExactly) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{"95"}, true},   {{"PL", "95"}, true}, {{"PL", "service", "95"}, false},
      {{"095"}, false}, {{" 95"}, false},     {{}, false},
  };
  for (const auto& [arguments, skip] : cases) {
    EXPECT_EQ(readStartupSwitches(CommandLine(arguments)).skipUsb, skip) << ::testing::PrintToString(arguments);
  }
}

TEST(StartupSwitches, BaseCheckModeAndItsInterval) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"CHECKBASE", 60},   {"checkbase", 60},    {"CHECKBASE=30", 30}, {"CheckBase=5", 5}, {"CHECKBASE=abc", 60},
      {"CHECKBASE=0", 60}, {"CHECKBASE=-3", 60}, {"CHECKBASE=", 60},   {"CHECKBASEX", {}}, {"xCHECKBASE", {}},
  };
  for (const auto& [argument, interval] : cases) {
    const StartupSwitches s = readStartupSwitches(CommandLine({argument}));
    EXPECT_EQ(s.checkBaseMode, interval.has_value()) << argument;
    if (interval) {
      EXPECT_EQ(s.checkBaseInterval, *interval) << argument;
    }
  }
}

}  // namespace
}  // namespace trazvik::base
