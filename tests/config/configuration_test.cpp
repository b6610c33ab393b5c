// The settings files in the data directory: first start, load, save, the
// dialog's buttons.
#include "config/configuration.h"

#include "config/address_file.h"
#include "config/settings_file.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace trazvik::config {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

GlobalCfg readGlobal(const std::filesystem::path& path) {
  const std::string bytes = readFile(path);
  EXPECT_EQ(bytes.size(), kGlobalCfgSize);
  std::array<std::uint8_t, kGlobalCfgSize> record{};
  std::memcpy(record.data(), bytes.data(), std::min(bytes.size(), record.size()));
  return decodeGlobalCfg(record);
}

TEST(FirstStart, CreatesTheThreeFilesWithTheDeclaredDefaults) {
  TempFolder root;
  const std::filesystem::path data = root / "Dornelis" / "Trazvik";
  const ConfigStatus status = ensureDataFiles(data);
  ASSERT_TRUE(status.ok()) << status.errors.front();

  const GlobalCfg global = readGlobal(data / "Halvorek.cfg");
  EXPECT_EQ(global.settingsFile, (data / "Settings.mcc").string());
  EXPECT_FALSE(global.viewDirection);
  EXPECT_FALSE(global.viewOrder);
  EXPECT_TRUE(global.viewEntryPoints);
  EXPECT_TRUE(global.viewLayers);
  EXPECT_EQ(global.openFilterIndex, 1);
  EXPECT_EQ(global.travelHeight, 0.0);

  EXPECT_EQ(readFile(data / "Settings.mcc"), settingsFileText(TDlgkonfig(decimalSeparatorOfUser())));
  EXPECT_EQ(readFile(data / "IPPloter.txt"), "192\r\n168\r\n  0\r\n100\r\n");
  // Nothing else (no temporary files) is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data), {}), 3);
}

TEST(FirstStart, ShortGlobalFileIsReplacedByDefaults) {
  TempFolder data;
  writeFile(data / "Halvorek.cfg", std::string(100, '\x07'));
  Configuration configuration(data.path(), '.');
  EXPECT_TRUE(configuration.loadGlobal().ok());
  EXPECT_EQ(configuration.settingsFile(), (data / "Settings.mcc").string());
  EXPECT_EQ(readFile(data / "Halvorek.cfg").size(), kGlobalCfgSize);
}

TEST(LoadKonfig, MissingFileWritesCurrentValuesToTheDataDirectory) {
  TempFolder data;
  Configuration configuration(data.path(), '.');
  configuration.loadGlobal();
  configuration.settings().set("WorkSpeed", 321);
  const std::string elsewhere = (data / "missing.mcc").string();
  EXPECT_TRUE(configuration.LoadKonfig(elsewhere).ok());
  EXPECT_FALSE(std::filesystem::exists(elsewhere));
  EXPECT_NE(readFile(data / "Settings.mcc").find("WorkSpeed := 321\r\n"), std::string::npos);
  EXPECT_EQ(configuration.settingsFile(), (data / "Settings.mcc").string());
}

TEST(LoadKonfig, MovedDataDirectoryReadsItsOwnSettingsInsteadOfOverwritingThem) {
  TempFolder data;
  writeFile(data / "Settings.mcc", "WorkSpeed := 432\r\n");
  GlobalCfg moved;
  moved.settingsFile = "/gone/elsewhere/Settings.mcc";
  const auto record = encodeGlobalCfg(moved);
  writeFile(data / "Halvorek.cfg", std::string(record.begin(), record.end()));
  Configuration configuration(data.path(), '.');
  EXPECT_TRUE(configuration.open().ok());
  EXPECT_DOUBLE_EQ(configuration.settings().real("WorkSpeed"), 432);
  EXPECT_EQ(configuration.settingsFile(), (data / "Settings.mcc").string());
  EXPECT_EQ(readFile(data / "Settings.mcc"), "WorkSpeed := 432\r\n");
}

