// Options of the job writer on the machines that have them: heads with
// offsets and Z zeros, the tangential knife, the spindle-wait and
// single-power models, the safety enclosure, polishing, Bezier segments
// and jobs from G-code programs.
#include "job_writer_fixture.h"

namespace trazvik::test {
namespace {

// Absolute step positions after every move of a decoded job (Z only while
// the third coordinate drives Z).
struct Track {
  std::vector<tJobPosition> after;  // per command: position after it
};

Track track(const std::basic_string<std::uint8_t>& bytes, const tMachineState& m, tJobPosition start) {
  const tCommandSet set = commandSetOf(m.model, m.link);
  Track t;
  tJobPosition p = start;
  for (const auto& c : decodeCommandStream(std::span(bytes.data(), bytes.size()), set, m.model.commandLengths)) {
    if (c.kind == CommandKind::move) {
      p.x += c.delta.dx;
      p.y += c.delta.dy;
      if (c.thirdAxis == ThirdAxis::knife)
        p.knife += c.delta.dz;
      else
        p.z += c.delta.dz;
    }
    t.after.push_back(p);
  }
  return t;
}

// "YJB" has three heads. The header selects the chosen head (Z record,
// its Z reference from the status, output code); the trailer releases it.
TEST_F(JobWriterTest, MultiHeadRouterSelectsAndReleasesTheChosenHead) {
  addSquare(8.99);
  tMachineState m = jobMachineFor("YJB", 7, 20);
  m.status.pos0Z123 = {10000, 12345, 9000};
  m.status.sel_power = 0x01;
  tJobRequest r;
  r.chosenHead = 1;
  ASSERT_TRUE(write(m, r).ok);
  EXPECT_RUN(lines_, (Lines{"s3z head-z bit=2", "p pause ms=255 x3", "p pause ms=235", "n head-z-reference steps=61725",
                            "p pause ms=255 x3", "p pause ms=235", "r outputs state=1 mask=0xA0", "p pause ms=200",
                            "t power channel=3 value=1"}));
  EXPECT_RUN(lines_, (Lines{"p pause ms=1", "r outputs state=0 mask=0x02", "r outputs state=0 mask=0x01",
                            "r outputs state=0 mask=0x01", "p pause ms=255 x7", "p pause ms=215",
                            "r outputs state=0 mask=0xA0", "p pause ms=1", "f select-slot slot=2", "SE job-end"}));
}

class MultiLayer : public JobWriterTest {
 protected:
  void SetUp() override {
    JobWriterTest::SetUp();
    konfig_.set("ProjektType", 1);
    project_->otwarto_jako_wielowarstwowy = true;
    project_->warstwy = std::make_unique<tWarstwy>();
  }
  void layer(int color, int head, int order, int speed = 800, int rotations = 12000) {
    tWarstwa& w = project_->warstwy->layer[static_cast<std::size_t>(color)];
    w.org_color = color;
    w.wystepuje = w.aktywna = true;
    w.glowica = static_cast<std::uint8_t>(head);
    w.kolejnosc = order;
    w.szybkosc = speed;
    w.obroty = rotations;
    w.glebokosc = 1.5;
    w.iloscFigAktywnych = 0;
    for (const auto& f : project_->fig) w.iloscFigAktywnych += f->org_color == color;
    project_->warstwy->EnableSorting();
  }
};

// Two layers on two heads of "YJB": the second layer releases head 1,
// rises to head 1's Z zero and selects head 2; its moves are shifted by
// the head offset (150, 1 mm by default) and the Z zeros' difference.
TEST_F(MultiLayer, HeadChangeBetweenLayersShiftsTheMoves) {
  addSquare(8.99, 0, 0, 1);
  addSquare(8.99, 0, 0, 2);
  layer(1, 1, 0);
  layer(2, 2, 1);
  tMachineState m = jobMachineFor("YJB", 7, 20);
  m.status.pos0Z123 = {10000, 12000, 0};
  const tJobResult res = write(m);
  ASSERT_TRUE(res.ok) << res.error;
  // Layer blocks: slots with the layer's feed, powers / 100, one closing
  // pause on a multi-head machine, tool start.
  const int first = findRun(lines_, {"p pause ms=10", "v load-slot slot=0 code=4800"});
  ASSERT_GE(first, 0) << joined(lines_);
  EXPECT_RUN(lines_, (Lines{"p pause ms=200", "t power channel=3 value=1", "p pause ms=200",
                            "t power channel=1 value=120", "p pause ms=200", "r outputs state=1 mask=0x01"}));
  const int change = findRun(
      lines_, {"r outputs state=0 mask=0x00", "p pause ms=255 x7", "p pause ms=215", "r outputs state=0 mask=0x90"});
  ASSERT_GT(change, first) << joined(lines_);
  EXPECT_EQ(lines_[static_cast<std::size_t>(change) + 5], "s3z head-z bit=2");
  EXPECT_EQ(lines_[static_cast<std::size_t>(change) + 8], "n head-z-reference steps=60000");
  // Where the travel move of each square ends: head 2 runs 150 mm right,
  // 1 mm up and 20 mm higher in the job's coordinates than head 1.
  const Track t = track(bytes_, m, {0, 0, 15490 * 5 / 10, 0});
  std::vector<tJobPosition> travels;
  const tCommandSet set = commandSetOf(m.model, m.link);
  const auto cmds = decodeCommandStream(std::span(bytes_.data(), bytes_.size()), set, m.model.commandLengths);
  for (std::size_t i = 1; i + 1 < cmds.size(); ++i)
    if (i >= 2 && cmds[i].kind == CommandKind::move && cmds[i - 1].kind == CommandKind::outputs &&
        cmds[i - 1].mask == 0x01 && cmds[i - 1].number == 1 && cmds[i - 2].kind == CommandKind::selectSlot &&
        cmds[i - 2].number == 0 && cmds[i + 1].kind == CommandKind::pause)
      travels.push_back(t.after[i]);
  ASSERT_EQ(travels.size(), 2u);
  EXPECT_EQ(travels.front().x, 0);
  EXPECT_EQ(travels.back().x - travels.front().x, 150 * 100 * 5);
  EXPECT_EQ(travels.back().y - travels.front().y, 1 * 100 * 5);
  EXPECT_EQ(travels.back().z - travels.front().z, -20 * 100 * 5);
}

TEST_F(MultiLayer, SameHeadNoChangeAndSingleHeadClosesWithTwoPauses) {
  addSquare(8.99, 0, 0, 1);
  addSquare(8.99, 800, 0, 2);
  layer(1, 1, 0);
  layer(2, 1, 1);
  ASSERT_TRUE(write(jobMachineFor("YFB 32", 7, 20)).ok);
  EXPECT_EQ(findRun(lines_, {"r outputs state=0 mask=0x90"}), -1);
  int blocks = 0;
  for (std::size_t i = 0; i + 6 < lines_.size(); ++i)
    blocks += lines_[i] == "t power channel=1 value=120" && lines_[i + 1] == "p pause ms=200" &&
              lines_[i + 2] == "p pause ms=200" && lines_[i + 3] == "r outputs state=1 mask=0x01";
  EXPECT_EQ(blocks, 2);
  // A multi-layer figure plunges with its first cutting move.
  EXPECT_RUN(lines_, (Lines{"r outputs state=1 mask=0x01", "p pause ms=10", "v load-slot slot=3 code=12000",
                            "f select-slot slot=3", "a move dx=+0 dy=+0 dz=-1500 L=3000 code=65535"}));
}

// Which layers a job over a range of figures writes.
TEST_F(MultiLayer, LayerSelectionFollowsTheRange) {
  addSquare(8.99, 0, 0, 1);  // 0: layer 1, order 0
  addSquare(8.99, 0, 0, 2);  // 1: layer 2, order 1
  addSquare(8.99, 0, 0, 3);  // 2: layer 3, order 2
  layer(1, 1, 0);
  layer(2, 1, 1);
  layer(3, 1, 2);
  layer(4, 1, 3);  // no figures
  struct Case {
    int start, end;
    bool l1, l2, l3, l4;
  } cases[] = {{0, 2, true, true, true, false},
               {1, 2, false, true, true, false},
               {1, 1, false, true, false, false},
               {2, 2, false, false, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + ".." + std::to_string(c.end));
    EXPECT_EQ(project_->WarstwaBedzieObrabiana(c.start, c.end, 1), c.l1);
    EXPECT_EQ(project_->WarstwaBedzieObrabiana(c.start, c.end, 2), c.l2);
    EXPECT_EQ(project_->WarstwaBedzieObrabiana(c.start, c.end, 3), c.l3);
    EXPECT_EQ(project_->WarstwaBedzieObrabiana(c.start, c.end, 4), c.l4);
  }
  // From figure 1: layers 2 and 3 from figure 1 on, so three layer
  // blocks would be wrong; each layer writes only its own figures.
  tJobRequest figures1To2;
  figures1To2.first = 1;
  figures1To2.last = 2;
  const tJobResult r = write(jobMachineFor("YFB 32", 7, 20), figures1To2);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.figuresWritten, 5);  // handed over: layer 2 figures 1, 2; layer 3 figures 0..2
  int travels = 0;
  for (const auto& l : lines_) travels += l == "f select-slot slot=0";
  EXPECT_EQ(travels, 2 * 3);  // only figures of the layer's colour get a block, with three "f" 0 each
}

// "YHB 32": single-power header and the tangential knife.
TEST_F(JobWriterTest, KnifeTurnsOutOfTheMaterialAtCorners) {
  konfig_.setChecked("CBAktywnaGlowica", true);
  addSquare(8.99);
  ASSERT_TRUE(write(jobMachineFor("YHB 32", 7, 20)).ok);
  EXPECT_RUN(lines_, (Lines{"v load-slot slot=3 code=12000", "p pause ms=200", "t power channel=1 value=100",
                            "p pause ms=200", "r outputs state=1 mask=0x01"}));
  // The blade is turned to the first side over the first point.
  EXPECT_RUN(lines_, (Lines{"s3v third-axis mode=4", "a move dx=+0 dy=+0 dz=+0 L=10 code=65535", "p pause ms=10",
                            "s3v third-axis mode=0"}));
  // At the first corner (a quarter turn, 1000 of 4000 knife steps): up
  // to the safe height, turn, down again.
  EXPECT_RUN(lines_,
             (Lines{"a move dx=+10000 dy=+0 dz=+0 L=20000 code=65535", "p pause ms=10", "s3v third-axis mode=0",
                    "a move dx=+0 dy=+0 dz=+6500 L=13000 code=65535", "p pause ms=10", "s3v third-axis mode=4",
                    "a move dx=+0 dy=+0 dz=+1000 L=2000 code=65535", "p pause ms=10", "s3v third-axis mode=0",
                    "a move dx=+0 dy=+0 dz=-6500 L=13000 code=65535", "p pause ms=10", "s3v third-axis mode=4"}));
}

TEST_F(JobWriterTest, TwoEdgedKnifeCutsBackWithoutTurning) {
  konfig_.setChecked("CBAktywnaGlowica", true);
  for (bool twoEdged : {false, true}) {
    SCOPED_TRACE(twoEdged);
    konfig_.setChecked("CBDwuKierunkowyNoz", twoEdged);
    project_->fig.clear();
    addFigure({{0, 0, 359.6}, {400, 0, 359.6}, {0, 0, 359.6}});
    ASSERT_TRUE(write(jobMachineFor("YHB 32", 7, 20)).ok);
    const bool turned =
        findRun(lines_, {"s3v third-axis mode=4", "a move dx=+0 dy=+0 dz=+2000 L=4000 code=65535"}) >= 0;
    EXPECT_EQ(turned, !twoEdged) << joined(lines_);
  }
}

// "RB2": drilling slots for the whole job and "sfw" instead of run-up pauses.
TEST_F(JobWriterTest, SpindleWaitModelWaitsForTheSpindle) {
  addSquare(8.99);
  const tMachineState m = jobMachineFor("RB2", 9, 20);
  ASSERT_TRUE(writerMachineOf(m).spindleWait);
  ASSERT_TRUE(write(m).ok);
  EXPECT_RUN(lines_,
             (Lines{"p pause ms=10", "t power channel=3 value=100", "p pause ms=10", "t power channel=1 value=100",
                    "p pause ms=10", "r outputs state=1 mask=0x01", "p pause ms=250", "r outputs state=1 mask=0x01",
                    "p pause ms=10", "sfw spindle-wait", "p pause ms=200"}));
  // Approach: no slot reload, spindle wait, plunge through slot 4.
  EXPECT_RUN(lines_, (Lines{"p pause ms=10", "p pause ms=10", "sfw spindle-wait", "f select-slot slot=4"}));
  // Retract through slot 5, tool output kept on before rising.
  EXPECT_RUN(lines_, (Lines{"p pause ms=2", "f select-slot slot=5"}));
  EXPECT_RUN(lines_, (Lines{"f select-slot slot=0", "r outputs state=1 mask=0x01"}));
  // The drilling feeds stay in slots 4 and 5 for the whole job.
  EXPECT_EQ(lines_[3], "v load-slot slot=4 code=54000");
  EXPECT_EQ(lines_[4], "v load-slot slot=5 code=27000");
}

TEST_F(JobWriterTest, SafetyEnclosureLeavesPowerAndSpindleToTheMachine) {
  addSquare(8.99);
  tMachineState m = jobMachineFor("YFB 32", 7, 20);
  m.model.safetyEnclosure = true;
  ASSERT_TRUE(write(m).ok);
  ASSERT_GE(lines_.size(), 5u);
  EXPECT_EQ(lines_[3], "p pause ms=10");
  EXPECT_EQ(lines_[4], "f select-slot slot=0");
}

TEST_F(JobWriterTest, PolishingStartsOnceBelowItsHeight) {
  konfig_.setChecked("polerowanie", true);
  addFigure({{0, 0, 400}, {400, 0, 400}, {400, 0, 359.6}, {0, 0, 359.6}, {0, 400, 359.6}, {0, 0, 359.6}});
  ASSERT_TRUE(write(jobMachineFor("YFB 32", 7, 20)).ok);
  // No separate plunge with polishing; the pass starts before the first
  // point below 10.49 - 1.5 + 0.5 mm.
  EXPECT_EQ(findRun(lines_, {"a move dx=+0 dy=+0 dz=-1500 L=3000 code=65535"}), -1);
  EXPECT_RUN(lines_, (Lines{"v load-slot slot=3 code=6000", "p pause ms=1", "f select-slot slot=3",
                            "r outputs state=1 mask=0x03", "a move dx=+0 dy=+0 dz=-1010 L=2020 code=65535"}));
  int starts = 0;
  for (const auto& l : lines_) starts += l == "r outputs state=1 mask=0x03";
  EXPECT_EQ(starts, 1);
}

TEST_F(JobWriterTest, BezierSegmentsReplaceTheCuttingMoves) {
  konfig_.setChecked("wygladzanie", true);
  tfigura& f = addSquare(8.99);
  tBezier seg;
  seg.A = {0, 0, 359.6};
  seg.B = {40, 0, 359.6};
  seg.C = {80, 0, 359.6};
  seg.D = {120, 40, 319.6};  // 3, 1 mm; 1 mm deeper
  seg.U = 0.01f;
  seg.gladki = false;
  f.SpiralaBezier = {seg};
  tMachineState m = jobMachineFor("YFB 32", 7, 20);
  m.model.bezierCommands = true;
  ASSERT_TRUE(write(m).ok);
  EXPECT_RUN(lines_, (Lines{"r outputs state=1 mask=0x01", "sWA bezier-point A x=0 y=0 z=0",
                            "sWB bezier-point B x=1000 y=0 z=0", "sWC bezier-point C x=2000 y=0 z=0",
                            "sWD bezier-point D x=3000 y=1000 z=-1000", "sWU bezier-step u=0.008",
                            "sWL bezier-steps n=125", "sWG bezier-join smooth=0", "sWW bezier-execute",
                            "l segment-limit code=65535", "p pause ms=100", "p pause ms=2"}));
  // The tool leaves the material straight up where the segment ended, not
  // on a slant back to the toolpath's last point.
  EXPECT_RUN(lines_, (Lines{"p pause ms=2", "v load-slot slot=3 code=6000", "f select-slot slot=3",
                            "a move dx=+0 dy=+0 dz=+2500 L=5000 code=65535"}));
  EXPECT_EQ(findRun(lines_, {"a move dx=-3000 dy=-1000 dz=+2500 L=8064 code=65535"}), -1);
  // A segment that bulges out between its ends: the job's extent, which the
  // working-area checks read, reaches the top of the bulge (3/4 of the
  // handles' 30 mm), far beyond the square's 10 mm.
  tBezier bulge;
  bulge.A = {0, 0, 359.6};
  bulge.B = {0, 1200, 359.6};
  bulge.C = {-400, 1200, 359.6};
  bulge.D = {-400, 0, 359.6};
  bulge.U = 0.01f;
  f.SpiralaBezier = {bulge};
  const tJobResult bulging = write(m);
  ASSERT_TRUE(bulging.ok);
  EXPECT_NEAR(bulging.extremes.maxY, 22.5, 1e-6);
  EXPECT_NEAR(bulging.extremes.minX, -10, 1e-6);
  // Without segments the figure is cut along its toolpath with moves.
  f.SpiralaBezier.clear();
  ASSERT_TRUE(write(m).ok);
  for (const auto& l : lines_) EXPECT_NE(l.rfind("sW", 0), 0u) << l;
  EXPECT_RUN(lines_, (Lines{"a move dx=+10000 dy=+0 dz=+0 L=20000 code=65535", "p pause ms=10",
                            "a move dx=+0 dy=+10000 dz=+0 L=20000 code=65535", "p pause ms=10",
                            "a move dx=-10000 dy=+0 dz=+0 L=20000 code=65535", "p pause ms=10",
                            "a move dx=+0 dy=-10000 dz=+0 L=20000 code=65535", "p pause ms=10", "p pause ms=2"}));
}

// A job from a G-code program: the program's feed and spindle speed, Z
// scaled like X and Y, and the safe approach of a selected figure.
TEST_F(JobWriterTest, ProgramFigureOfASelectedFigureJob) {
  project_->ImportFileType = kFileTypeGcode;
  project_->GcodPar.gF = 1200;
  project_->GcodPar.gS = 12000;
  project_->GcodPar.maxZ = 5;
  konfig_.set("skala", 200);
  addFigure({{1000, 0, 200}, {2000, 0, 200}, {2000, 1000, 100}});  // mm x 100
  tJobRequest r;
  r.outputMode = kOutputProgram;
  r.first = r.last = 0;
  r.oneSelectedFigureOfProgram = true;
  const tJobResult res = write(jobMachineFor("YFB 32", 7, 20), r);
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(lines_[1], "v load-slot slot=1 code=1000");
  EXPECT_RUN(lines_, (Lines{"p pause ms=200", "t power channel=1 value=120", "p pause ms=200"}));
  // safe approach at the travel height 5 mm (the job starts there), then
  // the figure: rapid slot for its first move, 20 mm X, 4 mm Z (scaled)
  EXPECT_RUN(lines_, (Lines{"f select-slot slot=0", "a move dx=+20000 dy=+0 dz=+0 L=40000 code=65535", "p pause ms=10",
                            "f select-slot slot=1", "f select-slot slot=0",
                            "a move dx=+0 dy=+0 dz=-1000 L=2000 code=65535", "f select-slot slot=1"}));
  EXPECT_RUN(lines_, (Lines{"a move dx=+0 dy=+20000 dz=-2000 L=40200 code=65535", "p pause ms=20",
                            "f select-slot slot=0", "p pause ms=10"}));
}

}  // namespace
}  // namespace trazvik::test
