#include "machine/identify_machine.h"
#include "machine/machine_table.h"

#include "../common/comma_locale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace trazvik {
namespace {

struct Identified {
  tMachineModel machine;
  tLinkState link;
};

Identified identify(const std::string& info1, int level, int minor, int build = 0,
                    const tIdentifyEnvironment& env = {}) {
  Identified r;
  r.link.protocolLevel = static_cast<std::uint16_t>(level);
  r.link.firmwareMinor = static_cast<std::uint16_t>(minor);
  r.link.firmwareBuild = build;
  tplotstate st;
  st.info1 = info1;
  identifyMachine(r.machine, r.link, st, env);
  return r;
}

TEST(IdentifyMachine, YFB32ByFirmware) {
  const Identified at634 = identify("YFB 32  ", 6, 34);
  EXPECT_EQ(at634.machine.machineType, "YFB 32");
  EXPECT_EQ(at634.machine.machineParams.radiusFactorStraight, 700);
  EXPECT_EQ(at634.machine.machineParams.radiusFactorSlope, 600);
  EXPECT_EQ(at634.machine.machineParams.rampStep, 4);
  EXPECT_EQ(at634.machine.cornerAngle, 160);
  EXPECT_EQ(at634.machine.machineParams.timerTick, 0.0125);
  EXPECT_EQ(at634.machine.wideRamp, &drillingWideRamp());
  EXPECT_EQ(at634.machine.smoothJointCosine, 0.94);

  const Identified at640 = identify("YFB 32", 6, 40);
  EXPECT_EQ(at640.machine.machineParams.rampStep, 0);
  EXPECT_DOUBLE_EQ(at640.machine.machineParams.timerTick, 0.025);
  EXPECT_EQ(at640.machine.machineParams.maxSmoothFeed, 5000);
  EXPECT_EQ(at640.machine.cornerAngle, 155);
  EXPECT_EQ(at640.machine.cornerAngleFlat, 155);

  const Identified at633 = identify("YFB 32", 6, 33);
  EXPECT_EQ(at633.machine.machineParams.rampStep, 1);  // the plain row
  EXPECT_EQ(at633.machine.cornerAngle, 165);           // the "YFB" family angle

  EXPECT_EQ(identify("YFB 48", 7, 0).machine.cornerAngle, 165);
  EXPECT_EQ(identify("YFB 48", 7, 0).machine.machineParams.radiusFactorStraight, 900);
}

TEST(IdentifyMachine, EveryTypeOfTheTable) {
  struct Case {
    std::string info1;
    std::string type;
    std::string row;
  };
  const Case cases[] = {
      {"LFV", "LFV", "LFV"},
      {"UFV", "UFV", "UFV"},
      {"TFV", "TFV", "TFV"},
      {"FV ", "FV ", "FV "},
      {"4FV", "4FV", "4FV"},
      {"WFV", "WFV", "WFV"},
      {"RFV", "RFV", "RFV"},
      {"16W", "16W", "16W"},
      {"EFV", "EFV", "EFV"},
      {"EFF", "EFF", "EFF"},
      {"YFV", "YFV", "YFV"},
      {"YFF", "YFF", "YFF"},
      {"YfF", "YfF", "YfF"},
      {"EfF", "EfF", "EfF"},
      {"YRN", "YRN", "YRN"},
      {"YRF", "YRF", "YRF"},
      {"YFF 333 ", "YFF", "YFF 333"},
      {"YFF 333", "YFF", "YFF"},  // the 333 test needs 8 characters
      {"PFF", "PFF", "PFF"},
      {"YFB 46", "YFB 46", "YFB 46"},
      {"YHB 32", "YHB 32", "YHB 32"},
      {"YCP 50", "YCP 50", "YCP 50"},
      {"YJB", "YJB", "YJB"},
      {"WTK55", "WTK55", "WTK55"},
      {"WTK32", "WTK32", "WTK32"},
      {"WTK32Q  ", "WTK32Q", "WTK32Q"},
      {"WTK32D", "WTK32D", "WTK32D"},
      {"WTK32V", "WTK32V", "WTK32V"},
      {"WTK11", "WTK11", "WTK11"},
      {"WTK64", "WTK64", "WTK64"},
      {"WTK65 extra", "WTK65", "WTK65"},
      {"YNB 15", "YNB 15", "YNB 15"},
      {"YNB 30", "YNB 30", "YNB 30"},
      {"YFN", "YFN", "YFN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.info1);
    const Identified r = identify(c.info1, 5, 0);
    EXPECT_EQ(r.machine.machineType, c.type);
    tMachineParams expected = *machineRow(c.row);
    EXPECT_EQ(r.machine.machineParams.axisFactorX, expected.axisFactorX);
    EXPECT_EQ(r.machine.machineParams.maxFeedXY, expected.maxFeedXY);
    EXPECT_EQ(r.machine.machineParams.headCount, expected.headCount);
    EXPECT_EQ(r.machine.machineParams.wideCommandSet, expected.wideCommandSet);
  }
}

TEST(IdentifyMachine, DrillingControllersAndTravelVariant) {
  tIdentifyEnvironment env;
  std::optional<bool> variant;
  env.readLongTravel = [&] { return variant; };

  Identified rz = identify("RZ 1234b", 9, 12, 76, env);
  EXPECT_EQ(rz.machine.machineType, "RZ ");
  EXPECT_TRUE(rz.machine.noInverterMarker);
  EXPECT_TRUE(rz.link.drillSlots);
  EXPECT_EQ(rz.machine.plungeSlot, 4);
  EXPECT_EQ(rz.machine.retractSlot, 5);
  EXPECT_EQ(rz.machine.cornerAngle, 155);
  EXPECT_EQ(rz.machine.machineParams.rampStep, 0);  // build 76 is older than 9.12.77
  EXPECT_EQ(rz.machine.machineParams.maxFeedXY, 15000);
  EXPECT_EQ(rz.machine.machineParams.maxJogSpeed, 330);

  variant = true;
  rz = identify("RZ", 9, 12, 77, env);  // short product string: padded with blanks
  EXPECT_EQ(rz.machine.machineType, "RZ ");
  EXPECT_FALSE(rz.machine.noInverterMarker);
  EXPECT_EQ(rz.machine.machineParams.rampStep, 1);
  EXPECT_EQ(rz.machine.machineParams.maxTravelFeed, 30000);
  EXPECT_EQ(rz.machine.machineParams.maxJogSpeed, 480);

  const Identified rb2 = identify("RB2 0001b", 7, 0, 0, env);
  EXPECT_EQ(rb2.machine.machineType, "RB2");
  EXPECT_FALSE(rb2.machine.noInverterMarker);  // the marker is an "RZ" matter
  EXPECT_EQ(rb2.machine.machineParams.maxSpindle, 2400);

  const Identified pff = identify("PFF", 6, 0);
  EXPECT_TRUE(pff.link.drillSlots);
  EXPECT_NEAR(pff.machine.machineParams.timerTick, 0.0277777778, 1e-12);
  EXPECT_EQ(pff.machine.smoothJointCosine, 0.966);

  const Identified ynb = identify("YNB 30", 7, 0);
  EXPECT_TRUE(ynb.link.drillSlots);
  EXPECT_EQ(ynb.machine.wideRamp, &drillingWideRamp());
  EXPECT_EQ(ynb.machine.machineParams.maxFeedXY, 30000);
}

TEST(IdentifyMachine, UnknownProductStringKeepsTheParameters) {
  Identified r = identify("YFB 32", 7, 0);
  const tMachineParams before = r.machine.machineParams;
  for (const char* info1 : {"ZZZ", "", "Y", "YFB 99"}) {
    tplotstate st;
    st.info1 = info1;
    identifyMachine(r.machine, r.link, st, {});
    SCOPED_TRACE(info1);
    EXPECT_EQ(r.machine.machineParams.axisFactorX, before.axisFactorX);
    EXPECT_EQ(r.machine.machineParams.maxFeedXY, before.maxFeedXY);
    EXPECT_EQ(r.machine.machineParams.timerTick, before.timerTick);
  }
}

TEST(IdentifyMachine, DerivedValues) {
  tIdentifyEnvironment env;
  env.safetyEnclosureSwitch = true;
  Identified r = identify("YFB 46", 6, 2, 0, env);
  EXPECT_TRUE(r.machine.safetyEnclosure);
  EXPECT_EQ(*r.machine.commandLengths.of('a'), 15);
  EXPECT_EQ(*r.machine.commandLengths.of('v'), 6);
  EXPECT_EQ(*r.machine.commandLengths.of('T'), 6);
  EXPECT_TRUE(r.link.cncMachine);
  EXPECT_FALSE(identify("YFB 46", 6, 1, 0, env).machine.safetyEnclosure);
  EXPECT_FALSE(identify("YFB 46", 6, 2).machine.safetyEnclosure);

  const Identified old = identify("LFV", 5, 0);
  EXPECT_EQ(*old.machine.commandLengths.of('a'), 14);
  EXPECT_EQ(*old.machine.commandLengths.of('t'), 3);
  tIdentifyEnvironment parallel;
  parallel.directPortAccessForbidden = false;
  EXPECT_FALSE(identify("LFV", 5, 0, 0, parallel).link.cncMachine);
  EXPECT_TRUE(identify("EFV", 5, 0, 0, parallel).link.cncMachine);

  EXPECT_EQ(identify("WTK32", 6, 2).machine.machineParams.rampStep, 2);
  EXPECT_EQ(identify("WTK32", 6, 1).machine.machineParams.rampStep, 1);

  Identified bez;
  bez.link.controllerVersion = 550;
  tplotstate st;
  st.info1 = "YFB 32";
  identifyMachine(bez.machine, bez.link, st, {});
  EXPECT_TRUE(bez.machine.bezierCommands);
  bez.link.controllerVersion = 549;
  identifyMachine(bez.machine, bez.link, st, {});
  EXPECT_FALSE(bez.machine.bezierCommands);
}

class CalibrationFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("trazvik_cal_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    env_.programDirectory = dir_.string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void write(const std::string& text) { std::ofstream(dir_ / "kalibracja.txt") << text; }

  std::filesystem::path dir_;
  tIdentifyEnvironment env_;
};

TEST_F(CalibrationFile, FactorsAreClampedAndAppliedOnce) {
  write("2.0\n0,5\n1.01\n");
  Identified r = identify("EFV", 5, 0, 0, env_);
  const double base = 0.9796599048814797;
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorX, base / 1.4);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorY, base / 0.6);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorZ, 4.5 / 1.01);
  EXPECT_EQ(r.link.calibrationFactors[0], 1.4f);

  // Identifying again with an unmatched string, or calibrating again, does
  // not divide a second time.
  tplotstate st;
  st.info1 = "???";
  identifyMachine(r.machine, r.link, st, env_);
  applyAxisCalibration(r.machine, r.link, env_);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorX, base / 1.4);
}

