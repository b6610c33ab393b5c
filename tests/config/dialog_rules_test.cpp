// Machine limits, the effects of changes and the enabling and visibility
// rules of the settings.
#include "config/tdlgkonfig.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

config::MachineContext router() {
  config::MachineContext m;
  m.identified = true;
  m.machineType = "YFV";
  m.cncMachine = true;
  m.usbGeneration = true;
  m.controllerVersion = 560;
  m.minFeed = 100;
  m.maxWorkFeed = 8000;
  m.maxTravelFeed = 16000;
  m.maxFeedZ = 3000;
  m.maxSmoothFeed = 5000;
  m.minSpindle = 3000;
  m.maxSpindle = 24000;
  m.workAreaX = 1300;
  m.workAreaY = 2500;
  m.radiusFactorStraight = 1200;
  return m;
}

config::MachineContext laser() {
  config::MachineContext m = router();
  m.machineType = "WTK32";
  m.isLaser = true;
  m.usbGeneration = true;
  m.minSpindle = 0;
  m.maxSpindle = 100;
  return m;
}

TEST(SetParam, MachineTypeReplacesTheSpeedSpindleAndAreaLimits) {
  TDlgkonfig cfg('.');
  cfg.SetParam(router());
  const struct {
    const char* name;
    double min;
    double max;
  } cases[] = {
      {"WorkSpeed", 100, 8000},      {"przespeed", 100, 16000},       {"Polerspeed", 100, 8000},
      {"wiercenie_posuw", 20, 3000}, {"wiercenie_cofanie", 20, 3000}, {"work_power", 3000, 24000},
      {"poler_power", 3000, 24000},  {"feuOdjazdX", 0, 1300},         {"feuOdjazdY", 0, 2500},
      {"grubosc", 0, 170},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(cfg.minOf(c.name), c.min) << c.name;
    EXPECT_DOUBLE_EQ(cfg.maxOf(c.name), c.max) << c.name;
  }
  EXPECT_EQ(cfg.unitLabelText("work_power"), "[rpm]");
  cfg.set("WorkSpeed", 7000);
  EXPECT_DOUBLE_EQ(cfg.real("WorkSpeed"), 7000);

  // Without a known machine the declared limits come back.
  cfg.SetParam(config::MachineContext{});
  EXPECT_DOUBLE_EQ(cfg.maxOf("WorkSpeed"), 1000);
  EXPECT_EQ(cfg.unitLabelText("work_power"), "[%]");
}

TEST(SetParam, AMachineWithoutATravelFeedKeepsTheDeclaredLimit) {
  config::MachineContext m = router();
  m.maxTravelFeed = 0;  // a plotter type without its own travel feed
  TDlgkonfig cfg('.');
  cfg.SetParam(m);
  EXPECT_DOUBLE_EQ(cfg.maxOf("przespeed"), 1000);
  EXPECT_DOUBLE_EQ(cfg.real("przespeed"), 1000);
}

TEST(VIChange, SmoothingOnACncMachineLowersTheWorkingSpeed) {
  TDlgkonfig cfg('.');
  cfg.SetParam(router());
  cfg.set("WorkSpeed", 7000);
  cfg.wazna_zmiana = false;
  cfg.setChecked("wygladzanie", true);
  EXPECT_TRUE(cfg.wazna_zmiana);
  EXPECT_TRUE(cfg.smoothing());
  EXPECT_DOUBLE_EQ(cfg.maxOf("WorkSpeed"), 5000);
  EXPECT_DOUBLE_EQ(cfg.real("WorkSpeed"), 5000);
  cfg.setChecked("wygladzanie", false);
  EXPECT_DOUBLE_EQ(cfg.maxOf("WorkSpeed"), 8000);
}

TEST(ImportantChange, SetByMarkedControlsAndByClicksForScale) {
  TDlgkonfig cfg('.');
  const struct {
    const char* name;
    double value;
    bool important;
  } cases[] = {
      {"grubosc", 12, true},  {"WorkSpeed", 300, false}, {"negatyw", 1, true},      {"auto_add", 0, false},
      {"order_fig", 2, true}, {"skala", 50, false},      {"CzasRozruchu", 5, true},
  };
  for (const auto& c : cases) {
    cfg.wazna_zmiana = false;
    cfg.set(c.name, c.value);
    EXPECT_EQ(cfg.wazna_zmiana, c.important) << c.name;
  }
  cfg.wazna_zmiana = false;
  cfg.fieldClicked("skala");
  EXPECT_TRUE(cfg.wazna_zmiana);
  cfg.wazna_zmiana = false;
  cfg.fieldClicked("grubosc");
  EXPECT_FALSE(cfg.wazna_zmiana);
}

