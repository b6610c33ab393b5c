// Machine kinds and options of the job writer: a narrow-set router with
// lubrication and peck drilling, a laser with flying start, multi-head
// routers, the knife, the single-power model, the spindle-wait model and
// the safety enclosure.
#include "job_writer_fixture.h"

#include <algorithm>
#include <cmath>

namespace trazvik::test {
namespace {

// "YFF": narrow set, 1 mm = 980 steps in X and Y and 100 in Z; feed codes
// travel 750, work 1500, polish 3750, Z plunge 7500, Z retract 3750.
TEST_F(JobWriterTest, NarrowRouterPeckDrillsWithLubrication) {
  konfig_.setChecked("PodczasWiercenia", true);
  konfig_.setChecked("PrzedWierceniem", true);
  tfigura& hole = addFigure({{400, 400, 419.6}, {400, 400, 319.6}});  // 10, 10 mm; down to 7.99 mm
  hole.otwor = true;
  const tJobResult r = write(jobMachineFor("YFF", 5, 0));
  ASSERT_TRUE(r.ok) << r.error;
  const Lines figure = {
      "p pause ms=10",
      "f select-slot slot=0",
      "r outputs state=1 mask=0xC0",  // lubrication off while travelling
      "r outputs state=1 mask=0x01",
      "a move dx=+980 dy=+980 dz=+0 L=1386",
      "p pause ms=10",
      "r outputs state=0 mask=0xC0",  // before drilling
      "a move dx=+0 dy=+0 dz=-400 L=400",
      "p pause ms=10",
      "v load-slot slot=3 code=7500",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-100 L=100",
      "p pause ms=10",
      "f select-slot slot=1",
      "r outputs state=0 mask=0xC0",  // while drilling
      // two pecks of 1 mm, each backed off by 0.5 mm
      "p pause ms=10",
      "v load-slot slot=3 code=7500",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-100 L=100",
      "p pause ms=10",
      "v load-slot slot=3 code=3750",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=+50 L=50",
      "p pause ms=10",
      "v load-slot slot=3 code=7500",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-50 L=50",
      "p pause ms=10",
      "v load-slot slot=3 code=7500",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-100 L=100",
      "p pause ms=10",
      "v load-slot slot=3 code=3750",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=+50 L=50",
      "p pause ms=10",
      "v load-slot slot=3 code=7500",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-50 L=50",
      // to the final depth 7.99
      "p pause ms=10",
      "v load-slot slot=3 code=7500",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-50 L=50",
      "p pause ms=10",
      // end of cutting and retract
      "p pause ms=2",
      "v load-slot slot=3 code=3750",
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=+250 L=250",
      "p pause ms=10",
      "f select-slot slot=0",
      "a move dx=+0 dy=+0 dz=+500 L=500",
      "p pause ms=10",
      "f select-slot slot=0",
      "r outputs state=1 mask=0x01",
      "r outputs state=1 mask=0xC0",
      // trailer
      "p pause ms=10",
      "a move dx=-980 dy=-980 dz=+0 L=1386",
      "p pause ms=1",
      "r outputs state=0 mask=0x02",
      "r outputs state=0 mask=0x01",
      "s smoothing on=0",
      "r outputs state=1 mask=0xC0",
      "p pause ms=1",
      "f select-slot slot=2",
  };
  ASSERT_GE(lines_.size(), figure.size());
  EXPECT_EQ(lines_.front(), "s smoothing on=0");
  EXPECT_EQ(lines_[1], "v load-slot slot=0 code=750");
  EXPECT_EQ(lines_[2], "v load-slot slot=1 code=1500");
  EXPECT_EQ(lines_[3], "v load-slot slot=3 code=3750");
  const Lines tail(lines_.end() - static_cast<std::ptrdiff_t>(figure.size()), lines_.end());
  EXPECT_EQ(joined(tail), joined(figure));
}

TEST_F(JobWriterTest, ShallowDrillPointGetsOnlyTheFinalPlunge) {
  tfigura& hole = addFigure({{400, 400, 419.6}, {400, 400, 399.6}});  // 0.5 mm below the surface
  hole.otwor = true;
  ASSERT_TRUE(write(jobMachineFor("YFF", 5, 0)).ok);
  int plungesWithoutLimit = 0;
  for (const auto& l : lines_) plungesWithoutLimit += l.rfind("a move dx=+0 dy=+0 dz=-", 0) == 0;
  // approach to 1 mm above, to the surface, then straight to the depth
  EXPECT_EQ(plungesWithoutLimit, 3);
  EXPECT_RUN(lines_,
             (Lines{"f select-slot slot=3", "a move dx=+0 dy=+0 dz=-50 L=50", "p pause ms=10", "p pause ms=2"}));
}

// A narrow job from a drawing gives every planned code as an "l" suffix,
// a stop as "l" 1 with "p" 1.
TEST_F(JobWriterTest, NarrowCuttingMovesCarryTheirLimits) {
  addSquare(8.99);
  ASSERT_TRUE(write(jobMachineFor("YFF", 5, 0)).ok);
  // The first stop lifts the limit the controller starts with, later
  // stops only pause.
  EXPECT_RUN(lines_, (Lines{"r outputs state=1 mask=0x01", "a move dx=+0 dy=+0 dz=+0 L=10", "l segment-limit code=1",
                            "p pause ms=1", "a move dx=+980 dy=+0 dz=+0 L=980", "p pause ms=1",
                            "a move dx=+0 dy=+980 dz=+0 L=980", "p pause ms=1"}));
}

// "WTK32": a laser without Z axis. The flying start backs off along the
// run, comes back to its first point and switches the beam on there; at a
// corner stop the beam goes off before the run-out.
TEST_F(JobWriterTest, LaserFlyingStartRunsUpBeforeTheBeam) {
  konfig_.setChecked("LotnyStart", true);
  addSquare(0, 400, 400);
  const tJobResult r = write(jobMachineFor("WTK32", 7, 20));
  ASSERT_TRUE(r.ok) << r.error;
  // header: laser power 100 % of 255, no spindle, no run-up
  EXPECT_EQ(lines_[3], "t power channel=1 value=255");
  EXPECT_EQ(lines_[4], "p pause ms=250");
  int firstRun = -1;
  for (std::size_t i = 0; i + 4 < lines_.size(); ++i)
    if (lines_[i + 1] == "p pause ms=100" && lines_[i + 3] == "r outputs state=1 mask=0x01") {
      firstRun = static_cast<int>(i);
      break;
    }
  ASSERT_GE(firstRun, 0) << joined(lines_);
  std::vector<tDecodedCommand> cmds;
  {
    const tMachineState m = jobMachineFor("WTK32", 7, 20);
    const tCommandSet set = commandSetOf(m.model, m.link);
    cmds = decodeCommandStream(std::span(bytes_.data(), bytes_.size()), set, m.model.commandLengths);
  }
  // map line index to command index: no folded pauses in a laser job without run-up
  const tDecodedCommand& back = cmds[firstRun];
  const tDecodedCommand& up = cmds[firstRun + 2];
  ASSERT_EQ(back.kind, CommandKind::move);
  ASSERT_EQ(up.kind, CommandKind::move);
  EXPECT_LT(back.delta.dx, 0);  // the first side runs in +X
  EXPECT_EQ(back.delta.dy, 0);
  EXPECT_EQ(up.delta.dx, -back.delta.dx);
  EXPECT_EQ(cmds[firstRun + 4].name, "sLS");
  EXPECT_EQ(cmds[firstRun + 5].kind, CommandKind::move);  // the cut of the first side
  EXPECT_EQ(cmds[firstRun + 5].delta.dx, 2519);           // 20 mm less 10 mm in steps of 1/251.97 mm
  // The run-up went left of the square: the extremes show it.
  EXPECT_LT(r.extremes.minX, 10);
  // At the first corner: beam off, then the run-out further along +X.
  const int corner = firstRun + 6;
  EXPECT_EQ(cmds[corner].name, "sLC");
  EXPECT_EQ(cmds[corner + 1].kind, CommandKind::move);
  EXPECT_EQ(cmds[corner + 1].delta.dx, -back.delta.dx);
}

TEST_F(JobWriterTest, LaserWithoutFlyingStartSwitchesTheBeamBeforeCutting) {
  konfig_.setChecked("LaserMiekkiStart", true);
  addSquare(0);
  ASSERT_TRUE(write(jobMachineFor("WTK32", 7, 20)).ok);
  // soft start: idle power 5 % of 255 in the header, "r" 1 0x03 as beam off
  EXPECT_RUN(lines_, (Lines{"t power channel=1 value=255", "t power channel=3 value=13"}));
  EXPECT_RUN(lines_, (Lines{"p pause ms=1", "r outputs state=1 mask=0x01", "sLS laser-on"}));
  EXPECT_RUN(lines_, (Lines{"p pause ms=1", "r outputs state=1 mask=0x03", "p pause ms=2",
                            "v load-slot slot=3 code=95250", "f select-slot slot=0"}));
  // No Z axis: every stop is on the same height, so pauses are short.
  EXPECT_EQ(findRun(lines_, {"p pause ms=50"}), -1);
  // the trailer switches the beam off and clears both outputs
  EXPECT_RUN(lines_,
             (Lines{"p pause ms=10", "sLC laser-off", "r outputs state=0 mask=0x02", "r outputs state=0 mask=0x01"}));
}

// A plotter-class controller ("LFV", not a cnc machine): no smoothing
// switch, powers scaled by the full laser power, no corner planning; an
// open stroke of three points.
TEST_F(JobWriterTest, PlotterClassOpenStroke) {
  addFigure({{0, 0, 359.6}, {400, 0, 359.6}, {400, 400, 359.6}});
  tMachineState m = jobMachineFor("LFV", 5, 0);
  m.link.cncMachine = false;
  ASSERT_TRUE(write(m).ok);
  const Lines header = {
      "v load-slot slot=0 code=267",
      "v load-slot slot=1 code=533",
      "v load-slot slot=3 code=1333",
      "t power channel=1 value=255",
      "t power channel=3 value=255",
      "r outputs state=1 mask=0x01",
      "p pause ms=250",
      "r outputs state=1 mask=0x01",
      "p pause ms=255 x11",
      "p pause ms=195",
      "p pause ms=200",
  };
  ASSERT_GE(lines_.size(), header.size());
  EXPECT_EQ(joined(Lines(lines_.begin(), lines_.begin() + header.size())), joined(header));
  // Z plunge feeds are scaled by the Z axis factor (5.33 steps per 0.01 mm).
  EXPECT_RUN(lines_, (Lines{"p pause ms=10", "v load-slot slot=3 code=500", "f select-slot slot=3"}));
  EXPECT_RUN(lines_, (Lines{"p pause ms=2", "v load-slot slot=3 code=250", "f select-slot slot=3"}));
  // Ends are stops, the middle point runs free: "l" 1 once, then pauses.
  EXPECT_RUN(lines_, (Lines{"r outputs state=1 mask=0x01", "a move dx=+0 dy=+0 dz=+0 L=10", "l segment-limit code=1",
                            "p pause ms=1", "a move dx=+979 dy=+0 dz=+0 L=2940", "a move dx=+0 dy=+979 dz=+0 L=2940",
                            "p pause ms=1", "p pause ms=2"}));
  // No smoothing switch anywhere on a plotter-class controller.
  EXPECT_EQ(findRun(lines_, {"s smoothing on=0"}), -1);
  EXPECT_EQ(lines_.back(), "f select-slot slot=2");
}

// "WTK11": a laser with a focus axis keeps Z at the travel height (minus
// the material thickness) in every move of the job.
TEST_F(JobWriterTest, LaserWithZAxisStaysAtTheTravelHeight) {
  addSquare(0);
  const tMachineState m = jobMachineFor("WTK11", 7, 20);
  ASSERT_TRUE(writerMachineOf(m).laserZAxis);
  ASSERT_TRUE(write(m).ok);
  const tCommandSet set = commandSetOf(m.model, m.link);
  int moves = 0;
  for (const auto& c : decodeCommandStream(std::span(bytes_.data(), bytes_.size()), set, m.model.commandLengths)) {
    if (c.kind != CommandKind::move) continue;
    ++moves;
    EXPECT_EQ(c.delta.dz, 0) << shortText(c, set);
  }
  EXPECT_GT(moves, 6);
  // approach straight at the travel height into the working slot
  EXPECT_RUN(lines_, (Lines{"p pause ms=10", "f select-slot slot=1", "p pause ms=1", "r outputs state=1 mask=0x01",
                            "sLS laser-on"}));
}

TEST_F(JobWriterTest, LaserDrillPointIsOnePulse) {
  tfigura& hole = addFigure({{400, 400, 0}, {400, 400, 0}});
  hole.otwor = true;
  ASSERT_TRUE(write(jobMachineFor("WTK32", 7, 20)).ok);
  EXPECT_RUN(lines_, (Lines{"p pause ms=1", "r outputs state=1 mask=0x01", "sLT laser-pulse-time ms=100",
                            "sLP laser-pulse", "sP pulse-time ms=100", "p pause ms=1", "r outputs state=0 mask=0x01",
                            "p pause ms=1", "p pause ms=1", "sLC laser-off"}));
}

// A G-code program's S word is the spindle speed or power of its job, held
// within the machine's working power range as the working power setting is:
// a laser or "YHB 32" in percent, a router in its spindle's rpm.
TEST_F(JobWriterTest, ProgramSpindleWordHeldWithinTheMachinesPowerRange) {
  project_->ImportFileType = kFileTypeGcode;
  project_->GcodPar.maxZ = 5;
  addFigure({{0, 0, 300}, {1000, 0, 300}});
  tJobRequest r;
  r.outputMode = kOutputProgram;
  const struct {
    const char* type;
    int level;
    double sWord;
    const char* power;
  } cases[] = {
      {"WTK32", 5, 12000, "t power channel=1 value=255"},   // 100 % of 255
      {"WTK32", 7, 40, "t power channel=1 value=102"},      // 40 %
      {"YHB 32", 5, 12000, "t power channel=1 value=100"},  // 100 %
      {"YFB 32", 7, 12000, "t power channel=1 value=120"},  // rpm / 100
      {"YFB 32", 7, 500, "t power channel=1 value=30"},     // raised to 3000 rpm
      {"RB", 7, 12000, "t power channel=1 value=2400"},     // lowered to 2400 rpm
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " S" + std::to_string(c.sWord));
    project_->GcodPar.gS = c.sWord;
    const tJobResult res = write(jobMachineFor(c.type, c.level, 20), r);
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_NE(std::find(lines_.begin(), lines_.end(), c.power), lines_.end()) << joined(lines_);
  }
  // A one-byte power command cannot carry a drill's spindle speed; the
  // refusal says what to change.
  project_->GcodPar.gS = 12000;
  const tJobResult refused = write(jobMachineFor("RB", 5, 10), r);
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.error.find("firmware below 6 takes at most 255"), std::string::npos) << refused.error;
}

}  // namespace
}  // namespace trazvik::test
