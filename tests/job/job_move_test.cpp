#include "job/job_move.h"

#include "command_sets.h"
#include "job/command_decoder.h"
#include "job/safe_approach.h"
#include "machine/command_lengths.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace trazvik {
namespace {

// Three heads: head 2 sits 150 mm right and 1 mm up of head 1, head 3 300 mm
// and 2 mm; their Z zeros are 10, 15 and 8 mm.
tHeadOffsets threeHeads() {
  tHeadOffsets h;
  h.x = {0, 150, 300};
  h.y = {0, 1, 2};
  h.zZero = {1000, 1500, 800};
  h.headCount = 3;
  return h;
}

tJobMoveContext wideContext() {
  tJobMoveContext c;
  c.set = test::wideSet(7);
  c.heads = threeHeads();
  c.fileType = 1;  // 40 units a millimetre
  return c;
}

std::vector<tDecodedCommand> decode(const Bytes& b, const tCommandSet& set) {
  tCommandLengths lengths;
  if (set.wide) lengths.applyWideCommandSet();
  lengths.applyProtocolLevel(set.protocolLevel);
  return decodeCommandStream(b, set, lengths);
}

TEST(HeadOffset, CorrectionIsTheChosenHeadLessTheActiveOne) {
  struct Case {
    int headCount, chosen, current;
    trpoint3d expected;
  } cases[] = {
      {3, 1, 0, {-150, -1, 5}}, {3, 0, 1, {150, 1, -5}}, {3, 2, 1, {-150, -1, -7}},
      {3, 2, 2, {0, 0, 0}},     {2, 2, 0, {0, 0, 0}},  // head 3 is not on a two-head machine
      {3, -1, 0, {0, 0, 0}},                           // no head
      {1, 1, 0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    tHeadOffsets h = threeHeads();
    h.headCount = c.headCount;
    EXPECT_EQ(headOffsetCorrection(h, c.chosen, c.current), c.expected)
        << c.headCount << " heads, chosen " << c.chosen << ", current " << c.current;
  }
}

TEST(JobMove, MovesCarryTheHeadOffsetAndRecordTheExtremes) {
  const tJobMoveContext c = wideContext();  // 10 steps per 0.01 mm on every axis
  tJobState st;
  EXPECT_FALSE(st.extremes.any());
  st.chosenHead = 1;  // written for head 2 while head 1 is active
  Bytes out;
  appendMove(out, st, c, 200, 50, 20, 700);
  appendMove(out, st, c, 160, 80, 4);
  const auto cmds = decode(out, c.set);
  ASSERT_EQ(cmds.size(), 2u);
  EXPECT_EQ(cmds[0].delta, (tStepDelta{50000, 49000, 25000}));  // (50, 49, 25) mm
  EXPECT_EQ(cmds[0].speedCode, 700u);
  EXPECT_EQ(cmds[1].delta, (tStepDelta{-40000, 30000, -16000}));
  EXPECT_EQ(cmds[1].speedCode, 65535u);
  EXPECT_EQ(st.jobPosition, (tJobPosition{10000, 79000, 9000, 0}));
  EXPECT_DOUBLE_EQ(st.extremes.maxX, 50);
  EXPECT_DOUBLE_EQ(st.extremes.minX, 10);
  EXPECT_DOUBLE_EQ(st.extremes.maxY, 79);
  EXPECT_DOUBLE_EQ(st.extremes.minY, 49);
  EXPECT_DOUBLE_EQ(st.extremes.maxZ, 25);
  EXPECT_DOUBLE_EQ(st.extremes.minZ, 9);
  st.extremes.reset();
  EXPECT_FALSE(st.extremes.any());
}

TEST(JobMove, MachineWithoutZAxisMovesAtZeroHeight) {
  tJobMoveContext c = wideContext();
  c.set.axisFactorZ = 0;
  tJobState st;
  Bytes out;
  appendMove(out, st, c, 1, 2, 30);
  const auto cmds = decode(out, c.set);
  ASSERT_EQ(cmds.size(), 1u);
  EXPECT_EQ(cmds[0].delta, (tStepDelta{1000, 2000, 0}));
  EXPECT_DOUBLE_EQ(st.extremes.maxZ, 0);
}

TEST(JobMove, MovesTheFieldsCannotHoldEndTheJobAndChangeNothing) {
  const tJobMoveContext c = wideContext();
  struct Case {
    const char* name;
    double x, y, z;
  } cases[] = {
      {"beyond the position range", 3e6, 0, 0},
      {"X delta over 24 bits", 16800, 0, 0},  // 16 799 000 steps
      {"Y delta over 24 bits", 0, -16800, 0},
      {"Z delta over the 20 bits it shares", 0, 0, 1050},
      {"each axis fits, the path length does not", 10000, 10000, 0},
      {"not a number", 0, 0, std::numeric_limits<double>::quiet_NaN()},
      {"infinite", std::numeric_limits<double>::infinity(), 0, 0},
  };
  Bytes longest;
  tJobState fits;
  appendMove(longest, fits, c, 1.001, 1.001, 1.001);
  // path length 2 x 8 365 900 and Z 1 048 000: just within their fields
  appendMove(longest, fits, c, 1.001 + 8300, 1.001, 1.001 + 1048);
  EXPECT_EQ(decode(longest, c.set).back().delta, (tStepDelta{8300000, 0, 1048000}));
  for (const Case& k : cases) {
    tJobState st;
    Bytes out{0x70};
    appendMove(out, st, c, 1, 1, 1);
    const tJobState before = st;
    const Bytes written = out;
    EXPECT_THROW(appendMove(out, st, c, k.x, k.y, k.z), tJobRangeError) << k.name;
    EXPECT_EQ(out, written) << k.name;
    EXPECT_EQ(st.jobPosition, before.jobPosition) << k.name;
    EXPECT_EQ(st.extremes.maxX, before.extremes.maxX) << k.name;
  }
}

TEST(SafeApproach, OnlyASelectedProgramFigureGetsARapidMoveAtTravelHeight) {
  tJobMoveContext c = wideContext();
  c.fileType = 3;  // G-code: 100 units a millimetre
  c.skala = 50;
  tfigura fig;
  fig.xp = 1000;
  fig.yp = -2000;
  fig.sp = {{5000, 3000, -150}, {6000, 3000, -150}};
  tJobState st;
  st.travelHeight = 12;

  Bytes none;
  BezpiecznyDojazdDoWskazanejFig(none, st, c, fig, false);
  EXPECT_TRUE(none.empty());
  BezpiecznyDojazdDoWskazanejFig(none, st, c, tfigura{}, true);
  EXPECT_TRUE(none.empty());

  Bytes out;
  BezpiecznyDojazdDoWskazanejFig(out, st, c, fig, true);
  const auto cmds = decode(out, c.set);
  ASSERT_EQ(cmds.size(), 2u);
  EXPECT_EQ(cmds[0].kind, CommandKind::selectSlot);
  EXPECT_EQ(cmds[0].number, 0);
  // ((5000 - 1000) / 100 mm at half scale, (3000 + 2000) / 100 at half scale, 12 mm)
  EXPECT_EQ(cmds[1].delta, (tStepDelta{20000, 25000, 12000}));
}

}  // namespace
}  // namespace trazvik