TEST(EnablingRules, FinishingPassNeedsTheSpiralPlunge) {
  TDlgkonfig cfg('.');
  cfg.setChecked("polerowanie", true);
  for (const char* name : {"skok", "polerowanie", "poler_grubosc", "Polerspeed", "Poler_start", "poler_power"}) {
    EXPECT_FALSE(cfg.isEnabled(name)) << name;
  }
  cfg.setChecked("cbZejsciePoSpirali", true);
  for (const char* name : {"skok", "polerowanie", "poler_grubosc", "Polerspeed", "Poler_start", "poler_power"}) {
    EXPECT_TRUE(cfg.isEnabled(name)) << name;
  }
  cfg.setChecked("doOutline", false);
  EXPECT_FALSE(cfg.isEnabled("srednica"));
}

TEST(EnablingRules, MultiLayerProjectTakesDepthSpeedAndPowerFromItsLayers) {
  TDlgkonfig cfg('.');
  EXPECT_TRUE(cfg.isEnabled("Glebokosc"));
  EXPECT_EQ(cfg.labelHintKey("WorkSpeed"), "");
  cfg.set("ProjektType", 1);
  for (const char* name : {"Glebokosc", "WorkSpeed", "work_power"}) EXPECT_FALSE(cfg.isEnabled(name)) << name;
  EXPECT_TRUE(cfg.isEnabled("przespeed"));
  EXPECT_EQ(cfg.labelHintKey("Glebokosc"), "lGlebokoscFrezowania.hint");
  EXPECT_EQ(cfg.labelHintKey("WorkSpeed"), "lWorkSpeed.hint");
  EXPECT_EQ(cfg.labelHintKey("work_power"), "lWorkSpeed.hint");
}

TEST(MachineDependentControls, LaserShowsBurningAndHidesDrilling) {
  TDlgkonfig cfg('.');
  cfg.setChecked("cbZejsciePoSpirali", true);
  cfg.SetParam(laser());
  cfg.activate();
  EXPECT_FALSE(cfg.flag("cbZejsciePoSpirali"));
  EXPECT_DOUBLE_EQ(cfg.spiralPitch(), 100);
  EXPECT_TRUE(cfg.isVisible("TabSheetBMP"));
  EXPECT_TRUE(cfg.isEnabled("MocDlaCzarnego"));
  EXPECT_TRUE(cfg.isEnabled("CzasImpulsu"));
  EXPECT_FALSE(cfg.isVisible("wiercenie"));
  EXPECT_FALSE(cfg.isEnabled("wiercenie_posuw"));
  EXPECT_FALSE(cfg.isVisible("rbTylkoGlowicaDoGory"));
  EXPECT_FALSE(cfg.isEnabled("grubosc"));
  EXPECT_FALSE(cfg.isEnabled("PolozeniePlytki"));
  EXPECT_EQ(cfg.captionKey("srednica"), "lSrednicaWiazki.Caption");
  EXPECT_EQ(cfg.captionKey("doOutline"), "doOutlineWiazka.Caption");
  EXPECT_EQ(cfg.unitLabelText("work_power"), "[%]");

  config::MachineContext focus = laser();
  focus.laserZAxis = true;
  cfg.SetParam(focus);
  EXPECT_TRUE(cfg.isEnabled("grubosc"));

  cfg.SetParam(router());
  EXPECT_FALSE(cfg.isVisible("TabSheetBMP"));
  EXPECT_FALSE(cfg.isEnabled("LaserMiekkiStart"));
  EXPECT_TRUE(cfg.isEnabled("wiercenie_posuw"));
  EXPECT_EQ(cfg.captionKey("srednica"), "lSrednicaFreza.Caption");
  EXPECT_DOUBLE_EQ(cfg.spiralPitch(), cfg.real("skok"));
}

TEST(MachineDependentControls, TabsAndGroupsFollowMachineAndSwitches) {
  TDlgkonfig cfg('.');
  config::MachineContext m = router();
  cfg.SetParam(m);
  EXPECT_FALSE(cfg.isVisible("tsYJB"));
  EXPECT_FALSE(cfg.isVisible("tsRB2"));
  EXPECT_FALSE(cfg.isVisible("tsSerwis"));
  EXPECT_FALSE(cfg.isVisible("fePrzyspieszenie"));
  EXPECT_FALSE(cfg.isVisible("GroupBoxIP"));
  EXPECT_FALSE(cfg.isVisible("IP1"));
  EXPECT_FALSE(cfg.isVisible("gbRuchNaLukach"));
  EXPECT_FALSE(cfg.isVisible("Smarowanie"));
  EXPECT_TRUE(cfg.isEnabled("wygladzanie"));

  m.headCount = 3;
  m.machineType = "RB2";
  m.drillSlots = true;
  m.info1 = "YFF 333 ";
  m.controllerVersion = 549;
  cfg.SetParam(m);
  cfg.setSwitches({.service = true, .ethernet = true, .arcV = true});
  EXPECT_TRUE(cfg.isVisible("tsYJB"));
  EXPECT_TRUE(cfg.isVisible("tsRB2"));
  EXPECT_TRUE(cfg.isVisible("fePrzyspieszenie"));
  EXPECT_TRUE(cfg.isVisible("IP1"));
  EXPECT_TRUE(cfg.isVisible("tbRuchNaLukach"));
  EXPECT_TRUE(cfg.isVisible("gbCalibration"));
  EXPECT_TRUE(cfg.isVisible("Smarowanie"));
  EXPECT_FALSE(cfg.isEnabled("PodczasCiecia"));  // only YFF and YRF lubricate
  EXPECT_FALSE(cfg.isEnabled("wygladzanie"));
}

