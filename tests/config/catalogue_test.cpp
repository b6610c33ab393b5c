// The catalogue of settings and reading and writing them by name.
#include "config/tdlgkonfig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace trazvik {
namespace {

using config::SettingKind;

TEST(SettingCatalogue, NamesAreUniqueAndFoundByExactName) {
  std::set<std::string_view> seen;
  const auto catalogue = config::settingCatalogue();
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    EXPECT_TRUE(seen.insert(catalogue[i].name).second) << catalogue[i].name;
    EXPECT_EQ(config::findSetting(catalogue[i].name), i);
    EXPECT_FALSE(catalogue[i].captionKey.empty()) << catalogue[i].name;
  }
  EXPECT_FALSE(config::findSetting("workspeed"));
  EXPECT_FALSE(config::findSetting("Cancel"));
}

TEST(SettingCatalogue, DeclarationOrderFollowsTheTabs) {
  const auto catalogue = config::settingCatalogue();
  EXPECT_EQ(catalogue.front().name, "auto_add");
  EXPECT_EQ(catalogue.back().name, "feuOffsetY_RB2");
  // Lines of a settings file come in this order; a few neighbours that a
  // reordering would break.
  const char* order[] = {"mnoznikZ",
                         "order_fig",
                         "Order_global",
                         "WszystkieWjednej",
                         "out_dir",
                         "in_dir",
                         "grubosc",
                         "ponad_stol",
                         "WorkSpeed",
                         "przespeed",
                         "nadmat",
                         "doOutline",
                         "srednica",
                         "wygladzanie",
                         "wiercenie_posuw",
                         "IP4",
                         "cbEthernetConnection",
                         "tbRuchNaLukach",
                         "CzasRozruchu",
                         "PrzedWierceniem",
                         "rgJm",
                         "rbPowrotDo0projektu",
                         "rbOdjazdDoPunktu",
                         "feuOdjazdY",
                         "feuOdjazdX",
                         "feuOffsetXGlowica3",
                         "feuOffsetYGlowica3",
                         "feuOffsetYGlowica2",
                         "cbZalaczPompeProzniowa",
                         "fePrzyspieszenie"};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    EXPECT_LT(*config::findSetting(order[i - 1]), *config::findSetting(order[i]))
        << order[i - 1] << " before " << order[i];
  }
}

TEST(SettingCatalogue, ExactlyTheFifteenUnitFieldsConvert) {
  const std::set<std::string_view> expected{"srednica",          "grubosc",        "Glebokosc",    "skok",
                                            "ponad_stol",        "WorkSpeed",      "nadmat",       "poler_grubosc",
                                            "Polerspeed",        "Poler_start",    "przespeed",    "wiercenie_posuw",
                                            "wiercenie_cofanie", "Skok_wiercenia", "GruboscPlytki"};
  std::set<std::string_view> converted;
  for (const auto& def : config::settingCatalogue()) {
    if (def.unitConverted) {
      converted.insert(def.name);
      EXPECT_EQ(def.kind, SettingKind::Length) << def.name;
      EXPECT_FALSE(def.unitLabel.empty()) << def.name;
    }
  }
  EXPECT_EQ(converted, expected);
}

struct DeclaredSetting {
  const char* name;
  SettingKind kind;
  double value;
  double min;
  double max;
  bool important;
};

TEST(SettingCatalogue, DeclaredDefaultsAndLimits) {
  const DeclaredSetting rows[] = {
      {"auto_optymalizacja", SettingKind::Check, 0, 0, 2, false},
      {"crosstopoint", SettingKind::Check, 1, 0, 2, true},
      {"skala", SettingKind::Number, 100, 1, 1000, true},
      {"mnoznikZ", SettingKind::Number, 1, 0.1, 100, false},
      {"Order_global", SettingKind::Group, 1, -1, 5, true},
      {"out_dir", SettingKind::Group, 2, -1, 2, true},
      {"ponad_stol", SettingKind::Length, 0.49, -40, 120, true},
      {"WorkSpeed", SettingKind::Length, 500, 20, 1000, false},
      {"skok", SettingKind::Length, 100, 0.01, 1000, true},
      {"poler_grubosc", SettingKind::Length, 0.3, 0, 1, true},
      {"GruboscPlytki", SettingKind::Length, 15, 0, 20, true},
      {"IP1", SettingKind::Length, 192, 0, 65000, false},
      {"tbRuchNaLukach", SettingKind::Slider, 100, 1, 3000, false},
      {"CzasRozruchu", SettingKind::Number, 3, 0, 10, true},
      {"rbPowrotDo0projektu", SettingKind::Option, 1, 0, 1, false},
      {"feuOdjazdX", SettingKind::Length, 0, 0, 700, true},
      {"feInterwalSygnalizacji", SettingKind::Number, 3, 1, 60, true},
      {"BMPKrok", SettingKind::Length, 0.15, 0, 100, true},
      {"feuPomiarNarzX", SettingKind::Length, 1280, 0, 0, true},
      {"fePrzyspieszenie", SettingKind::Number, 0, 0, 14, false},
      {"feuOffsetY_RB2", SettingKind::Length, 0, -5, 5, false},
  };
  const TDlgkonfig cfg('.');
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto& def = TDlgkonfig::def(row.name);
    EXPECT_EQ(def.kind, row.kind);
    EXPECT_EQ(def.important, row.important);
    EXPECT_DOUBLE_EQ(cfg.real(row.name), row.value);
    EXPECT_DOUBLE_EQ(cfg.minOf(row.name), row.min);
    EXPECT_DOUBLE_EQ(cfg.maxOf(row.name), row.max);
  }
}

