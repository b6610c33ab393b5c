// The test list of a folder (projects paired with their settings files) and
// the run over it: the next item at each job's end, the end of the list, a
// failing item, a lost machine and a second start.
#include "app/multi_test.h"
#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

namespace trazvik::app {
namespace {

using trazvik::testing::TempFolder;
using trazvik::testing::writeFile;

std::vector<std::pair<std::string, std::string>> pairs(const TMultiTest& t) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const TMultiTestDane& d : t.Lista())
    out.emplace_back(std::filesystem::path(d.plikPrj).filename().string(),
                     std::filesystem::path(d.plikKonf).filename().string());
  return out;
}

TEST(MultiTestList, PairsProjectsWithTheirOwnOrTheFoldersSettings) {
  struct Case {
    std::vector<std::string> files;
    std::vector<std::pair<std::string, std::string>> items;
    bool warns;
  };
  const Case cases[] = {
      {{"a.plt", "a.mcc", "b.dxf", "set1.mcc"}, {{"a.plt", "a.mcc"}, {"b.dxf", "set1.mcc"}}, false},
      // Plot files first, then DXF, then G-code; bitmaps and others never.
      {{"c.nc", "b.dxf", "z.plt", "a.plt", "p.bmp", "notes.txt", "set1.mcc"},
       {{"a.plt", "set1.mcc"}, {"z.plt", "set1.mcc"}, {"b.dxf", "set1.mcc"}, {"c.nc", "set1.mcc"}},
       false},
      // Any case of the extensions, and the settings file as it is spelt.
      {{"A.PLT", "a.Mcc", "B.Dxf", "SET1.MCC"}, {{"A.PLT", "a.Mcc"}, {"B.Dxf", "SET1.MCC"}}, false},
      // No settings anywhere: the general path is kept and warned about.
      {{"a.plt", "b.nc"}, {{"a.plt", "set1.mcc"}, {"b.nc", "set1.mcc"}}, true},
      // Every project has its own: the missing general file does not matter.
      {{"a.plt", "a.mcc"}, {{"a.plt", "a.mcc"}}, false},
  };
  for (const Case& c : cases) {
    TempFolder root;
    const auto folder = root / "set1";
    std::filesystem::create_directories(folder);
    for (const std::string& f : c.files) writeFile(folder / f, "x");
    TMultiTest list;
    const auto warning = list.LadujListeZFolderu(folder.string());
    EXPECT_EQ(pairs(list), c.items) << c.files[0];
    EXPECT_EQ(warning.has_value(), c.warns) << c.files[0];
    if (warning) {
      EXPECT_EQ(*warning, "UWAGA! Brak ogólnego pliku konfiguracyjnego :\n\r" + (folder / "set1.mcc").string());
    }
    EXPECT_EQ(list.AktualnyFolder(), folder.string());
    EXPECT_FALSE(list.JestWtoku());
  }
}

struct RunFixture {
  TempFolder root;
  TMultiTest list;
  std::vector<std::string> startedProjects, stops, reportLines, boxes;
  std::string failAt;  // the project whose start fails
  bool present = true;
  tMultiTestRun run{list, hooks()};

  RunFixture() {
    for (const char* f : {"a.plt", "b.dxf", "c.nc", "set1.mcc"}) writeFile(root / f, "x");
    list.LadujListeZFolderu(root.path().string());
  }
  tMultiTestHooks hooks() {
    tMultiTestHooks h;
    h.startItem = [this](const TMultiTestDane& d) {
      const std::string name = std::filesystem::path(d.plikPrj).filename().string();
      startedProjects.push_back(name);
      return name == failAt ? std::string("the file could not be read") : std::string();
    };
    h.stopped = [this](const std::string& t) { stops.push_back(t); };
    h.machinePresent = [this] { return present; };
    h.reportLine = [this](const std::string& t) { reportLines.push_back(t); };
    h.information = [this](const std::string& t) { boxes.push_back(t); };
    return h;
  }
};

