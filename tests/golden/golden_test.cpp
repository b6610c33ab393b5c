// Golden jobs: every case folder's job, written through the real writer for
// its machine type, must read back through the decoder exactly as
// "expected.txt"; executed on the simulated controller it must retrace its
// toolpaths and end where the case says with the tool off.
//
// TRAZVIK_UPDATE_GOLDEN=1 rewrites "expected.txt" from the writer; review
// the diff command by command before committing it.
#include "golden_case.h"
#include "retrace.h"

#include "../control/recording_start_machine.h"
#include "control/start_of_cutting.h"

#include "texts/interfejs.h"
#include "texts/recording_message_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace trazvik::golden {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(TRAZVIK_SOURCE_DIR) / "tests" / "golden";

std::string readText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool updating() {
  const char* v = std::getenv("TRAZVIK_UPDATE_GOLDEN");
  return v != nullptr && std::string(v) == "1";
}

class GoldenJob : public ::testing::TestWithParam<fs::path> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(texts_.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
    ASSERT_NO_THROW(case_ = readCase(GetParam()));
  }

  app::tOfflineJob write() {
    try {
      return app::writeOfflineJob(case_.request, texts_);
    } catch (const std::exception& e) {
      ADD_FAILURE() << case_.name << ": " << e.what();
    }
    return {};
  }

  GoldenCase case_;
  texts::RecordingMessageBoxes boxes_;
  texts::tInterfejs texts_{boxes_};
};

TEST_P(GoldenJob, DecodesToTheExpectedCommands) {
  const app::tOfflineJob job = write();
  ASSERT_FALSE(job.bytes.empty()) << case_.name;
  const std::string actual = jobText(job.bytes, job.machine);
  EXPECT_EQ(actual.find("!!"), std::string::npos) << case_.name << ": the decoder found a problem\n" << actual;
  const fs::path expectedFile = case_.folder / "expected.txt";
  if (updating()) {
    std::ofstream(expectedFile, std::ios::binary) << actual;
    GTEST_SKIP() << "rewrote " << expectedFile << "; review it against the writer's steps";
  }
  ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile << " is missing (TRAZVIK_UPDATE_GOLDEN=1 writes it)";
  const std::string expected = readText(expectedFile);
  const std::string difference = firstDifference(expected, actual);
  EXPECT_TRUE(difference.empty()) << case_.name << ": " << difference;
}

TEST_P(GoldenJob, RetracesItsToolpathsOnTheSimulatedController) {
  const app::tOfflineJob job = write();
  ASSERT_FALSE(job.bytes.empty()) << case_.name;
  const SimRun run = runOnSimulator(job);
  EXPECT_EQ(run.unknownCommands, 0u) << case_.name;
  EXPECT_TRUE(run.jobEnded) << case_.name << ": the job did not end";
  EXPECT_TRUE(run.toolOutputsOff) << case_.name << ": the tool is still on at the end";
  const std::vector<RetraceFigure> figures = expectedToolpaths(job);
  ASSERT_FALSE(figures.empty()) << case_.name << ": the job cuts no figure";
  const std::string problems = retraceProblems(run, figures, job.machine, case_.toleranceSteps);
  EXPECT_TRUE(problems.empty()) << case_.name << ":\n" << problems;
  ASSERT_TRUE(case_.endMm.has_value()) << case_.name << ": case.txt names no end_mm";
  const tCommandSet set = commandSetOf(job.machine.model, job.machine.link);
  const double tol = case_.toleranceSteps + 1e-6;
  EXPECT_LE(std::fabs(run.end.x - (*case_.endMm)[0]) * 100 * set.axisFactorX, tol)
      << case_.name << " end X " << run.end.x;
  EXPECT_LE(std::fabs(run.end.y - (*case_.endMm)[1]) * 100 * set.axisFactorY, tol)
      << case_.name << " end Y " << run.end.y;
  EXPECT_LE(std::fabs(run.end.z - (*case_.endMm)[2]) * 100 * set.axisFactorZ, tol)
      << case_.name << " end Z " << run.end.z;
}