TEST(MachineDependentControls, KnifeOptionsOnlyWithAKnifeAxis) {
  TDlgkonfig cfg('.');
  cfg.setChecked("CBAktywnaGlowica", true);
  config::MachineContext m = router();
  m.knifeAxis = true;
  cfg.SetParam(m);
  cfg.SetMachineDependentControls();
  EXPECT_TRUE(cfg.flag("CBAktywnaGlowica"));
  EXPECT_TRUE(cfg.isEnabled("CBDwuKierunkowyNoz"));
  m.knifeAxis = false;
  cfg.SetParam(m);
  cfg.SetMachineDependentControls();
  EXPECT_FALSE(cfg.flag("CBAktywnaGlowica"));
  EXPECT_FALSE(cfg.isVisible("CBAktywnaGlowica"));
}

TEST(DialogEffects, ProportionalImageSizeFollowsTheBitmap) {
  TDlgkonfig cfg('.');
  cfg.set("SzerokoscObrazu", 30);
  EXPECT_DOUBLE_EQ(cfg.real("WysokoscObrazu"), 40);  // no bitmap yet: nothing follows
  cfg.setBitmapPixelSize(200, 100);
  EXPECT_DOUBLE_EQ(cfg.real("WysokoscObrazu"), 15);
  cfg.set("WysokoscObrazu", 40);
  EXPECT_DOUBLE_EQ(cfg.real("SzerokoscObrazu"), 80);
  cfg.setChecked("Proporcjonalnie", false);
  cfg.set("WysokoscObrazu", 10);
  EXPECT_DOUBLE_EQ(cfg.real("SzerokoscObrazu"), 80);
}

TEST(DialogEffects, UnitChangeConvertsOnlyTheMarkedFields) {
  TDlgkonfig cfg('.');
  cfg.set("rgJm", 2);
  EXPECT_EQ(cfg.unitIndex(), 2);
  EXPECT_EQ(cfg.shownText("grubosc"), "0.0328");  // 10 mm in feet, 4 decimals
  EXPECT_EQ(cfg.unitLabelText("grubosc"), "[ft]");
  EXPECT_EQ(cfg.unitLabelText("przespeed"), "[ft/min]");
  EXPECT_EQ(cfg.shownText("feuPomiarNarzX"), "1280.00");
  EXPECT_EQ(cfg.unitLabelText("feuPomiarNarzX"), "[mm]");
  EXPECT_EQ(cfg.shownText("IP1"), "192");
  EXPECT_EQ(cfg.shownText("BMPKrok"), "0.15");
}

TEST(DialogActions, AccelerationIsTheFieldRoundedToAnInteger) {
  TDlgkonfig cfg('.');
  EXPECT_EQ(cfg.accelerationToSend(), 0);
  cfg.enterText("fePrzyspieszenie", "6.5");
  EXPECT_EQ(cfg.accelerationToSend(), 6);  // halves to the even neighbour
  cfg.enterText("fePrzyspieszenie", "15");
  EXPECT_EQ(cfg.accelerationToSend(), 14);  // clamped when the field was left
}

TEST(DialogActions, ArcShortcutsPositionAndAddress) {
  TDlgkonfig cfg('.');
  cfg.SetParam(router());
  cfg.arcFastest();
  EXPECT_EQ(cfg.integer("tbRuchNaLukach"), 3000);
  cfg.arcSlowest();
  EXPECT_EQ(cfg.integer("tbRuchNaLukach"), 1);
  cfg.restoreDefaultArcFactor();
  EXPECT_EQ(cfg.integer("tbRuchNaLukach"), 1200);
  cfg.takeCurrentPosition(123456, 7890);
  EXPECT_DOUBLE_EQ(cfg.real("feuOdjazdX"), 1234.56);
  EXPECT_DOUBLE_EQ(cfg.real("feuOdjazdY"), 78.9);
  cfg.set("IP4", 300);
  cfg.set("IP3", 2.5);  // halves go to the even neighbour
  EXPECT_EQ(cfg.addressText(), "192.168.2.300");
  EXPECT_EQ(cfg.ipCommand(), std::string("SIP\xC0\xA8\x02\x2C", 7));
}

}  // namespace
}  // namespace trazvik
