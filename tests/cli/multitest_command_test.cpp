// trazvik-cli multitest against the trazvik-sim program on 127.0.0.1: a
// folder of three projects with their settings files cut unattended with
// base checks while the machine slips, the reports and the drift chart; the
// written jobs stored and compared again, a changed setting named by the
// first differing command; an unreadable project ending the run with the
// reports of the jobs before it kept.
#include "run_cli.h"
#include "sim_process.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <cstdlib>

using trazvik::sim::test::SimProcess;
using trazvik::testing::readFile;
using trazvik::testing::runCli;
using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

namespace {

namespace fs = std::filesystem;
const std::string kSamples = std::string(TRAZVIK_SOURCE_DIR) + "/samples/";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    out.push_back(l);
  }
  return out;
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::vector<fs::path> reportsIn(const std::string& folder) {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("CheckBase20", 0) == 0) out.push_back(e.path());
  }
  return out;
}

// A test folder "set1" of three projects: the star with its own settings,
// the plate and the pocket with the folder's.
struct MultitestRig {
  TempFolder folder;
  SimProcess sim;
  MultitestRig() {
    // The single-instance lock of each run in this test's own folder.
    ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    fs::create_directories(set());
    for (const char* f : {"star.plt", "plate.dxf", "pocket.nc"}) fs::copy_file(kSamples + f, set() + "/" + f);
    writeFile(set() + "/star.mcc", "WorkSpeed=800\r\nCzasRozruchu=0\r\n");
    writeFile(set() + "/set1.mcc", "WorkSpeed=600\r\nCzasRozruchu=0\r\n");
  }
  std::string set() const { return folder.text() + "set1"; }
  std::string data() const { return folder.text() + "data"; }
  std::string machine() const {
    return "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());
  }
  std::string multitest(const std::string& more = "") const {
    return "multitest '" + set() + "' --machine " + machine() + " --work-zero 20,20,60 --check-base 1 --data-dir '" +
           data() + "' --max-job-time 120 " + more;
  }
};

TEST(MultitestCommand, CutsTheFolderUnattendedWithReportsAndChart) {
  MultitestRig rig;
  ASSERT_TRUE(rig.sim.start({"--type", "YFB 32", "--time-scale", "300", "--fault", "lost-steps=0.2,0,0@150"}))
      << rig.sim.output();
  const auto run = runCli(rig.multitest(), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const char* line : {"star.plt: Ok, ", "plate.dxf: Ok, ", "pocket.nc: Ok, "})
    EXPECT_EQ(count(run.output, line), 1) << line << "\n" << run.output;
  EXPECT_NE(run.output.find("[1/3] star.plt with star.mcc"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("[2/3] plate.dxf with set1.mcc"), std::string::npos) << run.output;
  // The status in the CLI's language (English); the reports keep theirs.
  EXPECT_NE(run.output.find("Status: End of the automatic tests of many projects\n"), std::string::npos) << run.output;

  // The slip after the first job's homing is measured; each later job
  // homes at its start and finds the machine true again.
  const std::vector<std::string> global = lines(readFile(rig.data() + "/CheckBase_GlobalRaport.txt"));
  ASSERT_EQ(global.size(), 4u) << run.output;
  EXPECT_EQ(global[1].find(";star.plt;Ok;0.000;0.200;"), global[1].find(';')) << global[1];
  EXPECT_NE(global[2].find(";plate.dxf;Ok;0.000;0.000;"), std::string::npos) << global[2];
  EXPECT_NE(global[3].find(";pocket.nc;Ok;0.000;0.000;"), std::string::npos) << global[3];
  const auto reports = reportsIn(rig.data());
  ASSERT_EQ(reports.size(), 3u);
  for (const fs::path& r : reports) EXPECT_NE(readFile(r).find("----- Koniec obróbki "), std::string::npos) << r;

  const std::string chart = readFile(rig.data() + "/CheckBase_GlobalRaport.png");
  ASSERT_GT(chart.size(), 8u);
  EXPECT_EQ(chart.substr(1, 3), "PNG");
  EXPECT_EQ(rig.sim.stop(), 0);
}

TEST(MultitestCommand, CompareNamesAChangedJobAndAFailingItemEndsTheRun) {
  MultitestRig rig;
  ASSERT_TRUE(rig.sim.start({"--type", "YFB 32", "--time-scale", "300"})) << rig.sim.output();
  const std::string stored = rig.folder.text() + "stored";
  const auto save = runCli(rig.multitest("--save-jobs '" + stored + "'"), true);
  ASSERT_EQ(save.exitCode, 0) << save.output;
  ASSERT_TRUE(fs::exists(stored + "/star.plt.cnx"));

  const auto same = runCli(rig.multitest("--compare '" + stored + "'"), true);
  EXPECT_EQ(same.exitCode, 0) << same.output;
  EXPECT_EQ(count(same.output, "    job: identical"), 3) << same.output;

  // A faster cut of the star changes its job; the others stay the same.
  writeFile(rig.set() + "/star.mcc", "WorkSpeed=900\r\nCzasRozruchu=0\r\n");
  const auto changed = runCli(rig.multitest("--compare '" + stored + "'"), true);
  EXPECT_EQ(changed.exitCode, 6) << changed.output;
  EXPECT_EQ(count(changed.output, "    job: identical"), 2) << changed.output;
  EXPECT_EQ(count(changed.output, "    job: differs at command "), 1) << changed.output;

  // An unreadable project between two good ones: the run stops there with
  // the status text, the first job's reports stay.
  fs::remove_all(rig.data());
  fs::remove(rig.set() + "/pocket.nc");
  writeFile(rig.set() + "/broken.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n");
  const auto failing = runCli(rig.multitest(), true);
  EXPECT_EQ(failing.exitCode, 2) << failing.output;
  EXPECT_NE(failing.output.find("star.plt: Ok, "), std::string::npos) << failing.output;
  EXPECT_NE(failing.output.find(
                "Status: broken.dxf: the project could not be opened - End of the automatic tests of many projects"),
            std::string::npos)
      << failing.output;
  EXPECT_EQ(failing.output.find("plate.dxf"), std::string::npos) << "after the failing item: " << failing.output;
  EXPECT_EQ(lines(readFile(rig.data() + "/CheckBase_GlobalRaport.txt")).size(), 2u);
  EXPECT_EQ(reportsIn(rig.data()).size(), 1u);
  EXPECT_EQ(rig.sim.stop(), 0);
}

}  // namespace
