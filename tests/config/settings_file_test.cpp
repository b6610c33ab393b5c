// Reading and writing the lines of a settings file.
#include "config/settings_file.h"

#include <gtest/gtest.h>

#include <string>

namespace trazvik::config {
namespace {

TEST(SettingsLine, NameAndValueAreCutAsTheReaderDoes) {
  const struct {
    const char* line;
    const char* name;
    const char* value;
  } cases[] = {
      {"WorkSpeed := 500", "WorkSpeed", "500"},
      {"WorkSpeed=250", "WorkSpeed", "250"},
      {"WorkSpeed: 250", "WorkSpeed", "250"},
      {"WorkSpeed := 250 mm/min", "WorkSpeed", "250"},
      {"doOutline := cbChecked\r", "doOutline", "cbChecked"},
      {"WorkSpeed", "WorkSpeed", ""},
      {"", "", ""},
      {" := 5", "", "5"},
      {"a:=:= =b c", "a", "b"},
  };
  for (const auto& c : cases) {
    const SettingsLine parsed = parseSettingsLine(c.line);
    EXPECT_EQ(parsed.name, c.name) << c.line;
    EXPECT_EQ(parsed.value, c.value) << c.line;
  }
}

TEST(SettingsFileText, OneLinePerSettingInDeclarationOrderWithCrLf) {
  const TDlgkonfig settings(',');
  const std::string text = settingsFileText(settings);
  EXPECT_EQ(text.substr(0, 27), "auto_add := cbChecked\r\nauto");
  EXPECT_NE(text.find("\r\nWorkSpeed := 500\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nponad_stol := 0,49\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nrbPowrotDo0projektu := -1\r\nrbOdjazdDoPunktu := 0\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nskala := 100\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\ntbRuchNaLukach := 100\r\n"), std::string::npos);
  std::size_t lines = 0;
  for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++lines;
  EXPECT_EQ(lines, settingCatalogue().size());
  EXPECT_EQ(text.find('\n', 0), text.find("\r\n") + 1);
}

// Every setting but the named ones still at its declared value.
void expectOthersUntouched(const TDlgkonfig& settings, std::initializer_list<std::string_view> changed) {
  const TDlgkonfig defaults(settings.decimalSeparator());
  for (const auto& def : settingCatalogue()) {
    if (std::find(changed.begin(), changed.end(), def.name) != changed.end()) continue;
    EXPECT_EQ(settings.shownText(def.name), defaults.shownText(def.name)) << def.name;
  }
}

TEST(SettingsFileReading, ExampleLinesGiveTheirDocumentedResults) {
  const struct {
    const char* text;
    char separator;
    const char* setting;
    double expected;
  } cases[] = {
      {"WorkSpeed=250\r\n", '.', "WorkSpeed", 250},
      {"WorkSpeed := 250 mm/min\r\n", '.', "WorkSpeed", 250},
      {"WorkSpeed := 250mm\r\n", '.', "WorkSpeed", 250},
      {"ponad_stol := 0,49\r\n", '.', "ponad_stol", 0},
      {"ponad_stol := 0,49\r\n", ',', "ponad_stol", 0.49},
      {"ponad_stol := 0.49\r\n", ',', "ponad_stol", 0.49},  // a point is a decimal point in any locale
      {"skok := 1E-5\r\n", '.', "skok", 0.01},              // the written form of small numbers, clamped
      {"grubosc := 500\r\n", '.', "grubosc", 170},          // clamped to the limit
      {"ponad_stol := -99\r\n", '.', "ponad_stol", -40},
      {"ProjektType := 5\r\n", '.', "ProjektType", 1},  // clamped to the items
      {"Order_global := -4\r\n", '.', "Order_global", -1},
      {"tbRuchNaLukach := 0\r\n", '.', "tbRuchNaLukach", 1},
      {"tbRuchNaLukach := 99999\r\n", '.', "tbRuchNaLukach", 3000},
      {"doOutline := cbUnchecked\r\n", '.', "doOutline", 0},
      {"doOutline := yes\r\n", '.', "doOutline", 0},  // unknown words uncheck
      {"wygladzanie := on\r\n", '.', "wygladzanie", 1},
      {"doOutline := False\r\n", '.', "doOutline", 0},
      {"negatyw := 1\r\n", '.', "negatyw", 1},
      {"rgJm := inch\r\n", '.', "rgJm", 1},  // the item's own name
      {"negatyw := cbGrayed\r\n", '.', "negatyw", 2},
      {"rbOdjazdDoPunktu := TRUE\r\n", '.', "rbOdjazdDoPunktu", 1},
      {"rbOdjazdDoPunktu := 7\r\n", '.', "rbOdjazdDoPunktu", 1},
      {"rbPowrotDo0projektu := false\r\n", '.', "rbPowrotDo0projektu", 0},
      {"WorkSpeed=300\nnadmat=7", '.', "nadmat", 7},  // LF alone, no final line end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TDlgkonfig settings(c.separator);
    const SettingsApplied applied = applySettingsText(settings, c.text, "t.mcc");
    EXPECT_TRUE(applied.complete) << applied.error;
    EXPECT_DOUBLE_EQ(settings.real(c.setting), c.expected);
  }
}

TEST(SettingsFileReading, OnlyNamedSettingsChangeAndNamesMatchExactly) {
  TDlgkonfig settings('.');
  const auto applied =
      applySettingsText(settings, "WorkSpeed=250\r\nworkspeed := 300\r\nnoSuchThing := 1\r\n\r\n", "t.mcc");
  EXPECT_TRUE(applied.complete);
  EXPECT_FALSE(applied.namedArcFactor);
  EXPECT_DOUBLE_EQ(settings.real("WorkSpeed"), 250);
  expectOthersUntouched(settings, {"WorkSpeed"});
}

TEST(SettingsFileReading, LaterOptionButtonOfAGroupWins) {
  TDlgkonfig settings('.');
  applySettingsText(settings, "rbOdjazdDoPunktu := -1\r\nrbTylkoGlowicaDoGory := -1\r\n", "t.mcc");
  EXPECT_FALSE(settings.flag("rbPowrotDo0projektu"));
  EXPECT_FALSE(settings.flag("rbOdjazdDoPunktu"));
  EXPECT_TRUE(settings.flag("rbTylkoGlowicaDoGory"));
}

TEST(SettingsFileReading, UnconvertibleValueStopsAtItsLineAndSaysWhere) {
  const struct {
    const char* badLine;
    const char* setting;
  } cases[] = {
      {"WorkSpeed := abc", "WorkSpeed"},
      {"WorkSpeed :=", "WorkSpeed"},
      {"ProjektType := 1.5", "ProjektType"},
      {"tbRuchNaLukach := x", "tbRuchNaLukach"},
      {"rbOdjazdDoPunktu := yes", "rbOdjazdDoPunktu"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.badLine);
    TDlgkonfig settings('.');
    const std::string text = std::string("grubosc := 20\r\n") + c.badLine + "\r\nnadmat := 7\r\n";
    const SettingsApplied applied = applySettingsText(settings, text, "/data/cut.mcc");
    EXPECT_FALSE(applied.complete);
    EXPECT_NE(applied.error.find("/data/cut.mcc"), std::string::npos) << applied.error;
    EXPECT_NE(applied.error.find("line 2"), std::string::npos) << applied.error;
    EXPECT_NE(applied.error.find(c.setting), std::string::npos) << applied.error;
    EXPECT_DOUBLE_EQ(settings.real("grubosc"), 20);  // before the bad line: applied
    EXPECT_DOUBLE_EQ(settings.real("nadmat"), 5);    // after it: not applied
  }
}

TEST(SettingsFileReading, UnitLineConvertsTheFieldsReadBeforeIt) {
  // With inches shown, a field showing 0.019 in is saved as 0.4826 mm.
  TDlgkonfig inches('.');
  inches.set("rgJm", 1);
  EXPECT_EQ(inches.shownText("ponad_stol"), "0.019");
  const std::string text = settingsFileText(inches);
  EXPECT_NE(text.find("ponad_stol := 0.4826\r\n"), std::string::npos);
  TDlgkonfig loaded('.');
  applySettingsText(loaded, text, "t.mcc");
  EXPECT_EQ(loaded.unitIndex(), 1);
  EXPECT_EQ(loaded.shownText("ponad_stol"), "0.019");
  EXPECT_DOUBLE_EQ(loaded.real("ponad_stol"), 0.4826);
  EXPECT_EQ(loaded.shownText("feuOdjazdX"), "0.00");  // stays in millimetres
}

// A value off its default for every setting, within its limits.
void changeEverySetting(TDlgkonfig& settings) {
  for (const auto& def : settingCatalogue()) {
    switch (def.kind) {
      case SettingKind::Check: settings.set(def.name, def.defaultValue == 1 ? 2 : 1); break;
      case SettingKind::Option: break;  // the group below
      case SettingKind::Group:
        if (def.name != "rgJm") settings.set(def.name, def.maxValue == def.defaultValue ? 0 : def.maxValue);
        break;
      case SettingKind::Slider: settings.set(def.name, 1234); break;
      default: {
        const bool unlimited = def.minValue == def.maxValue;
        const double value = unlimited ? -123.456 : def.minValue + (def.maxValue - def.minValue) * 0.3719;
        settings.set(def.name, value);
      }
    }
  }
  settings.setChecked("rbOdjazdDoPunktu", true);
}

TEST(SettingsFileRoundTrip, TheChangedValuesDifferFromTheDefaults) {
  TDlgkonfig changed('.');
  changeEverySetting(changed);
  const TDlgkonfig defaults('.');
  const auto catalogue = settingCatalogue();
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    if (catalogue[i].name == "rgJm" || catalogue[i].name == "rbTylkoGlowicaDoGory") continue;
    EXPECT_NE(changed.fileValue(i), defaults.fileValue(i)) << catalogue[i].name;
  }
}

TEST(SettingsFileRoundTrip, EverySettingSurvivesSaveAndLoadAtEachUnit) {
  for (char separator : {'.', ','}) {
    for (int unit : {0, 1, 2}) {
      SCOPED_TRACE(std::string("unit ") + std::to_string(unit) + " separator " + separator);
      TDlgkonfig saved(separator);
      changeEverySetting(saved);
      saved.set("rgJm", unit);
      const std::string text = settingsFileText(saved);
      TDlgkonfig loaded(separator);
      const SettingsApplied applied = applySettingsText(loaded, text, "t.mcc");
      ASSERT_TRUE(applied.complete) << applied.error;
      for (const auto& def : settingCatalogue()) {
        EXPECT_EQ(loaded.shownText(def.name), saved.shownText(def.name)) << def.name;
        EXPECT_DOUBLE_EQ(loaded.real(def.name), saved.real(def.name)) << def.name;
      }
      EXPECT_EQ(settingsFileText(loaded), text);
    }
  }
}

}  // namespace
}  // namespace trazvik::config
