// The one reading of a typed setting value: the forms of each kind of
// control, and the refusals in the words every command uses.
#include "config/setting_value_text.h"
#include "config/tdlgkonfig.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(SettingValueText, EachKindTakesItsForms) {
  const struct {
    const char* setting;
    const char* text;
    char separator;
    double expected;
  } cases[] = {
      {"WorkSpeed", "250", '.', 250},
      {"WorkSpeed", "250.5", ',', 250.5},
      {"WorkSpeed", "250,5", ',', 250.5},
      {"WorkSpeed", " 300 ", '.', 300},
      {"skala", "1E2", '.', 100},
      {"doOutline", "cbUnchecked", '.', 0},
      {"doOutline", "cbChecked", '.', 1},
      {"doOutline", "cbGrayed", '.', 2},
      {"doOutline", "TRUE", '.', 1},
      {"doOutline", "off", '.', 0},
      {"doOutline", "On", '.', 1},
      {"doOutline", "0", '.', 0},
      {"doOutline", "1", '.', 1},
      {"rbOdjazdDoPunktu", "-1", '.', 1},
      {"rbOdjazdDoPunktu", "0", '.', 0},
      {"rbOdjazdDoPunktu", "on", '.', 1},
      {"rgJm", "2", '.', 2},
      {"rgJm", "Inch", '.', 1},
      {"tbRuchNaLukach", "700", '.', 700},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.setting) + "=" + c.text);
    const auto value = config::settingValueOf(TDlgkonfig::def(c.setting), c.text, c.separator);
    ASSERT_TRUE(value);
    EXPECT_DOUBLE_EQ(*value, c.expected);
  }
  const struct {
    const char* setting;
    const char* text;
  } refused[] = {
      {"WorkSpeed", "fast"}, {"WorkSpeed", "250mm"}, {"WorkSpeed", ""},        {"doOutline", "yes"},
      {"doOutline", "2"},    {"rgJm", "metre"},      {"ProjektType", "multi"}, {"tbRuchNaLukach", "7.5"},
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(config::settingValueOf(TDlgkonfig::def(c.setting), c.text, '.')) << c.setting << "=" << c.text;
  }
}

TEST(SettingValueText, TypedValuesOutsideTheLimitsAreRefusedAndChangeNothing) {
  TDlgkonfig settings('.');
  EXPECT_FALSE(config::applySettingAssignment(settings, "WorkSpeed=600"));
  EXPECT_DOUBLE_EQ(settings.real("WorkSpeed"), 600);
  EXPECT_FALSE(config::applySettingAssignment(settings, "auto_add=cbUnchecked"));
  EXPECT_FALSE(settings.flag("auto_add"));
  const struct {
    const char* assignment;
    const char* message;
  } cases[] = {
      {"WorkSpeed=5", "WorkSpeed: 5 is outside 20 .. 1000"},
      {"ProjektType=2", "ProjektType: 2 is outside -1 .. 1"},
      {"WorkSpeed=fast", "WorkSpeed: \"fast\" is not a number (millimetres)"},
      {"nosuch=1", "there is no setting nosuch"},
      {"WorkSpeed", "expected NAME=VALUE"},
  };
  for (const auto& c : cases) {
    const auto error = config::applySettingAssignment(settings, c.assignment);
    ASSERT_TRUE(error) << c.assignment;
    EXPECT_EQ(*error, c.message);
  }
  EXPECT_DOUBLE_EQ(settings.real("WorkSpeed"), 600);
  EXPECT_EQ(settings.integer("ProjektType"), 0);
}

}  // namespace
}  // namespace trazvik
