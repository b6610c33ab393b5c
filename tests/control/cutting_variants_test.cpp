// Cut the selected figure and start from it: what goes to the machine, what
// is written, and every refusal.
#include "start_fixture.h"

#include "job/job_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace trazvik {
namespace {

using trazvik::testing::StartFixture;

const std::string kStar = std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt";
const std::string kPocket = std::string(TRAZVIK_SOURCE_DIR) + "/samples/pocket.nc";

struct Variants : StartFixture {
  tVariantOutcome run(tJobScope which) {
    return which == tJobScope::selectedFigure ? start->Tnijwybran1Click(project.get())
                                              : start->Startodwybranej1Click(project.get());
  }
};

struct VariantCase {
  const char* name;
  tJobScope which;
  int baseChecks;  // in base-check mode only the start from the selection checks the base
};
const VariantCase kVariants[] = {{"cut the selected figure", tJobScope::selectedFigure, 0},
                                 {"start from the selected figure", tJobScope::fromSelectedFigure, 1}};

TEST(CuttingVariants, WithoutASelectionOnlyTheMessageIsShown) {
  for (const VariantCase& c : kVariants) {
    SCOPED_TRACE(c.name);
    Variants v;
    EXPECT_EQ(v.run(c.which), tVariantOutcome::noProject);
    v.open(kStar, -1);
    EXPECT_EQ(v.run(c.which), tVariantOutcome::noSelection);
    ASSERT_EQ(v.boxes.messages().size(), 1u);
    EXPECT_EQ(v.boxes.messages()[0].text, v.texts.dajTxt("Main_window", "msgNajpierwWybierzFigure"));
    EXPECT_EQ(v.boxes.messages()[0].caption, "/designs/star.plt");
    EXPECT_TRUE(v.machine.log.empty());
    EXPECT_FALSE(v.jobWritten());
  }
}

TEST(CuttingVariants, PrepareTheMachineWriteTheSelectionAndHandItOver) {
  for (const VariantCase& c : kVariants) {
    SCOPED_TRACE(c.name);
    Variants v;
    v.context->switches.checkBaseMode = true;
    v.settings.set("przespeed", 900);
    v.machine.open = true;  // a transfer left running is stopped first
    v.open(kStar, 2);
    ASSERT_EQ(v.run(c.which), tVariantOutcome::started);
    EXPECT_TRUE(v.boxes.messages().empty());
    const std::vector<std::string> expected{"readState",
                                            "stopTransfer",
                                            "V 00 84 03 00 00",
                                            "F 00",
                                            "Q",
                                            "sleep 10",
                                            "wait",
                                            "Q",
                                            "sleep 10",
                                            "wait",
                                            "C",
                                            "sleep 10",
                                            "wait",
                                            "V 00 84 03 00 00",  // the travel feed again after clearing
                                            "powers 100.000000 100.000000",
                                            "sleep 3000",
                                            "move 0 z15.490000 y0.000000 x0.000000",
                                            "startTransfer"};
    EXPECT_EQ(v.machine.log, expected);
    EXPECT_EQ(v.start->plan().scope, c.which);
    EXPECT_EQ(v.start->plan().outputMode, kOutputDrawing);
    EXPECT_EQ(v.start->plan().request.first, 2);
    EXPECT_TRUE(v.jobWritten());
    EXPECT_EQ(v.project->selected, 2) << "the outline is rebuilt, the selection stays";
    EXPECT_EQ(v.baseChecks, c.baseChecks);
    EXPECT_EQ(v.runRequests, 1);
    ASSERT_EQ(v.started.size(), 1u);
    EXPECT_EQ(v.started[0].settingsCaption, "/cfg/Settings.mcc");
    EXPECT_EQ(v.start->jobFilePath(), v.folder.text() + "out.cnx");
  }
}

TEST(CuttingVariants, AGcodeProgramIsWrittenInItsOwnModeAtItsOwnHeight) {
  Variants v;
  TMDIChild& p = v.open(kPocket, 1);
  ASSERT_EQ(v.run(tJobScope::fromSelectedFigure), tVariantOutcome::started);
  EXPECT_EQ(v.start->plan().outputMode, kOutputProgram);
  EXPECT_TRUE(v.start->plan().request.startsFromSelectedFigureOfProgram);
  EXPECT_DOUBLE_EQ(v.travelHeight, p.GcodPar.maxZ);
  EXPECT_TRUE(v.machine.contains("move 0 z" + std::to_string(p.GcodPar.maxZ) + " y0.000000 x0.000000"));
}

TEST(CuttingVariants, RefusalsLeaveTheMachineAlone) {
  {
    SCOPED_TRACE("no controller");
    Variants v;
    v.open(kStar, 0);
    v.machine.up = false;
    EXPECT_EQ(v.run(tJobScope::selectedFigure), tVariantOutcome::noLink);
    EXPECT_EQ(v.machine.log, std::vector<std::string>{"readState"});
  }
  for (int bit : {0, 1}) {
    SCOPED_TRACE("busy, state bit " + std::to_string(bit));
    Variants v;
    v.open(kStar, 0);
    v.machine.state_.StateExtend = std::uint64_t{1} << bit;
    EXPECT_EQ(v.run(tJobScope::selectedFigure), tVariantOutcome::machineBusy);
    EXPECT_EQ(v.machine.log, std::vector<std::string>{"readState"}) << "a running job is not cleared";
    EXPECT_FALSE(v.jobWritten());
  }
  {
    SCOPED_TRACE("safety enclosure open");
    Variants v;
    v.open(kStar, 0);
    v.machine.model_.safetyEnclosure = true;
    v.machine.link_.machineInputs = 0x08;
    EXPECT_EQ(v.run(tJobScope::selectedFigure), tVariantOutcome::enclosureOpen);
    ASSERT_EQ(v.boxes.messages().size(), 1u);
    EXPECT_EQ(v.boxes.messages()[0].text, v.texts.dajTxt("Main_window", "msgSafetyEnclouserOpened"));
    EXPECT_EQ(v.boxes.messages()[0].caption, "Stop");
    EXPECT_EQ(v.stops, 1);
    EXPECT_FALSE(v.jobWritten());
    EXPECT_FALSE(v.machine.contains("startTransfer"));
  }
  {
    SCOPED_TRACE("job not written");
    Variants v;
    v.open(kStar, 0);
    std::filesystem::create_directories(v.jobFile() / "in the way");
    EXPECT_EQ(v.run(tJobScope::selectedFigure), tVariantOutcome::writeFailed);
    ASSERT_EQ(v.boxes.messages().size(), 1u);
    EXPECT_NE(v.boxes.messages()[0].text.find(v.jobFile().string()), std::string::npos);
    EXPECT_EQ(v.machine.log.back(), "F 02");
    EXPECT_FALSE(v.machine.contains("startTransfer"));
  }
  {
    SCOPED_TRACE("start position not reached");
    Variants v;
    v.open(kStar, 0);
    v.machine.moveSucceeds = false;
    EXPECT_EQ(v.run(tJobScope::selectedFigure), tVariantOutcome::startPositionFailed);
    EXPECT_EQ(v.machine.log.back(), "F 02");
    EXPECT_TRUE(v.started.empty());
  }
}

}  // namespace
}  // namespace trazvik
