#include "app/main_form_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace trazvik::app {
namespace {

tStanGlownegoOkna withProject(int fileType) {
  tStanGlownegoOkna s;
  s.projectCount = 1;
  s.activeFileType = fileType;
  s.machine = true;
  s.cuttingAvailable = true;
  return s;
}

std::set<std::string> enabledVisible(const std::map<std::string, tStanKontrolki>& st) {
  std::set<std::string> names;
  for (const auto& [name, state] : st)
    if (state.enabled && state.visible) names.insert(name);
  return names;
}

TEST(MainFormRules, WithoutProjectsOnlyTheProjectFreeCommandsAreUsable) {
  tStanGlownegoOkna s;
  s.machine = true;
  s.cuttingAvailable = true;
  const auto st = UpdateMenuItems(s);
  for (const char* name :
       {"FileOpenItem", "OpenBtn", "mKonfigGlowna", "sterowanie", "About1", "miPodgladDziennikow", "FileExitItem"})
    EXPECT_TRUE(st.at(name).enabled && st.at(name).visible) << name;
  for (const char* name :
       {"FileCloseItem",    "Symulacja",   "SpeedSymulacja",     "SpeedStart",        "Start1",         "Tnijwybran1",
        "Startodwybranej1", "Skont",       "Kontynuacja1",       "WindowCascadeItem", "WindowTileItem", "Widok",
        "Window1",          "info",        "mKreskowanie",       "mWarstwy",          "tbZoom",         "sbZoomIn",
        "sbZoomOut",        "sbZoomToFit", "Tnijwybranewarstwy1"})
    EXPECT_FALSE(st.at(name).enabled) << name;
}

TEST(MainFormRules, MissingMachineDisablesTheStartCommands) {
  tStanGlownegoOkna s = withProject(1);
  for (const char* name : {"SpeedStart", "Start1", "Tnijwybran1", "Startodwybranej1"})
    EXPECT_TRUE(UpdateMenuItems(s).at(name).enabled) << name;
  s.machine = false;
  const auto st = UpdateMenuItems(s);
  for (const char* name : {"SpeedStart", "Start1", "Tnijwybran1", "Startodwybranej1"})
    EXPECT_FALSE(st.at(name).enabled) << name;
  EXPECT_TRUE(st.at("FileCloseItem").enabled);
}

TEST(MainFormRules, FileTypeDecidesHatchingLayersZoomAndBurning) {
  struct Case {
    int type;
    bool hatching, zoom, cutLayers, burn;
  };
  const Case cases[] = {{1, true, true, true, false},
                        {2, true, true, true, false},
                        {3, false, false, false, false},
                        {4, false, false, true, true}};
  for (const Case& c : cases) {
    tStanGlownegoOkna s = withProject(c.type);
    s.multiLayerSetting = true;
    const auto st = UpdateMenuItems(s);
    EXPECT_EQ(st.at("mKreskowanie").enabled, c.hatching) << c.type;
    for (const char* z : {"tbZoom", "sbZoomIn", "sbZoomOut", "sbZoomToFit"})
      EXPECT_EQ(st.at(z).enabled, c.zoom) << c.type << " " << z;
    EXPECT_EQ(st.at("Tnijwybranewarstwy1").enabled, c.cutLayers) << c.type;
    EXPECT_EQ(st.at("WypalBMP1").visible, c.burn) << c.type;
    EXPECT_EQ(st.at("WypalBMP1").enabled, c.burn) << c.type;
  }
  // A bitmap without a machine: offered, but not usable.
  tStanGlownegoOkna bitmap = withProject(4);
  bitmap.machine = false;
  EXPECT_TRUE(UpdateMenuItems(bitmap).at("WypalBMP1").visible);
  EXPECT_FALSE(UpdateMenuItems(bitmap).at("WypalBMP1").enabled);
  // Cutting selected layers also needs the multi-layer project type.
  EXPECT_FALSE(UpdateMenuItems(withProject(1)).at("Tnijwybranewarstwy1").enabled);
}

TEST(MainFormRules, SimulationOnlyAtTheWholeProjectZoomAndContinueOnlyWhenPaused) {
  tStanGlownegoOkna s = withProject(2);
  EXPECT_TRUE(UpdateMenuItems(s).at("SpeedSymulacja").enabled);
  s.activeZoom = 3;
  EXPECT_FALSE(UpdateMenuItems(s).at("SpeedSymulacja").enabled);

  EXPECT_FALSE(UpdateMenuItems(s).at("Skont").enabled);
  s.canContinue = true;
  EXPECT_TRUE(UpdateMenuItems(s).at("Skont").enabled);
  EXPECT_TRUE(UpdateMenuItems(s).at("Kontynuacja1").enabled);
  s.machine = false;
  EXPECT_FALSE(UpdateMenuItems(s).at("Kontynuacja1").enabled);
}

TEST(MainFormRules, LayerDialogFollowsHowTheActiveProjectWasOpened) {
  tStanGlownegoOkna s = withProject(1);
  s.multiLayerSetting = true;  // the setting alone is not enough
  EXPECT_FALSE(UpdateMenuItems(s).at("mWarstwy").enabled);
  s.activeMultiLayer = true;
  EXPECT_TRUE(UpdateMenuItems(s).at("mWarstwy").enabled);
}

TEST(MainFormRules, VisibilityBySwitchesAndMachine) {
  tStanGlownegoOkna s;
  auto st = UpdateMenuItems(s);
  for (const char* name : {"mPlanowanieStolu", "miMultiTesty", "miOtworzFolderPlikowZadan", "sbPomiarNarzedzia",
                           "rgGlowica", "miZalaczPompeProzniowa", "miWylaczPompeProzniowa", "Zapistestowy1",
                           "WypalBMP1", "Tnijwybranewarstwy1", "mInstrukcjaObsugi", "sWylaczPowiadomienia"})
    EXPECT_FALSE(st.at(name).visible) << name;

  s.serviceMode = true;
  s.jobLogging = true;
  s.toolMeasureMachine = true;
  s.headCount = 2;
  s.vacuumPump = true;
  s.millManual = true;
  st = UpdateMenuItems(s);
  for (const char* name :
       {"mPlanowanieStolu", "miMultiTesty", "miOtworzFolderPlikowZadan", "sbPomiarNarzedzia", "rgGlowica",
        "miZalaczPompeProzniowa", "miWylaczPompeProzniowa", "mInstrukcjaObsugi", "mInstrukcjaFrezarka"})
    EXPECT_TRUE(st.at(name).visible) << name;
  EXPECT_FALSE(st.at("mInstrukcjaLaser").visible);
  EXPECT_FALSE(st.at("Zapistestowy1").visible);  // never shown

  s = {};
  s.saveLogToXml = true;
  s.headCount = 1;
  st = UpdateMenuItems(s);
  EXPECT_TRUE(st.at("miOtworzFolderPlikowZadan").visible);
  EXPECT_FALSE(st.at("rgGlowica").visible);
}

TEST(MainFormRules, CuttingCommandsStayDisabledWithoutTheCuttingSide) {
  tStanGlownegoOkna s = withProject(1);
  s.canContinue = true;
  s.cuttingAvailable = false;
  const auto st = UpdateMenuItems(s);
  for (const char* name : {"Start1", "SpeedStart", "Tnijwybran1", "Startodwybranej1", "Kontynuacja1", "Skont",
                           "Wstrzymaj1", "SpeedStop", "Powtrz1"}) {
    EXPECT_TRUE(isCuttingCommand(name)) << name;
    EXPECT_FALSE(st.at(name).enabled) << name;
  }
  EXPECT_FALSE(isCuttingCommand("FileOpenItem"));
  // Everything else still follows its own rule.
  const auto usable = enabledVisible(st);
  EXPECT_TRUE(usable.count("FileCloseItem"));
  EXPECT_TRUE(usable.count("mKreskowanie"));
}

TEST(MainFormRules, HintsSplitIntoShortAndLongParts) {
  const std::string hint = hintWithShortcut("&Open", "F3", "Opens a project from a file");
  EXPECT_EQ(hint, "&Open  (F3)|Opens a project from a file");
  EXPECT_EQ(shortHint(hint), "&Open  (F3)");
  EXPECT_EQ(longHint(hint), "Opens a project from a file");
  EXPECT_EQ(shortHint("no bar"), "no bar");
  EXPECT_EQ(longHint("no bar"), "no bar");
}

TEST(MainFormRules, ManualOfTheLanguageElseTheEnglishOneElseNone) {
  const std::set<std::string> files = {"/p/Trazvik_Quennet_manual_US.pdf", "/p/Trazvik_WTK_manual_PL.pdf",
                                       "/p/Trazvik_WTK_manual_US.pdf"};
  auto exists = [&](const std::string& f) { return files.count(f) > 0; };
  EXPECT_EQ(manualFile("/p/", kManualMill, "PL", exists), "/p/Trazvik_Quennet_manual_US.pdf");
  EXPECT_EQ(manualFile("/p/", kManualLaser, "PL", exists), "/p/Trazvik_WTK_manual_PL.pdf");
  EXPECT_EQ(manualFile("/p/", kManualLaser, "DE", exists), "/p/Trazvik_WTK_manual_US.pdf");
  EXPECT_EQ(manualFile("/q/", kManualMill, "US", exists), "");
}

TEST(MainFormRules, ZoomStaysWithinTheSlider) {
  EXPECT_EQ(zoomOut(1), 1);
  EXPECT_EQ(zoomOut(4), 3);
  EXPECT_EQ(zoomIn(9), 10);
  EXPECT_EQ(zoomIn(10), 10);
  EXPECT_NE(downloadPage("PL"), downloadPage("US"));
  EXPECT_EQ(downloadPage("DE"), downloadPage("US"));
}

}  // namespace
}  // namespace trazvik::app
