// The numeric field widgets as the operator types, rolls the wheel, steps
// and uses the keypad; values and units are those of the core field models.
#include "dialogs/flt_edit_widget.h"
#include "dialogs/touch_keypad.h"

#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace trazvik::ui {
namespace {

QString typed(TFltEdit& field, const QString& keys) {
  field.editor()->clear();
  QTest::keyClicks(&field, keys);  // through the field's own key filter
  return field.editor()->text();
}

void wheel(TFltEdit& field, int deltaY) {
  QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, deltaY), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&field, &event);
}

TEST(FltEditUWidget, UnitChangeKeepsMillimetresToTheShownPrecision) {
  TFltEditU field(nullptr, -40, 120, 2, '.');
  field.setValue(0.49);
  EXPECT_EQ(field.shownText(), "0.49");
  field.changeunit(config::kUnitInch);
  EXPECT_EQ(field.shownText(), "0.019");
  EXPECT_NEAR(field.valueMm(), 0.4826, 1e-12);
  field.changeunit(config::kUnitFoot);
  EXPECT_EQ(field.shownText(), "0.0016");
  field.changeunit(config::kUnitMm);
  EXPECT_EQ(field.shownText(), "0.488");
  // Typed in inches and left: clamped at the millimetre maximum.
  field.changeunit(config::kUnitInch);
  typed(field, "10");
  field.commit();
  EXPECT_EQ(field.shownText(), "4.724");
  EXPECT_NEAR(field.valueMm(), 4.724 * 25.4, 1e-9);  // read back from what is shown
}

TEST(FltEditUWidget, TypingKeepsOnlyNumberCharactersAndTheKeypadSeparator) {
  TFltEditU comma(nullptr, 0, 1000, 2, ',');
  EXPECT_EQ(typed(comma, "12a,5x"), "12,5");
  // The separator of the other locale is not a number character here.
  EXPECT_EQ(typed(comma, "1.5"), "15");
  comma.editor()->clear();
  QTest::keyClick(&comma, '3');
  QTest::keyClick(&comma, Qt::Key_Period, Qt::KeypadModifier);
  QTest::keyClick(&comma, '2');
  EXPECT_EQ(comma.editor()->text(), "3,2");
  comma.commit();
  EXPECT_DOUBLE_EQ(comma.valueMm(), 3.2);
}

TEST(FltEditUWidget, WheelTowardsTheOperatorIncreasesByTheAdaptiveStep) {
  TFltEditU field(nullptr, 0, 0, 2, '.');  // equal limits: not limited
  field.setValue(500);
  int edits = 0;
  QObject::connect(&field, &TFltEdit::edited, [&] { ++edits; });
  wheel(field, -120);  // rolled down
  EXPECT_DOUBLE_EQ(field.valueMm(), 510);
  wheel(field, 120);
  wheel(field, 120);
  EXPECT_DOUBLE_EQ(field.valueMm(), 490);
  field.setValue(5);
  field.stepBy(1);
  EXPECT_DOUBLE_EQ(field.valueMm(), 5.1);
  field.setValue(-1e6);  // unlimited
  EXPECT_DOUBLE_EQ(field.valueMm(), -1e6);
  EXPECT_EQ(edits, 4);
}

TEST(FltEditWidget, ReadOnlyFieldsOnlyBeepAndTheKeypadFollowsTheClickMode) {
  TFltEdit field(nullptr, 1, 60, 0, '.');
  field.setValue(3);
  field.setFieldReadOnly(true);
  field.stepBy(1);
  EXPECT_DOUBLE_EQ(field.value(), 3);

  field.setFieldReadOnly(false);
  int asked = 0;
  TouchKeypad::replacement = [&](const QString&) {
    ++asked;
    return std::optional<QString>("99");
  };
  QTest::mouseClick(field.editor(), Qt::LeftButton);
  EXPECT_EQ(asked, 0);  // a double click opens it by default
  QTest::mouseDClick(field.editor(), Qt::LeftButton);
  EXPECT_EQ(asked, 1);
  EXPECT_DOUBLE_EQ(field.value(), 60);  // the keypad's text is clamped like typing
  field.setKeypad(true, true);
  QTest::mouseClick(field.editor(), Qt::LeftButton);
  EXPECT_EQ(asked, 2);
  TouchKeypad::replacement = nullptr;
}

TEST(TouchKeypadWindow, KeysBuildTheNumberWithOneSeparatorAndASign) {
  TouchKeypad pad(nullptr, "12", ',', false);
  for (const char* key : {"3", ",", "5", ",", "+/-", "<-", "7"}) pad.press(key);
  EXPECT_EQ(pad.text(), "-123,7");
  pad.press("+/-");
  EXPECT_EQ(pad.text(), "123,7");
  pad.press("C");
  EXPECT_EQ(pad.text(), "");
}

}  // namespace
}  // namespace trazvik::ui