// The desktop program runs in the operator's locale; the file means the same in it.
TEST_F(CalibrationFile, ReadTheSameInADecimalCommaLocale) {
  write("2.0\n0,5\n1.01\n");
  testing::CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "pl_PL.UTF-8 is not installed (scripts/setup installs it)";
  const Identified r = identify("EFV", 5, 0, 0, env_);
  EXPECT_EQ(r.link.calibrationFactors, (std::array<float, 3>{1.4f, 0.6f, 1.01f}));
}

TEST_F(CalibrationFile, ReadErrorKeepsWhatWasRead) {
  write("1.2\nnot a number\n1.3\n");
  const Identified r = identify("EFV", 5, 0, 0, env_);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorX, 0.9796599048814797 / 1.2);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorY, 0.9796599048814797);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorZ, 4.5);
}

TEST_F(CalibrationFile, DrillingFamiliesUseTheReport) {
  write("1.4\n1.4\n1.4\n");  // ignored by the drilling families
  env_.readCalibration = [] { return std::optional<std::array<float, 3>>({2.0f, 1.0f, 0.5f}); };
  const Identified r = identify("YNB 15", 7, 0, 0, env_);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorX, 1.0);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorY, 2.0);
  EXPECT_DOUBLE_EQ(r.machine.machineParams.axisFactorZ, 4.0);
  env_.readCalibration = [] { return std::optional<std::array<float, 3>>(); };
  const Identified failed = identify("YNB 15", 7, 0, 0, env_);
  EXPECT_DOUBLE_EQ(failed.machine.machineParams.axisFactorX, 2.0);
  EXPECT_EQ(failed.link.calibrationFactors, (std::array<float, 3>{1, 1, 1}));
}

