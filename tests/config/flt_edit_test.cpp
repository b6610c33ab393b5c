// The numeric field models: clamping, display units and decimals, steps.
#include "config/flt_edit.h"

#include <gtest/gtest.h>

namespace trazvik::config {
namespace {

TEST(TFltEditU, InchDisplayReadsBackOnlyAsExactAsShown) {
  TFltEditU field(0, 170, 2, '.');
  field.setValue(0.49);
  EXPECT_EQ(field.text(), "0.49");
  field.changeunit(kUnitInch);
  EXPECT_EQ(field.text(), "0.019");
  EXPECT_DOUBLE_EQ(field.value(), 0.019 * 25.4);  // 0.4826 mm
  field.changeunit(kUnitMm);
  EXPECT_EQ(field.text(), "0.483");  // three decimals after a unit change
  EXPECT_DOUBLE_EQ(field.value(), 0.483);
  field.changeunit(kUnitFoot);
  EXPECT_EQ(field.text(), "0.0016");
  EXPECT_DOUBLE_EQ(field.value(), 0.0016 * 304.8);
}

TEST(TFltEditU, GeneralFormFieldsKeepTheirFormAcrossUnits) {
  TFltEditU field(0, 65000, 0, '.');
  field.setValue(120);
  field.changeunit(kUnitInch);
  EXPECT_EQ(field.text(), "4.7244094488189");
  EXPECT_NEAR(field.value(), 120, 1e-9);
}

TEST(TFltEditU, LeavingTheFieldClampsTypedText) {
  TFltEditU field(20, 1000, 2, ',');
  field.setText("2500");
  EXPECT_DOUBLE_EQ(field.value(), 2500);  // as typed, until the field is left
  field.leave();
  EXPECT_EQ(field.text(), "1000,00");
  field.setText("");
  field.leave();
  EXPECT_DOUBLE_EQ(field.value(), 20);
  field.setText("12x");
  field.leave();
  EXPECT_DOUBLE_EQ(field.value(), 20);
  field.changeunit(kUnitInch);
  field.keypadConfirmed("1,5");  // the keypad types the locale's comma
  EXPECT_DOUBLE_EQ(field.value(), 1.5 * 25.4);
  EXPECT_EQ(field.text(), "1,500");
}

TEST(TFltEditU, EqualLimitsMeanNoLimit) {
  TFltEditU field(0, 0, 2, '.');
  field.setValue(-1280.5);
  field.leave();
  EXPECT_DOUBLE_EQ(field.value(), -1280.5);
}

TEST(TFltEditU, AdaptiveStepIsOneDecadeBelowTheValue) {
  const struct {
    int unit;
    double mm;
    double stepMm;
  } cases[] = {
      {kUnitMm, 500, 10},
      {kUnitMm, 12, 1},
      {kUnitMm, 5, 0.1},
      {kUnitMm, 0.5, 0.01},
      {kUnitMm, 0, 0.1},
      {kUnitMm, 100, 10},
      {kUnitMm, -12, 1},
      {kUnitInch, 25.4, 0.1 * 25.4},
      {kUnitFoot, 304.8 * 20, 304.8},
  };
  for (const auto& c : cases) {
    TFltEditU field(0, 0, 0, '.');
    field.changeunit(c.unit);
    field.setValue(c.mm);
    EXPECT_NEAR(field.adaptiveStep(), c.stepMm, 1e-9) << c.mm << " mm in unit " << c.unit;
  }
}

TEST(TFltEditU, WheelTowardsTheOperatorIncreases) {
  TFltEditU field(0, 1000, 2, '.');
  field.setValue(500);
  EXPECT_TRUE(field.wheelDown());
  EXPECT_DOUBLE_EQ(field.value(), 510);
  EXPECT_TRUE(field.wheelUp());
  EXPECT_TRUE(field.stepDown());
  EXPECT_DOUBLE_EQ(field.value(), 490);
  field.setValue(995);
  field.stepUp();
  EXPECT_DOUBLE_EQ(field.value(), 1000);  // clamped
  field.readOnly = true;
  EXPECT_FALSE(field.stepUp());
  EXPECT_DOUBLE_EQ(field.value(), 1000);
}

TEST(TFltEdit, PlainFieldUsesItsIncrementAndMinimumForBadText) {
  TFltEdit field(1, 60, 0, '.');
  field.setValue(3);
  field.FIncrement = 2;
  field.stepUp();
  EXPECT_DOUBLE_EQ(field.value(), 5);
  field.setText("abc");
  EXPECT_DOUBLE_EQ(field.value(), 1);
  field.setText("75");
  field.leave();
  EXPECT_EQ(field.text(), "60");
  EXPECT_TRUE(field.acceptsKey('7'));
  EXPECT_TRUE(field.acceptsKey('-'));
  EXPECT_TRUE(field.acceptsKey('\b'));
  EXPECT_FALSE(field.acceptsKey('\r'));
  EXPECT_FALSE(field.acceptsKey(','));
  EXPECT_FALSE(field.acceptsKey('e'));
}

TEST(UnitHelpers, NamesFactorsAndDisplayDecimals) {
  EXPECT_EQ(unitName(kUnitInch), "in");
  EXPECT_EQ(unitName(kUnitFoot), "ft");
  EXPECT_DOUBLE_EQ(unitFactor(kUnitFoot), 304.8);
  EXPECT_EQ(displayDecimalsForUnit(kUnitMm, 0), 1);
  EXPECT_EQ(displayDecimalsForUnit(kUnitMm, 3), 3);
  EXPECT_EQ(displayDecimalsForUnit(kUnitInch, 3), 2);
  EXPECT_EQ(displayDecimalsForUnit(kUnitFoot, 3), 3);
}

}  // namespace
}  // namespace trazvik::config