TEST(LoadKonfig, AddressFileOverridesTheSettingsLines) {
  TempFolder data;
  writeFile(data / "cut.mcc",
            "IP1 := 10\r\nIP2 := 11\r\nIP3 := 12\r\nIP4 := 13\r\ncbZalaczPompeProzniowa := cbChecked\r\n");
  writeFile(data / "IPPloter.txt", " 172\r\n 16 junk\r\nbad\r\n 99\r\n");
  Configuration configuration(data.path(), '.');
  EXPECT_TRUE(configuration.LoadKonfig((data / "cut.mcc").string()).ok());
  // The third line cannot be read: the lines before it count, the rest is left.
  EXPECT_EQ(configuration.settings().integer("IP1"), 172);
  EXPECT_EQ(configuration.settings().integer("IP2"), 16);
  EXPECT_EQ(configuration.settings().integer("IP3"), 12);
  EXPECT_EQ(configuration.settings().integer("IP4"), 13);
  EXPECT_EQ(configuration.globals().machineAddress, "172.16.12.13");
  EXPECT_TRUE(configuration.globals().vacuumBeforeStart);
}

TEST(LoadKonfig, ArcCoefficientDefaultsToTheMachineWhenNotNamed) {
  TempFolder data;
  writeFile(data / "a.mcc", "WorkSpeed := 250\r\n");
  writeFile(data / "b.mcc", "tbRuchNaLukach := 40\r\n");
  Configuration configuration(data.path(), '.');
  MachineContext machine;
  machine.identified = true;
  machine.radiusFactorStraight = 1200;
  configuration.settings().SetParam(machine);
  configuration.LoadKonfig((data / "b.mcc").string());
  EXPECT_EQ(configuration.globals().arcSpeedFactor, 40);
  configuration.LoadKonfig((data / "a.mcc").string());
  EXPECT_EQ(configuration.settings().integer("tbRuchNaLukach"), 1200);
  EXPECT_EQ(configuration.globals().arcSpeedFactor, 1200);
}

TEST(LoadKonfig, KnifeFlagsFollowTheMachinesKnifeAxis) {
  TempFolder data;
  writeFile(data / "k.mcc", "CBAktywnaGlowica := cbChecked\r\nCBDwuKierunkowyNoz := cbChecked\r\n");
  std::vector<std::pair<int, int>> sent;
  Configuration configuration(data.path(), '.');
  configuration.sendMachineParameter = [&](int p, int v) { sent.emplace_back(p, v); };
  configuration.LoadKonfig((data / "k.mcc").string());
  EXPECT_FALSE(configuration.settings().flag("CBAktywnaGlowica"));
  EXPECT_FALSE(configuration.globals().twoWayKnife);
  EXPECT_TRUE(sent.empty());

  MachineContext knife;
  knife.knifeAxis = true;
  configuration.settings().SetParam(knife);
  configuration.LoadKonfig((data / "k.mcc").string());
  EXPECT_TRUE(configuration.globals().hasKnife);
  EXPECT_TRUE(configuration.globals().twoWayKnife);
  EXPECT_EQ(sent, (std::vector<std::pair<int, int>>{{112, 1}}));
}

TEST(LoadKonfig, ConversionErrorIsReportedAndStopsTheFile) {
  TempFolder data;
  writeFile(data / "bad.mcc", "grubosc := 20\r\nWorkSpeed := fast\r\nnadmat := 7\r\n");
  Configuration configuration(data.path(), '.');
  const ConfigStatus status = configuration.KonfigOdczyt((data / "bad.mcc").string());
  ASSERT_EQ(status.errors.size(), 1u);
  EXPECT_NE(status.errors[0].find("bad.mcc, line 2, setting WorkSpeed"), std::string::npos) << status.errors[0];
  EXPECT_DOUBLE_EQ(configuration.settings().real("grubosc"), 20);
  EXPECT_DOUBLE_EQ(configuration.settings().real("nadmat"), 5);
  EXPECT_NE(configuration.settingsFile(), (data / "bad.mcc").string());  // not made current
}

TEST(KonfigOdczyt, MakesTheFileCurrentAndKeepsTheProjectTypesLowBit) {
  TempFolder data;
  writeFile(data / "multi.mcc", "ProjektType := -1\r\n");
  Configuration configuration(data.path(), '.');
  EXPECT_TRUE(configuration.KonfigOdczyt((data / "multi.mcc").string()).ok());
  EXPECT_EQ(configuration.settingsFile(), (data / "multi.mcc").string());
  EXPECT_EQ(configuration.settings().integer("ProjektType"), 1);
}

