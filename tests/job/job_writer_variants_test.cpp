// Variants of a job that the settings choose: spiral entry, laser layers
// in a multi-layer project, G-code programs on a narrow-set router.
#include "job_writer_fixture.h"

#include "machine/speed_code.h"

namespace trazvik::test {
namespace {

// With spiral entry the toolpath itself goes down; the writer adds no
// plunge to the depth before it.
TEST_F(JobWriterTest, SpiralEntryLeavesThePlungeToTheToolpath) {
  addSquare(8.99);
  for (bool spiral : {false, true}) {
    SCOPED_TRACE(spiral);
    konfig_.setChecked("cbZejsciePoSpirali", spiral);
    ASSERT_TRUE(write(jobMachineFor("YFB 32", 7, 20)).ok);
    const bool plunged = findRun(lines_, {"a move dx=+0 dy=+0 dz=-1500 L=3000 code=65535", "p pause ms=10",
                                          "f select-slot slot=1", "r outputs state=1 mask=0x01"}) >= 0;
    EXPECT_EQ(plunged, !spiral);
  }
}

// A multi-layer laser job: every figure gets its layer's feed and power
// (the layer's "depth" is the laser power), with the idle power of the
// soft start.
TEST_F(JobWriterTest, LaserLayersSetFeedAndPowerPerFigure) {
  konfig_.set("ProjektType", 1);
  konfig_.setChecked("LaserMiekkiStart", true);
  project_->otwarto_jako_wielowarstwowy = true;
  project_->warstwy = std::make_unique<tWarstwy>();
  addSquare(0, 0, 0, 1);
  addSquare(0, 800, 0, 2);
  for (int c : {1, 2}) {
    tWarstwa& w = project_->warstwy->layer[static_cast<std::size_t>(c)];
    w.org_color = c;
    w.wystepuje = w.aktywna = true;
    w.glowica = 1;
    w.kolejnosc = c;
    w.szybkosc = c == 1 ? 600 : 1200;
    w.glebokosc = c == 1 ? 40 : 80;  // percent of the laser's full power
    w.iloscFigAktywnych = 1;
  }
  project_->warstwy->EnableSorting();
  const tMachineState m = jobMachineFor("WTK32", 7, 20);
  ASSERT_TRUE(write(m).ok);
  const tCommandSet set = commandSetOf(m.model, m.link);
  auto slot1 = [&](double feed) { return "v load-slot slot=1 code=" + std::to_string(speedCode(feed, set)); };
  // 40 % and 80 % of 255; idle 5 % of 255 = 13
  EXPECT_RUN(lines_, (Lines{slot1(600), "t power channel=1 value=102", "t power channel=3 value=13", "p pause ms=10",
                            "f select-slot slot=0"}));
  EXPECT_RUN(lines_, (Lines{slot1(1200), "t power channel=1 value=204", "t power channel=3 value=13", "p pause ms=10",
                            "f select-slot slot=0"}));
}

// A G-code program on "YFF" (narrow set) with smoothing: smoothing on for
// the figure and off after it; stops pause 20 ms, limits are written as
// planned.
TEST_F(JobWriterTest, NarrowProgramFigure) {
  konfig_.setChecked("wygladzanie", true);
  project_->ImportFileType = kFileTypeGcode;
  project_->GcodPar.maxZ = 5;
  tfigura& f = addFigure({{0, 0, 300}, {1000, 0, 300}, {1000, 1000, 300}});
  f.Gprzestawcza = true;
  tJobRequest r;
  r.outputMode = kOutputProgram;
  ASSERT_TRUE(write(jobMachineFor("YFF", 5, 0), r).ok);
  EXPECT_RUN(lines_, (Lines{"p pause ms=10", "f select-slot slot=0", "s smoothing on=1",
                            "a move dx=+0 dy=+0 dz=-200 L=200", "l segment-limit code=1", "p pause ms=20",
                            "a move dx=+980 dy=+0 dz=+0 L=980", "p pause ms=20", "a move dx=+0 dy=+980 dz=+0 L=980",
                            "p pause ms=20", "s smoothing on=0", "p pause ms=20", "p pause ms=10"}));
}

}  // namespace
}  // namespace trazvik::test