TEST(TDlgkonfigByName, ReadsTypedValuesAndRejectsUnknownNames) {
  TDlgkonfig cfg('.');
  EXPECT_TRUE(cfg.flag("doOutline"));
  EXPECT_FALSE(cfg.flag("negatyw"));
  EXPECT_TRUE(cfg.flag("rbPowrotDo0projektu"));
  EXPECT_EQ(cfg.integer("order_fig"), 1);
  EXPECT_DOUBLE_EQ(cfg.real("Glebokosc"), 1.5);
  EXPECT_EQ(cfg.shownText("Glebokosc"), "1.50");

  try {
    (void)cfg.real("Workspeed");
    FAIL() << "an unknown name must throw";
  } catch (const UnknownSettingError& e) {
    EXPECT_NE(std::string(e.what()).find("Workspeed"), std::string::npos);
  }
  EXPECT_THROW(cfg.set("nosuch", 1), UnknownSettingError);
  EXPECT_THROW((void)cfg.flag("WorkSpeed"), SettingKindError);
  EXPECT_THROW(cfg.setChecked("ProjektType", true), SettingKindError);
}

TEST(TDlgkonfigByName, WritesClampAsTheControlsDo) {
  TDlgkonfig cfg('.');
  cfg.set("WorkSpeed", 5000);
  EXPECT_DOUBLE_EQ(cfg.real("WorkSpeed"), 1000);
  cfg.set("grubosc", -3);
  EXPECT_DOUBLE_EQ(cfg.real("grubosc"), 0);
  cfg.set("ProjektType", 7);
  EXPECT_EQ(cfg.integer("ProjektType"), 1);
  cfg.set("Order_global", -9);
  EXPECT_EQ(cfg.integer("Order_global"), -1);
  cfg.set("tbRuchNaLukach", 0);
  EXPECT_EQ(cfg.integer("tbRuchNaLukach"), 1);
  // Fields whose limits are equal are not limited.
  cfg.set("feuOffsetXGlowica2", -12345.5);
  EXPECT_DOUBLE_EQ(cfg.real("feuOffsetXGlowica2"), -12345.5);
  // Not a number changes nothing; infinity goes to the limit.
  cfg.set("rgJm", std::nan(""));
  EXPECT_EQ(cfg.unitIndex(), 0);
  cfg.set("Glebokosc", std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(cfg.real("Glebokosc"), 170);
  cfg.setCheckState("negatyw", CheckState::Grayed);
  EXPECT_EQ(cfg.checkState("negatyw"), CheckState::Grayed);
  EXPECT_FALSE(cfg.flag("negatyw"));
}

TEST(TDlgkonfigByName, OptionButtonsOfOneGroupExcludeEachOther) {
  TDlgkonfig cfg('.');
  cfg.setChecked("rbOdjazdDoPunktu", true);
  EXPECT_TRUE(cfg.flag("rbOdjazdDoPunktu"));
  EXPECT_FALSE(cfg.flag("rbPowrotDo0projektu"));
  cfg.setChecked("rbTylkoGlowicaDoGory", true);
  EXPECT_FALSE(cfg.flag("rbOdjazdDoPunktu"));
  EXPECT_TRUE(cfg.flag("rbTylkoGlowicaDoGory"));
}

}  // namespace
}  // namespace trazvik

namespace trazvik {
namespace {

TEST(SettingCatalogue, TextKeysCoverCaptionsItemsAndActions) {
  const auto keys = config::settingTextKeys();
  const auto has = [&](std::string_view section, std::string_view key) {
    return std::find(keys.begin(), keys.end(), config::TextKey{section, key}) != keys.end();
  };
  EXPECT_TRUE(has("Configuration", "txtGruboscMaterialu.Caption"));
  EXPECT_TRUE(has("Configuration", "doOutlineWiazka.Caption"));
  EXPECT_TRUE(has("Configuration", "order_global.Items.Strings_5"));
  EXPECT_TRUE(has("Configuration", "PolozeniePlytki.Items_2"));
  EXPECT_TRUE(has("Configuration", "feuOdjazdXY.hint"));
  EXPECT_TRUE(has("Configuration", "tabCiecie.caption"));
  EXPECT_TRUE(has("Form_Calibration", "form.caption"));
  EXPECT_FALSE(has("Configuration", "CNC"));
  EXPECT_FALSE(has("Configuration", "inch"));
  for (const auto& def : config::settingCatalogue()) {
    EXPECT_TRUE(has("Configuration", def.captionKey)) << def.name;
  }
}

}  // namespace
}  // namespace trazvik
