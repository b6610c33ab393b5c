// The job plan the start, the cutting variants and the offline job share:
// mode, figures, head and travel height for each kind of project and
// machine, the job of each scope, and the job size a plotter-class
// controller takes.
#include "control/job_checks.h"
#include "control/job_plan.h"

#include "start_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace trazvik {
namespace {

using trazvik::testing::TempFolder;

const std::string kStar = std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt";
const std::string kPocket = std::string(TRAZVIK_SOURCE_DIR) + "/samples/pocket.nc";

using PlanFixture = trazvik::testing::StartFixture;

enum class Kind { router, threeHeads, laser, laserWithZ };

tMachineState machineOf(Kind kind) {
  tMachineState m = jobMachineFor(kind == Kind::laser || kind == Kind::laserWithZ ? "WTK32" : "YFB 32", 7, 20);
  if (kind == Kind::threeHeads) m.model.machineParams.headCount = 3;
  if (kind == Kind::laserWithZ) m.model.machineParams.laserZAxis = 1;
  return m;
}

TEST(JobPlan, ModeFiguresHeadAndTravelHeightFollowTheProjectAndMachine) {
  struct Case {
    const char* name;
    const std::string& design;
    Kind machine;
    tJobScope scope;
    int selected;
    int headChoice;
    int mode;
    int first;
    bool lastIsFinal;  // the job runs to the last figure
    int head;
    double travel;  // NAN: the program's largest Z
    bool oneBlock, fromBlock;
  };
  const double program = std::nan("");
  const Case cases[] = {
      {"star, router", kStar, Kind::router, tJobScope::wholeProject, -1, 2, kOutputDrawing, 0, true, 0, 15.49, false,
       false},
      {"star, three heads, head 3", kStar, Kind::threeHeads, tJobScope::wholeProject, -1, 2, kOutputDrawing, 0, true, 2,
       15.49, false, false},
      {"star, laser", kStar, Kind::laser, tJobScope::wholeProject, -1, 0, kOutputDrawing, 0, true, 0, 0, false, false},
      {"star, laser with a focus axis", kStar, Kind::laserWithZ, tJobScope::wholeProject, -1, 0, kOutputDrawing, 0,
       true, 0, -10, false, false},
      {"star, figure 1 alone", kStar, Kind::router, tJobScope::selectedFigure, 1, 0, kOutputDrawing, 1, false, 0, 15.49,
       false, false},
      {"star, from figure 1", kStar, Kind::router, tJobScope::fromSelectedFigure, 1, 0, kOutputDrawing, 1, true, 0,
       15.49, false, false},
      {"star, laser with a focus axis, figure 1 alone", kStar, Kind::laserWithZ, tJobScope::selectedFigure, 1, 0,
       kOutputDrawing, 1, false, 0, -10, false, false},
      {"program", kPocket, Kind::router, tJobScope::wholeProject, -1, 0, kOutputProgram, 0, true, 0, program, false,
       false},
      {"program, block 1 alone", kPocket, Kind::router, tJobScope::selectedFigure, 1, 0, kOutputProgram, 1, false, 0,
       program, true, false},
      {"program, from block 1", kPocket, Kind::router, tJobScope::fromSelectedFigure, 1, 0, kOutputProgram, 1, true, 0,
       program, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlanFixture f;
    const TMDIChild& p = f.open(c.design, c.selected);
    const tJobPlan plan = planJob(p, f.settings, machineOf(c.machine), c.scope, c.headChoice);
    EXPECT_EQ(plan.scope, c.scope);
    EXPECT_EQ(plan.outputMode, c.mode);
    EXPECT_EQ(plan.request.outputMode, c.mode);
    EXPECT_FALSE(plan.multiLayer);
    EXPECT_EQ(plan.head, c.head);
    EXPECT_EQ(plan.request.chosenHead, c.head);
    const double travel = std::isnan(c.travel) ? p.GcodPar.maxZ : c.travel;
    EXPECT_DOUBLE_EQ(plan.travelHeight, travel);
    ASSERT_TRUE(plan.request.travelHeight.has_value());
    EXPECT_DOUBLE_EQ(*plan.request.travelHeight, travel);
    EXPECT_EQ(plan.request.first, c.first);
    const int last = c.scope == tJobScope::wholeProject ? -1
                     : c.lastIsFinal                    ? static_cast<int>(p.fig.size()) - 1
                                                        : c.first;
    EXPECT_EQ(plan.request.last, last);
    EXPECT_EQ(plan.request.oneSelectedFigureOfProgram, c.oneBlock);
    EXPECT_EQ(plan.request.startsFromSelectedFigureOfProgram, c.fromBlock);
  }
}

// The figure alone is shorter than the job from it, which is shorter than
// the whole project; from the last figure is the last figure alone. The
// drawing's toolpaths are made again and the selection stays.
TEST(JobPlan, EachScopeWritesItsFigures) {
  TempFolder folder;
  PlanFixture f;
  TMDIChild& p = f.open(kStar);
  ASSERT_GE(p.fig.size(), 3u);
  const tMachineState machine = machineOf(Kind::router);
  const auto size = [&](tJobScope scope, int selected) {
    p.selected = selected;
    const tJobPlan plan = planJob(p, f.settings, machine, scope, 0);
    const std::filesystem::path path = folder / "out.cnx";
    const tJobResult r = writePlannedJob(p, f.settings, machine, plan, path);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(p.selected, selected);
    return std::filesystem::file_size(path);
  };
  const int last = static_cast<int>(p.fig.size()) - 1;
  const auto whole = size(tJobScope::wholeProject, -1);
  const auto first = size(tJobScope::selectedFigure, 0);
  const auto second = size(tJobScope::selectedFigure, 1);
  const auto fromFirst = size(tJobScope::fromSelectedFigure, 0);
  const auto fromSecond = size(tJobScope::fromSelectedFigure, 1);
  EXPECT_LT(first, fromFirst);
  EXPECT_LT(fromSecond, fromFirst);
  EXPECT_LT(second, fromSecond);
  EXPECT_LE(fromFirst, whole);
  EXPECT_EQ(size(tJobScope::selectedFigure, last), size(tJobScope::fromSelectedFigure, last));

  // The main status panel names the file while it is written.
  std::vector<std::string> panel;
  tWidokProjektu view;
  view.panelStatusu = [&](const std::string& t) { panel.push_back(t); };
  p.ustawWidok(view);
  size(tJobScope::wholeProject, -1);
  EXPECT_EQ(panel, (std::vector<std::string>{
                       f.texts.dajTxt("Project_window", "msgZapisPliku") + (folder / "out.cnx").string(), ""}));
}

TEST(JobChecks, APlotterClassControllerTakesJobsBelowItsBufferOnly) {
  PlanFixture f;
  const TMDIChild& p = f.open(kStar);
  struct Case {
    bool cnc;
    std::uintmax_t bytes;
    bool refused;
  };
  for (const Case& c : {Case{false, 4193280, false}, Case{false, 4193281, true}, Case{true, 4193281, false},
                        Case{true, 100000000, false}}) {
    tMachineState m = machineOf(Kind::router);
    m.link.cncMachine = c.cnc;
    const auto refusal = tJobChecks(p, f.settings, m, f.texts).jobSize(c.bytes);
    EXPECT_EQ(refusal.has_value(), c.refused) << c.cnc << " " << c.bytes;
    if (refusal) {
      EXPECT_EQ(refusal->text, f.texts.dajTxt("Main_window", "msgPrzekroczonaWartoscBufora"));
    }
  }
}

}  // namespace
}  // namespace trazvik