TEST(DialogButtons, OkSavesAndSetsTheTravelHeight) {
  TempFolder data;
  Configuration configuration(data.path(), '.');
  ASSERT_TRUE(configuration.open().ok());
  TDlgkonfig& settings = configuration.settings();
  settings.set("grubosc", 18);
  settings.set("nadmat", 4);
  bool asked = false;
  EXPECT_TRUE(configuration
                  .ok([&] {
                    asked = true;
                    return std::optional<std::string>();
                  })
                  .ok());
  EXPECT_FALSE(asked);  // the current file exists: no save dialog
  EXPECT_DOUBLE_EQ(configuration.globals().travelHeight, 0.49 + 18 + 4);
  EXPECT_NE(readFile(data / "Settings.mcc").find("grubosc := 18\r\n"), std::string::npos);

  // Cancel undoes changes since the last save.
  settings.set("grubosc", 30);
  configuration.cancel();
  EXPECT_DOUBLE_EQ(settings.real("grubosc"), 18);

  // At the end of the program the travel height is kept in the record.
  EXPECT_TRUE(configuration.save_global().ok());
  EXPECT_DOUBLE_EQ(readGlobal(data / "Halvorek.cfg").travelHeight, 22.49);
}

TEST(DialogButtons, OkAsksForAFileWhenTheCurrentOneIsGone) {
  TempFolder data;
  Configuration configuration(data.path(), '.');
  ASSERT_TRUE(configuration.open().ok());
  std::filesystem::remove(data / "Settings.mcc");
  const std::string chosen = (data / "chosen.mcc").string();
  EXPECT_TRUE(configuration.ok([&] { return std::optional<std::string>(chosen); }).ok());
  EXPECT_EQ(configuration.settingsFile(), chosen);
  EXPECT_TRUE(std::filesystem::exists(chosen));
}

TEST(SaveKonfig, UnwritablePathIsReportedAndTheOldFileKept) {
  TempFolder data;
  Configuration configuration(data.path(), '.');
  ASSERT_TRUE(configuration.open().ok());
  const std::string before = readFile(data / "Settings.mcc");
  const std::string bad = (data / "no" / "such" / "folder.mcc").string();
  const ConfigStatus status = configuration.zapis(bad);
  ASSERT_EQ(status.errors.size(), 1u);
  EXPECT_EQ(status.errors[0], "ERROR: Invalid file or path name: " + bad);
  EXPECT_EQ(configuration.settingsFile(), (data / "Settings.mcc").string());
  EXPECT_EQ(readFile(data / "Settings.mcc"), before);
}

TEST(SettingsRoundTrip, EveryValueSurvivesTheFilesAtEachUnit) {
  for (int unit : {0, 1, 2}) {
    SCOPED_TRACE(unit);
    TempFolder data;
    Configuration first(data.path(), ',');
    MachineContext machine;
    machine.knifeAxis = true;
    machine.headCount = 3;
    ASSERT_TRUE(first.open(machine).ok());
    TDlgkonfig& s = first.settings();
    s.set("grubosc", 12.34);
    s.set("WorkSpeed", 777);
    s.setChecked("CBDwuKierunkowyNoz", true);
    s.set("IP3", 7);
    s.set("rgJm", unit);
    ASSERT_TRUE(first.SaveKonfig(first.settingsFile()).ok());

    Configuration second(data.path(), ',');
    ASSERT_TRUE(second.open(machine).ok());
    for (const auto& def : settingCatalogue()) {
      EXPECT_EQ(second.settings().shownText(def.name), s.shownText(def.name)) << def.name;
    }
    EXPECT_EQ(second.globals().machineAddress, "192.168.7.100");
    EXPECT_TRUE(second.globals().twoWayKnife);
    EXPECT_NEAR(second.globals().headOffsets[2].x, 300, 1e-9);
  }
}

}  // namespace
}  // namespace trazvik::config
