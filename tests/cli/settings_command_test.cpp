// trazvik-cli settings run as a program on fresh and copied data directories.
#include "run_cli.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace trazvik {
namespace {

using testing::runCli;
using testing::TempFolder;

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// The line of one setting in the listing.
std::string listedLine(const std::string& listing, const std::string& name) {
  const auto start = listing.find("\n" + name + " ");
  if (start == std::string::npos) return {};
  return listing.substr(start + 1, listing.find('\n', start + 1) - start - 1);
}

TEST(SettingsCommand, FreshDataDirectoryGetsItsFilesAndShowsTheDefaults) {
  TempFolder root;
  const auto data = root / "new" / "data";
  const auto list = runCli("settings list --data-dir " + quoted(data));
  ASSERT_EQ(list.exitCode, 0) << list.output;
  for (const char* file : {"Halvorek.cfg", "Settings.mcc", "IPPloter.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(data / file)) << file;
  }
  EXPECT_NE(list.output.find("unit: mm"), std::string::npos);
  EXPECT_EQ(listedLine(list.output, "WorkSpeed").find("500.00 [mm/min]"), 26u) << list.output;
  EXPECT_NE(listedLine(list.output, "doOutline").find("cbChecked"), std::string::npos);
  const auto get = runCli("settings get ponad_stol --data-dir " + quoted(data));
  EXPECT_EQ(get.exitCode, 0);
  EXPECT_EQ(get.output, "0.49\n");
}

TEST(SettingsCommand, SetSavesAndUnitChangeShowsInchesAndMillimetres) {
  TempFolder data;
  const std::string dir = " --data-dir " + quoted(data.path());
  auto set = runCli("settings set WorkSpeed=250" + dir);
  ASSERT_EQ(set.exitCode, 0) << set.output;
  EXPECT_EQ(set.output, "WorkSpeed := 250\n");
  EXPECT_NE(testing::readFile(data / "Settings.mcc").find("\r\nWorkSpeed := 250\r\n"), std::string::npos);

  ASSERT_EQ(runCli("settings set rgJm=1" + dir).exitCode, 0);
  const auto list = runCli("settings list" + dir);
  EXPECT_NE(list.output.find("unit: in"), std::string::npos);
  const std::string line = listedLine(list.output, "WorkSpeed");
  EXPECT_NE(line.find("9.843 [in/min]"), std::string::npos) << line;
  EXPECT_NE(line.find("250.0122"), std::string::npos) << line;
  EXPECT_EQ(runCli("settings get WorkSpeed" + dir).output, "250.0122\n");

  // Out of range: refused in the words --set uses, the file unchanged.
  set = runCli("settings set grubosc=900" + dir, true);
  EXPECT_EQ(set.exitCode, 2);
  EXPECT_NE(set.output.find("grubosc: 900 is outside 0 .. 170"), std::string::npos) << set.output;
  EXPECT_EQ(runCli("settings get grubosc" + dir).output, "10.0076\n");
  // A checkbox in the words of the file or as on/off.
  EXPECT_EQ(runCli("settings set wygladzanie=on" + dir).output, "wygladzanie := cbChecked\n");
  EXPECT_EQ(runCli("settings set wygladzanie=cbUnchecked" + dir).output, "wygladzanie := cbUnchecked\n");
}

TEST(SettingsCommand, CopiedDataDirectoryKeepsItsValues) {
  TempFolder root;
  const auto original = root / "original";
  ASSERT_EQ(runCli("settings set nadmat=7.5 --data-dir " + quoted(original)).exitCode, 0);
  const auto copy = root / "copy";
  std::filesystem::copy(original, copy, std::filesystem::copy_options::recursive);
  std::filesystem::remove_all(original);
  EXPECT_EQ(runCli("settings get nadmat --data-dir " + quoted(copy)).output, "7.5\n");
  ASSERT_EQ(runCli("settings set srednica=6 --data-dir " + quoted(copy)).exitCode, 0);
  const std::string saved = testing::readFile(copy / "Settings.mcc");
  EXPECT_NE(saved.find("\r\nnadmat := 7.5\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nsrednica := 6\r\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(original));
}

TEST(SettingsCommand, OtherFileAndErrors) {
  TempFolder data;
  const std::string dir = " --data-dir " + quoted(data.path());
  testing::writeFile(data / "job.mcc", "WorkSpeed := 250 mm/min\r\nskok := 1E-5\r\n");
  EXPECT_EQ(runCli("settings get WorkSpeed --file " + quoted(data / "job.mcc") + dir).output, "250\n");
  EXPECT_EQ(runCli("settings get skok --file " + quoted(data / "job.mcc") + dir).output, "0.01\n");  // at its limit
  // The data directory's own file is untouched by --file.
  EXPECT_EQ(runCli("settings get WorkSpeed" + dir).output, "500\n");

  auto bad = runCli("settings get workspeed" + dir, true);
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.output.find("unknown setting \"workspeed\""), std::string::npos) << bad.output;
  bad = runCli("settings set doOutline=maybe" + dir, true);
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.output.find("doOutline: \"maybe\" is not cbChecked, cbUnchecked, cbGrayed, true, false, on, off"),
            std::string::npos)
      << bad.output;
  bad = runCli("settings list --file " + quoted(data / "none.mcc") + dir, true);
  EXPECT_NE(bad.exitCode, 0);

  testing::writeFile(data / "broken.mcc", "grubosc := 20\r\nWorkSpeed := fast\r\n");
  bad = runCli("settings set nadmat=3 --file " + quoted(data / "broken.mcc") + dir, true);
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find("line 2, setting WorkSpeed"), std::string::npos) << bad.output;
  // A file that did not load is not rewritten.
  EXPECT_EQ(testing::readFile(data / "broken.mcc"), "grubosc := 20\r\nWorkSpeed := fast\r\n");
}

}  // namespace
}  // namespace trazvik
