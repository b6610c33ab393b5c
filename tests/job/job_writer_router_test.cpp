// Single-layer jobs from a drawing on wide-set routers, checked command by
// command against the writer's numbered steps.
#include "job_writer_fixture.h"

namespace trazvik::test {
namespace {

struct RouterCase {
  int minor;  // firmware 6.minor or 7.minor
  int level;
  unsigned travel, work, polish, plunge, retract;  // speed codes of the default feeds
  unsigned stopCode;                               // what 65535 becomes at this level
};

class RouterSquare : public JobWriterTest, public ::testing::WithParamInterface<RouterCase> {};

// A 10 mm square at the cutting depth: five points, so every point is a
// stop; defaults: travel 1000, work 500, polish 200, plunge 100, retract
// 200 mm/min, powers 100 %, run-up 3 s, heights 10 + 0.49 + 5, depth 1.5.
TEST_P(RouterSquare, WholeJobFollowsTheSteps) {
  const RouterCase c = GetParam();
  addSquare(8.99);
  const tJobResult r = write(jobMachineFor("YFB 32", c.level, c.minor));
  ASSERT_TRUE(r.ok) << r.error;
  auto v = [](int slot, unsigned code) {
    return "v load-slot slot=" + std::to_string(slot) + " code=" + std::to_string(code);
  };
  const std::string stop = " code=" + std::to_string(c.stopCode);
  const Lines expected = {
      // header: slots, powers (percent / 100), tool start, run-up 3 s
      v(0, c.travel),
      v(1, c.work),
      v(3, c.polish),
      "p pause ms=200",
      "t power channel=3 value=1",
      "p pause ms=200",
      "t power channel=1 value=1",
      "p pause ms=200",
      "r outputs state=1 mask=0x01",
      "p pause ms=250",
      "r outputs state=1 mask=0x01",
      "p pause ms=255 x11",
      "p pause ms=195",
      "p pause ms=200",
      // figure: travel at the safe height 15.49 (the job starts there)
      "p pause ms=10",
      "f select-slot slot=0",
      "r outputs state=1 mask=0x01",
      "a move dx=+0 dy=+0 dz=+0 L=10" + stop,
      "p pause ms=10",
      // approach to 1 mm above the material, then the surface
      "a move dx=+0 dy=+0 dz=-4000 L=8000" + stop,
      "p pause ms=10",
      v(3, c.plunge),
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-1000 L=2000" + stop,
      "p pause ms=10",
      "f select-slot slot=1",
      // plunge to the depth, tool on
      "p pause ms=10",
      v(3, c.plunge),
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=-1500 L=3000" + stop,
      "p pause ms=10",
      "f select-slot slot=1",
      "r outputs state=1 mask=0x01",
      // the square: every point a stop with a 10 ms pause
      "a move dx=+0 dy=+0 dz=+0 L=10" + stop,
      "p pause ms=10",
      "a move dx=+10000 dy=+0 dz=+0 L=20000" + stop,
      "p pause ms=10",
      "a move dx=+0 dy=+10000 dz=+0 L=20000" + stop,
      "p pause ms=10",
      "a move dx=-10000 dy=+0 dz=+0 L=20000" + stop,
      "p pause ms=10",
      "a move dx=+0 dy=-10000 dz=+0 L=20000" + stop,
      "p pause ms=10",
      // end of cutting, retract to the surface and the safe height
      "p pause ms=2",
      v(3, c.retract),
      "f select-slot slot=3",
      "a move dx=+0 dy=+0 dz=+1500 L=3000" + stop,
      "p pause ms=10",
      "f select-slot slot=0",
      "a move dx=+0 dy=+0 dz=+5000 L=10000" + stop,
      "p pause ms=10",
      "f select-slot slot=0",
      "r outputs state=1 mask=0x01",
      // trailer: back to the project origin, outputs and spindle off, slot 2, end
      "p pause ms=10",
      "a move dx=+0 dy=+0 dz=+0 L=10" + stop,
      "p pause ms=1",
      "r outputs state=0 mask=0x02",
      "r outputs state=0 mask=0x01",
      "p pause ms=1",
      "f select-slot slot=2",
      "SE job-end",
  };
  EXPECT_EQ(joined(lines_), joined(expected));
  EXPECT_EQ(r.figuresWritten, 1);
  EXPECT_DOUBLE_EQ(r.extremes.minZ, 8.99);
  EXPECT_DOUBLE_EQ(r.extremes.maxX, 10);
  EXPECT_EQ(r.bytes, bytes_.size());
  // The job ends at the project origin at the safe height.
  EXPECT_EQ(r.state.jobPosition, (tJobPosition{0, 0, 15490, 0}));
  EXPECT_DOUBLE_EQ(r.state.safeHeight, 15.49);
}

INSTANTIATE_TEST_SUITE_P(Firmware, RouterSquare,
                         ::testing::Values(RouterCase{20, 7, 1200, 2400, 6000, 12000, 6000, 65535},
                                           RouterCase{34, 6, 2400, 4800, 12000, 24000, 12000, 4095}),
                         [](const auto& info) {
                           return "fw" + std::to_string(info.param.level) + "_" + std::to_string(info.param.minor);
                         });

}  // namespace
}  // namespace trazvik::test