TEST(MultiTestRun, CutsEveryItemInTurnAndStopsAfterTheLast) {
  RunFixture f;
  ASSERT_TRUE(f.run.start());
  EXPECT_FALSE(f.run.start());  // refused while running
  EXPECT_EQ(f.boxes, std::vector<std::string>{kMultiTestRunning});
  f.run.nextItem();
  f.run.nextItem();
  EXPECT_TRUE(f.list.OstatniElement());
  EXPECT_TRUE(f.stops.empty());
  f.run.nextItem();
  EXPECT_EQ(f.startedProjects, (std::vector<std::string>{"a.plt", "b.dxf", "c.nc"}));
  EXPECT_EQ(f.stops, std::vector<std::string>{kMultiTestEnd});
  EXPECT_FALSE(f.list.JestWtoku());
  // A second run on the same folder starts from the first item again.
  ASSERT_TRUE(f.run.start());
  EXPECT_EQ(f.startedProjects.back(), "a.plt");
  EXPECT_EQ(f.list.AktualnieTestowany(), 0);
}

TEST(MultiTestRun, AFailingItemOrALostMachineEndsTheRun) {
  {
    RunFixture f;
    f.failAt = "b.dxf";
    ASSERT_TRUE(f.run.start());
    f.run.nextItem();
    EXPECT_EQ(f.startedProjects, (std::vector<std::string>{"a.plt", "b.dxf"}));
    EXPECT_EQ(f.stops, std::vector<std::string>{std::string("b.dxf: the file could not be read - ") + kMultiTestEnd});
    EXPECT_FALSE(f.list.JestWtoku());
  }
  {
    RunFixture f;
    ASSERT_TRUE(f.run.start());
    f.present = false;
    f.run.nextItem();
    EXPECT_EQ(f.startedProjects, std::vector<std::string>{"a.plt"});
    EXPECT_EQ(f.reportLines, std::vector<std::string>{std::string("  ") + kMultiTestNoLink});
    EXPECT_EQ(f.stops, std::vector<std::string>{kMultiTestNoLink});
  }
  {
    // A job that ends while no run is in progress only resets the status bar.
    RunFixture f;
    f.run.nextItem();
    EXPECT_TRUE(f.startedProjects.empty());
    EXPECT_EQ(f.stops, std::vector<std::string>{kMultiTestEnd});
  }
}

// The operator reads the run in the program's language; the report file
// keeps its own fixed form. The Polish file holds the texts the run falls
// back on without one.
TEST(MultiTestRun, StatusTextsComeFromTheLanguageFileAndTheReportKeepsItsForm) {
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs polish{boxes}, english{boxes};
  const std::string lang = std::string(TRAZVIK_SOURCE_DIR) + "/lang/";
  ASSERT_TRUE(polish.loadLanguageFile(lang, "PL", "0.1"));
  ASSERT_TRUE(english.loadLanguageFile(lang, "US", "0.1"));
  const tMultiTestTexts pl = tMultiTestTexts::of(polish), fallback;
  for (auto field : {&tMultiTestTexts::end, &tMultiTestTexts::noLink, &tMultiTestTexts::running,
                     &tMultiTestTexts::started, &tMultiTestTexts::loaded, &tMultiTestTexts::folderTitle})
    EXPECT_EQ(pl.*field, fallback.*field);
  const tMultiTestTexts us = tMultiTestTexts::of(english);
  EXPECT_EQ(us.end, english.dajTxt("MultiTest", "msgKoniecTestow"));
  EXPECT_NE(us.end, kMultiTestEnd);
  EXPECT_NE(us.noLink, kMultiTestNoLink);

  RunFixture f;
  tMultiTestRun run(f.list, f.hooks(), us);
  ASSERT_TRUE(run.start());
  EXPECT_FALSE(run.start());
  EXPECT_EQ(f.boxes, std::vector<std::string>{us.running});
  f.present = false;
  run.nextItem();
  EXPECT_EQ(f.stops, std::vector<std::string>{us.noLink});
  EXPECT_EQ(f.reportLines, std::vector<std::string>{std::string("  ") + kMultiTestNoLink});
}

}  // namespace
}  // namespace trazvik::app
