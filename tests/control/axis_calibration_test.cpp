// The axis calibration window's model: factors from the typed distances
// (table of cases), the distances offered on opening per unit, Save's check
// of the fields, and the factors written into the simulated controller and
// dividing the axis scales.
#include "../common/comma_locale.h"
#include "../link/ops_rig.h"

#include "config/flt_edit.h"
#include "control/axis_calibration.h"

#include <bit>
#include <cstring>

namespace trazvik::test {
namespace {

struct FactorCase {
  const char* commanded;
  const char* measured;
  std::optional<double> expected;
};

TEST(AxisCalibration, FactorIsMeasuredOverCommandedWithItsInvalidCases) {
  const FactorCase cases[] = {
      {"1000", "1002.5", 1.0025},
      {"1000", "998", 0.998},
      {" 200 ", "  199.5", 0.9975},  // blanks around the numbers
      {"1000", "", 1.0},             // an empty field: 1
      {"", "1002", 1.0},
      {"   ", "1002", 1.0},  // only blanks count as empty
      {"0", "1002", 1.0},    // a zero: 1
      {"1000", "0", 1.0},
      {"1000", "-0.0", 1.0},
      {"1000", "abc", std::nullopt},  // not a number
      {"10x", "1002", std::nullopt},
      {"1000", "1002,5", std::nullopt},  // the other decimal mark
      {"1e-40", "1000", std::nullopt},   // no single-precision factor
  };
  for (const FactorCase& c : cases) {
    SCOPED_TRACE(std::string(c.commanded) + " / " + c.measured);
    const std::optional<double> f = calibrationFactorOf(c.commanded, c.measured, '.');
    ASSERT_EQ(f.has_value(), c.expected.has_value());
    if (f) {
      EXPECT_DOUBLE_EQ(*f, *c.expected);
    }
  }
  // A comma system reads a comma.
  EXPECT_DOUBLE_EQ(calibrationFactorOf("1000", "1002,5", ',').value_or(0), 1.0025);
  // Shown as the decimal the single-precision factor stands for.
  EXPECT_EQ(calibrationFactorText(calibrationFactorOf("1000", "1002.5", '.').value_or(0), '.'), "1.00250000");
  EXPECT_EQ(calibrationFactorText(calibrationFactorOf("600", "599", '.').value_or(0), '.'), "0.99833333");
  EXPECT_EQ(calibrationFactorText(1234.5, ','), "1 234,50000000");
  EXPECT_EQ(calibrationFactorText(-1234567.25, '.'), "-1,234,567.25000000");

  // The desktop program runs in the operator's locale: the numbers mean the same in it.
  testing::CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "pl_PL.UTF-8 is not installed (scripts/setup installs it)";
  EXPECT_DOUBLE_EQ(calibrationFactorOf("1000", "1002,5", ',').value_or(0), 1.0025);
  EXPECT_DOUBLE_EQ(calibrationFactorOf("1000", "1002.5", '.').value_or(0), 1.0025);
  EXPECT_EQ(calibrationFactorText(1234.5, ','), "1 234,50000000");
  EXPECT_EQ(calibrationFactorText(-1234567.25, '.'), "-1,234,567.25000000");
}

TEST(AxisCalibration, OpeningOffersTheWorkAreaCappedPerUnit) {
  struct Case {
    int unit;
    std::array<double, 3> workArea;
    std::array<double, 3> expected;
  } cases[] = {
      {config::kUnitMm, {1300, 2500, 200}, {1000, 1000, 200}},
      {config::kUnitMm, {999.9, 0, -5}, {999, 0, 0}},       // truncated; nothing below 0
      {config::kUnitInch, {1300, 2500, 200}, {40, 40, 7}},  // 200 mm = 7.87 in
      {config::kUnitFoot, {1300, 2500, 200}, {3, 3, 0}},    // 200 mm = 0.66 ft
      {config::kUnitFoot, {600, 2500, 1000}, {1, 3, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unit);
    EXPECT_EQ(commandedCalibrationDistances(c.workArea, c.unit), c.expected);
  }

  // The measured distances show the current factors; the factors survive
  // the rounding to 2 decimals within it.
  tAxisCalibration model;
  model.activate({1.0025f, 1.0f, 0.99f}, {1300, 2500, 200}, config::kUnitMm);
  EXPECT_EQ(model.commanded(), (std::array<std::string, 3>{"1000", "1000", "200"}));
  EXPECT_EQ(model.measured(), (std::array<std::string, 3>{"1002.50", "1000.00", "198.00"}));
  EXPECT_FLOAT_EQ(model.factors()[0], 1.0025f);
  EXPECT_FLOAT_EQ(model.factors()[2], 0.99f);
}

TEST(AxisCalibration, FieldsRecomputeAndSaveChecksThemInOrder) {
  tAxisCalibration model(',');
  model.activate({1, 1, 1}, {1300, 2500, 200}, config::kUnitMm);
  EXPECT_EQ(model.firstEmptyField(), std::nullopt);

  model.setMeasured(0, "1002,5");
  EXPECT_FLOAT_EQ(model.factors()[0], 1.0025f);
  // Emptying measured Y gives 1 for Y at once and is what Save refuses.
  model.setMeasured(1, "1003");
  EXPECT_FLOAT_EQ(model.factors()[1], 1.003f);
  model.setMeasured(1, " ");
  EXPECT_FLOAT_EQ(model.factors()[1], 1.0f);
  EXPECT_EQ(model.firstEmptyField(), tCalibrationField::measuredY);
  // Measured fields come before commanded ones, X before Y.
  model.setCommanded(0, "");
  EXPECT_EQ(model.firstEmptyField(), tCalibrationField::measuredY);
  model.setMeasured(1, "1000");
  EXPECT_EQ(model.firstEmptyField(), tCalibrationField::commandedX);
  model.setMeasured(2, "");
  EXPECT_EQ(model.firstEmptyField(), tCalibrationField::measuredZ);
  model.setMeasured(2, "200");
  model.setCommanded(0, "1000");
  model.setCommanded(2, "");
  EXPECT_EQ(model.firstEmptyField(), tCalibrationField::commandedZ);

  // A text that is no number keeps all factors as they were.
  model.setCommanded(2, "200");
  const std::array<float, 3> before = model.factors();
  model.setMeasured(1, "12a");
  EXPECT_EQ(model.factors(), before);

  // Restore: factors 1, measured = commanded.
  model.restoreDefaults();
  EXPECT_EQ(model.factors(), (std::array<float, 3>{1, 1, 1}));
  EXPECT_EQ(model.measured(), (std::array<std::string, 3>{"1000,00", "1000,00", "200,00"}));
}

std::array<float, 3> storedFactors(const sim::SimController& controller) {
  const auto params = controller.machineState().parameters;
  std::array<float, 3> f{};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) bits |= std::uint32_t{params[68 + 4 * axis + i]} << (8 * i);
    f[axis] = std::bit_cast<float>(bits);
  }
  return f;
}

class AxisCalibrationOnController : public ::testing::TestWithParam<Transport> {};

// A drilling machine: the window's machines. Save writes the factors and
// the axis scales in use become the loaded ones divided by them; a second
// save replaces the factors instead of compounding them; restore sets 1.
TEST_P(AxisCalibrationOnController, SaveStoresTheFactorsAndDividesTheScales) {
  sim::SimConfig config;
  config.product = "YNB 30";
  config.workArea = {1300, 2500, 200};
  SimRig rig(GetParam(), config);
  tMachineOps& ops = rig.ops();
  ASSERT_TRUE(ops.linkUp());
  ASSERT_TRUE(rig.link.drillSlots);
  const double loadedX = rig.machine.loadedAxisFactorX, loadedY = rig.machine.loadedAxisFactorY;

  tAxisCalibration model;
  model.activate(rig.link.calibrationFactors, rig.link.workArea, config::kUnitMm);
  model.setMeasured(0, "1002.5");
  model.setMeasured(1, "999");
  ASSERT_EQ(saveAxisCalibration(ops, model), tCalibrationSaveResult::saved);
  for (int i = 0; i < 200 && storedFactors(*rig.controller)[1] == 1.0f; ++i)
    rig.ops().wait(std::chrono::milliseconds(10));
  EXPECT_EQ(storedFactors(*rig.controller), (std::array<float, 3>{1.0025f, 0.999f, 1.0f}));
  EXPECT_EQ(rig.link.calibrationFactors, (std::array<float, 3>{1.0025f, 0.999f, 1.0f}));
  EXPECT_DOUBLE_EQ(rig.machine.machineParams.axisFactorX, loadedX / 1.0025f);
  EXPECT_DOUBLE_EQ(rig.machine.machineParams.axisFactorY, loadedY / 0.999f);

  model.setMeasured(0, "1001");
  ASSERT_EQ(saveAxisCalibration(ops, model), tCalibrationSaveResult::saved);
  EXPECT_DOUBLE_EQ(rig.machine.machineParams.axisFactorX, loadedX / 1.001f);

  // An empty field sends nothing.
  rig.takeSent();
  model.setCommanded(2, "");
  EXPECT_EQ(saveAxisCalibration(ops, model), tCalibrationSaveResult::emptyField);
  EXPECT_TRUE(rig.takeSent().empty());

  ASSERT_TRUE(restoreAxisCalibration(ops, model));
  for (int i = 0; i < 200 && storedFactors(*rig.controller)[0] != 1.0f; ++i)
    rig.ops().wait(std::chrono::milliseconds(10));
  EXPECT_EQ(storedFactors(*rig.controller), (std::array<float, 3>{1, 1, 1}));
  EXPECT_DOUBLE_EQ(rig.machine.machineParams.axisFactorX, loadedX);
}

INSTANTIATE_TEST_SUITE_P(Both, AxisCalibrationOnController, ::testing::Values(Transport::tcp, Transport::usb),
                         transportName);

TEST(AxisCalibration, WithoutAControllerNothingIsClaimed) {
  SimRig rig(Transport::tcp);
  rig.controller->dropLink();
  rig.connection->status().readState();
  rig.waitConnected(false);
  rig.takeSent();
  tAxisCalibration model;
  model.activate({1, 1, 1}, {1000, 600, 120}, config::kUnitMm);
  model.setMeasured(0, "1002");
  EXPECT_EQ(saveAxisCalibration(rig.ops(), model), tCalibrationSaveResult::noLink);
  EXPECT_TRUE(rig.takeSent().empty());
  EXPECT_EQ(rig.link.calibrationFactors, (std::array<float, 3>{1, 1, 1}));
}

}  // namespace
}  // namespace trazvik::test