// The same case through the start of cutting itself: the case's machine
// with a work zero well inside a large working area, the start's checks,
// head choice and plan, and the job file it hands to the transfer must
// read exactly as the expected text.
TEST_P(GoldenJob, TheStartOfCuttingWritesTheExpectedJob) {
  app::tOfflineJob job;
  try {
    job = app::openOfflineProject(case_.request, texts_);
  } catch (const std::exception& e) {
    FAIL() << case_.name << ": " << e.what();
  }
  const fs::path folder = fs::temp_directory_path() / ("trazvik_golden_start_" + case_.name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  testing::RecordingStartMachine machine;
  machine.model_ = job.machine.model;
  machine.link_ = job.machine.link;
  machine.state_ = job.machine.status;
  machine.link_.workArea = {2000, 2000, 300};
  machine.state_.pos0 = {10000, 10000, 20000};
  double travelHeight = 0;
  tStartContext context{machine, *job.settings, texts_, folder.string() + "/", travelHeight, case_.name, {}};
  context.headChoice = case_.request.head - 1;
  tStartOfCutting start(context);
  const tStartOutcome outcome = start.Start1Click(job.project.get());
  ASSERT_EQ(outcome, tStartOutcome::started) << case_.name << ": " << startOutcomeName(outcome) << " "
                                             << (boxes_.messages().empty() ? "" : boxes_.messages().back().text);
  EXPECT_TRUE(machine.contains("startTransfer")) << case_.name;
  std::ifstream in(folder / "out.cnx", std::ios::binary);
  const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string difference = firstDifference(readText(case_.folder / "expected.txt"), jobText(bytes, job.machine));
  EXPECT_TRUE(difference.empty()) << case_.name << " through the start: " << difference;
  fs::remove_all(folder);
}

std::string caseName(const ::testing::TestParamInfo<fs::path>& info) {
  std::string s = info.param.filename().string();
  for (char& c : s)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return s;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenJob, ::testing::ValuesIn(caseFolders(kRoot)), caseName);

// The harness itself: a difference names the first differing command.
TEST(GoldenHarness, FirstDifferenceNamesTheCommandAndItsNeighbours) {
  EXPECT_EQ(firstDifference("a\nb\n", "a\nb\n"), "");
  EXPECT_EQ(firstDifference("p pause ms=10\nf select-slot slot=0\n", "p pause ms=10\nf select-slot slot=1\n"),
            "command 2 differs\n  after:    p pause ms=10\n  expected: f select-slot slot=0\n"
            "  actual:   f select-slot slot=1\n");
  EXPECT_EQ(firstDifference("x\n", "x\ny\n"),
            "command 2 differs\n  after:    x\n  expected: (end of job)\n  actual:   y\n");
  EXPECT_EQ(firstDifference("x\n", "y\n"), "command 1 differs\n  expected: x\n  actual:   y\n");
}

TEST(GoldenHarness, CaseFilesRefuseUnknownKeysAndBadNumbers) {
  const fs::path dir = fs::temp_directory_path() / "trazvik_golden_case_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "case.txt") << "design = a.plt\nmachine = YFB 32\nset = WorkSpeed=900\nset = skala=50\n"
                                     "tolerance_steps = 2\nend_mm = 0, 0, 5.5\n";
  const GoldenCase c = readCase(dir);
  EXPECT_EQ(c.request.design, (dir / "a.plt").string());
  EXPECT_EQ(c.request.machine.type, "YFB 32");
  EXPECT_EQ(c.request.sets, (std::vector<std::string>{"WorkSpeed=900", "skala=50"}));
  EXPECT_EQ(c.toleranceSteps, 2);
  ASSERT_TRUE(c.endMm.has_value());
  EXPECT_EQ((*c.endMm)[2], 5.5);
  for (const char* bad :
       {"design = a.plt\nmachine = YFB 32\ncolour = red\n", "design = a.plt\nmachine = YFB 32\nhead = two\n",
        "design = a.plt\nmachine = YFB 32\nend_mm = 1, 2\n", "machine = YFB 32\n"}) {
    std::ofstream(dir / "case.txt") << bad;
    EXPECT_THROW(readCase(dir), std::runtime_error) << bad;
  }
  fs::remove_all(dir);
}

// The retrace check must notice a toolpath the tool did not follow: a point
// off the cut, and a cut made with the tool off.
TEST(GoldenHarness, RetraceNoticesAShiftedPointAndACutWithTheToolOff) {
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  ASSERT_TRUE(texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", "0.1"));
  const GoldenCase c = readCase(kRoot / "square_yfb32_720");
  const app::tOfflineJob job = app::writeOfflineJob(c.request, texts);
  SimRun run = runOnSimulator(job);
  std::vector<RetraceFigure> figures = expectedToolpaths(job);
  ASSERT_EQ(figures.size(), 1u);
  ASSERT_GT(figures[0].points.size(), 10u);
  EXPECT_EQ(retraceProblems(run, figures, job.machine, 1), "");

  std::vector<RetraceFigure> shifted = figures;
  // Three steps across a run of collinear moves: 2.7 steps off the line.
  shifted[0].points[5].x += 3;
  const std::string shiftedProblems = retraceProblems(run, shifted, job.machine, 1);
  EXPECT_NE(shiftedProblems.find("point 5"), std::string::npos) << shiftedProblems;
  EXPECT_EQ(retraceProblems(run, shifted, job.machine, 3), "") << "within a tolerance of three steps";

  sim::ToolTrace toolOff;
  for (sim::TraceSegment s : run.trace.segments()) {
    s.toolOn = false;
    toolOff.add(s);
  }
  run.trace = toolOff;
  EXPECT_NE(retraceProblems(run, figures, job.machine, 1).find("is not cut"), std::string::npos);
}

}  // namespace
}  // namespace trazvik::golden
