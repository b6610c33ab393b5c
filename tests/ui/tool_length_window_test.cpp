// The tool length window on its own: the captions from the language file,
// the panels a machine shows, and the blade offset that OK writes only when
// it was read from the controller or the operator changed it (a 0 shown
// for an offset never read must not overwrite the controller's).
#include "dialogs/flt_edit_widget.h"
#include "panel/tool_length_window.h"
#include "ui_texts_fixture.h"

#include <QLabel>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace trazvik::ui {
namespace {

TEST(ToolLengthWindow, OkWritesTheBladeOffsetOnlyWhenReadOrChanged) {
  testing::UiTexts t;
  struct Case {
    const char* name;
    bool read;
    double typedDegrees;  // NaN: the field left alone
    std::optional<double> written;
  };
  const double untouched = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"not read, left at 0", false, untouched, std::nullopt},
      {"not read, changed", false, 90, 90},
      {"read, left as read", true, untouched, 12.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> sentMm;
    std::optional<double> written;
    ToolLengthSetup setup;
    setup.distanceMm = 42;
    setup.hasKnife = true;
    setup.knifeOffsetRead = c.read;
    setup.knifeDegrees = c.read ? 12.5 : 0;
    setup.ok = [&](double mm) {
      sentMm.push_back(mm);
      return true;
    };
    setup.knifeOffset = [&](double degrees) { written = degrees; };
    ToolLengthWindow window(t.texts, setup);
    EXPECT_EQ(window.windowTitle().toStdString(), t.texts.dajTxt("Dlugosc_narzedzai", "TdlugoscForm.Caption"));
    EXPECT_FALSE(window.findChild<QWidget*>("pNozOscylacyjny")->isHidden());
    if (!std::isnan(c.typedDegrees)) window.findChild<TFltEdit*>("feOffsetV")->setValue(c.typedDegrees);
    window.findChild<QPushButton*>("OK")->click();
    EXPECT_EQ(sentMm, std::vector<double>{42});
    EXPECT_EQ(written, c.written);
  }
}

TEST(ToolLengthWindow, ARefusedDistanceKeepsTheWindowOpenAndWritesNoOffset) {
  testing::UiTexts t;
  ToolLengthSetup setup;
  setup.hasKnife = true;
  setup.knifeOffsetRead = true;
  setup.ok = [](double) { return false; };
  bool written = false;
  setup.knifeOffset = [&](double) { written = true; };
  setup.singleHeadButtons = false;  // a multi-head machine or a laser
  ToolLengthWindow window(t.texts, setup);
  window.show();
  window.findChild<QPushButton*>("OK")->click();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(written);
  EXPECT_TRUE(window.findChild<QWidget*>("pPrzyciskiSrodkowe")->isHidden());
  EXPECT_FALSE(window.findChild<QPushButton*>("pomiar")->isEnabled()) << "no measurement attached";
}

TEST(ToolLengthWindow, TheRemoteButtonRunsTheMeasurementAndAnotherFamilyEndsTheWatch) {
  testing::UiTexts t;
  struct Case {
    const char* name;
    tRemoteRequest pressed;
    int measured, touched;
    bool closed;
  };
  const Case cases[] = {
      {"single head of the family", tRemoteRequest::measure, 1, 0, true},
      {"multi-head of the family", tRemoteRequest::touchMaterial, 0, 1, true},
      {"another family", tRemoteRequest::ignored, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int ticks = 0, measured = 0, touched = 0;
    ToolLengthSetup setup;
    setup.measure = [&] { return ++measured > 0; };
    setup.materialSurface = [&] { return ++touched > 0; };
    // Two quiet ticks, then the button.
    setup.remoteRequest = [&] { return ++ticks < 3 ? tRemoteRequest::none : c.pressed; };
    ToolLengthWindow window(t.texts, setup);
    window.show();
    QElapsedTimer clock;
    clock.start();
    // Up to the press, and long enough after it for several more ticks.
    while (clock.elapsed() < 3000 && window.isVisible() && !(ticks >= 3 && clock.elapsed() > 900)) QTest::qWait(20);
    EXPECT_EQ(measured, c.measured);
    EXPECT_EQ(touched, c.touched);
    EXPECT_EQ(!window.isVisible(), c.closed);
    if (!c.closed) {
      EXPECT_EQ(ticks, 3) << "the watch ended at the press";
    }
  }
}

}  // namespace
}  // namespace trazvik::ui