TEST(MachineTable, RowsAreComplete) {
  for (const std::string& code : machineTypeCodes()) {
    SCOPED_TRACE(code);
    const auto row = machineRow(code);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->axisFactorY, row->axisFactorX);
    EXPECT_GT(row->timerTick, 0);
    EXPECT_GE(row->speedMultiplier, 1);
    EXPECT_LE(row->speedMultiplier, 3);
    EXPECT_GT(row->axisFactorX, 0);
    EXPECT_LE(row->rampStep, 14);
  }
  EXPECT_EQ(machineRow("YHB 32")->knifeStepsPerTurn, 4000);
  EXPECT_EQ(machineRow("WTK32")->axisFactorX, 320.0 / 127.0);
  EXPECT_EQ(machineRow("RFV")->maxTravelFeed, 0);
  EXPECT_EQ(machineRow("YJB")->headCount, 3);
  EXPECT_FALSE(machineRow("YFB").has_value());
}

TEST(RampTables, QuotedEntriesAndFall) {
  const WideRampTable& s = standardWideRamp();
  const std::uint16_t head[] = {10234, 10234, 9213, 7668, 6875, 6282, 5840, 5488};
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(s[i], head[i]);
  EXPECT_EQ(s[1000], 811);
  EXPECT_EQ(s[10000], 367);
  EXPECT_EQ(s[65535], 159);

  const WideRampTable& d = drillingWideRamp();
  for (const auto& [n, v] :
       {std::pair{0, 40920}, {1, 40920}, {2, 28935}, {3, 23625}, {4, 20460}, {10000, 409}, {65535, 159}})
    EXPECT_EQ(d[std::size_t(n)], v) << n;
  int lowered = 0;
  for (std::size_t n = 1; n < d.size(); ++n)
    if (d[n] != std::nearbyint(40920 / std::sqrt(double(n)))) ++lowered;
  EXPECT_EQ(lowered, 185);

  const NarrowRampTable& narrow = narrowRamp();
  const std::uint16_t narrowHead[] = {11288, 5644, 3991, 3258, 2822};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(narrow[i], narrowHead[i]);
  EXPECT_EQ(narrow.back(), 36);

  EXPECT_TRUE(std::is_sorted(s.rbegin(), s.rend()));
  EXPECT_TRUE(std::is_sorted(d.rbegin(), d.rend()));
  EXPECT_TRUE(std::is_sorted(narrow.rbegin(), narrow.rend()));
}

}  // namespace
}  // namespace trazvik
