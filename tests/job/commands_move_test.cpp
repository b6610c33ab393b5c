#include "machine/commands_move.h"

#include "command_sets.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

TEST(MoveCommand, LayoutsAtEachLevel) {
  struct Case {
    const char* what;
    tCommandSet set;
    tStepDelta d;
    std::uint32_t code;
    Bytes expected;
  };
  const Case cases[] = {
      // zero length: every delta counts as negative, L raised to 10
      {"narrow zero move", test::narrowSet(), {0, 0, 0}, 65535, {'a', 0x07, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      // 2 steps: L = 3 x round(2.5) = 6, raised to 10
      {"narrow 2-step move", test::narrowSet(), {2, 0, 0}, 65535, {'a', 0x06, 10, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}},
      // 3-4-12 triangle: length 13, round(13.5) = 14, x 3 = 42
      {"narrow signs", test::narrowSet(), {-3, 4, -12}, 65535, {'a', 0x05, 42, 0, 0, 3, 0, 0, 4, 0, 0, 12, 0, 0}},
      // level 7, no speed: 65535 stays; bits 12-15 in F, 8-11 in Z, low byte in S
      {"wide L7 no speed",
       test::wideSet(7),
       {0, 0, 0},
       65535,
       {'a', 0xF7, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0xFF}},
      // level 6: 65535 becomes 4095
      {"wide L6 no speed",
       test::wideSet(6),
       {0, 0, 0},
       65535,
       {'a', 0x07, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0xFF}},
      // level 5: S = code / 16, at most 255; Z is the plain magnitude
      {"wide L5",
       test::wideSet(5),
       {100, 0, -0x123456},
       2400,
       {'a', 0x06, 0xAE, 0x68, 0x24, 100, 0, 0, 0, 0, 0, 0x56, 0x34, 0x12, 150}},
      // level 7: codes above 39999 become 39999 = 0x9C3F
      {"wide L7 cap",
       test::wideSet(7),
       {1000, 1000, 5},
       50000,
       {'a', 0x90, 0x0E, 0x0B, 0, 0xE8, 0x03, 0, 0xE8, 0x03, 0, 5, 0, 0xC0, 0x3F}},
      {"wide L7 code",
       test::wideSet(7),
       {-1, -1, 0xFFFFF},
       0x1234,
       {'a', 0x13, 0x00, 0x00, 0x20, 1, 0, 0, 1, 0, 0, 0xFF, 0xFF, 0x2F, 0x34}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes job = moveCommand(c.d, c.set.speedMultiplier, c.code, c.set);
    EXPECT_EQ(job, c.expected);
    EXPECT_EQ(job.size(), c.set.wide ? 15u : 14u);
    Bytes immediate = c.expected;
    immediate[0] = 'A';
    EXPECT_EQ(moveCommand(c.d, c.set.speedMultiplier, c.code, c.set, CommandForm::immediate), immediate);
  }
}

TEST(MoveCommand, MoveToPointCarriesTargetMinusPosition) {
  tCommandSet set = test::wideSet(7);
  set.axisFactorX = set.axisFactorY = 1;
  set.axisFactorZ = 2;
  tJobPosition pos;
  // 0.025 mm x 100 = 2.5 steps -> 2 (ties to even); 0.035 -> 3.5 -> 4
  Bytes b = moveToPoint(pos, 0.025, 0.035, -1.0, 65535, set, 2);
  EXPECT_EQ(pos, (tJobPosition{2, 4, -200, 0}));
  EXPECT_EQ(b[5], 2);
  EXPECT_EQ(b[8], 4);
  EXPECT_EQ(b[11], 200);
  EXPECT_EQ(b[1] & 0x07, 0x04);
  b = moveToPoint(pos, 0.025, 0.0, -1.0, 65535, set, 2);
  EXPECT_EQ(pos, (tJobPosition{2, 0, -200, 0}));
  EXPECT_EQ(b[1] & 0x07, 0x07);  // dx 0, dy -4, dz 0
  EXPECT_EQ(b[8], 4);
}

TEST(KnifeAngle, DirectionsAndDeltas) {
  const std::int32_t turn = 4000;
  struct AngleCase {
    double dx, dy;
    std::int32_t angle;
  };
  for (const AngleCase c : {AngleCase{1, 0, 0}, AngleCase{0, 1, 1000}, AngleCase{-1, 0, 2000}, AngleCase{0, -1, -1000},
                            AngleCase{1, -1, 3500}, AngleCase{0, 0, 0}, AngleCase{-1, -1, 2500}})
    EXPECT_EQ(knifeAngleOfDirection(c.dx, c.dy, turn), c.angle) << c.dx << "," << c.dy;

  struct DeltaCase {
    std::int32_t target, current;
    bool twoEdged;
    std::int32_t delta;
  };
  const DeltaCase deltas[] = {
      {3000, 0, false, -1000},  // three quarters become minus one quarter
      {0, 3000, false, 1000},  {-1000, 0, false, -1000}, {2000, 0, false, 2000},  // exactly half a turn stays
      {1500, 0, true, -500},                                                      // two-edged: the other edge is nearer
      {1000, 0, true, 1000},                                                      // equally near: the direct one
      {100, 3900, false, 200},
  };
  for (const DeltaCase& d : deltas)
    EXPECT_EQ(knifeDelta(d.target, d.current, turn, d.twoEdged), d.delta) << d.target << " from " << d.current;
}

TEST(KnifeAngle, WideMoveSendsSingleStepsAsZeroAndKeepsTrack) {
  tCommandSet set = test::wideSet(7);
  set.axisFactorX = set.axisFactorY = 1;
  set.knifeStepsPerTurn = 4000;
  set.knifeAxis = true;
  tJobPosition pos{0, 0, 0, 3999};
  // X moves 1 step, Y 5, knife from 3999 to 0: a delta of +1
  Bytes b = moveToPointWithKnife(pos, 0.01, 0.05, 0, false, 65535, set, 1);
  EXPECT_EQ(b[5], 0);  // |dx| 1 sent as 0
  EXPECT_EQ(b[8], 5);
  EXPECT_EQ(b[11], 0);                            // knife +1 sent as 0
  EXPECT_EQ(pos, (tJobPosition{0, 5, 0, 3999}));  // advanced by what was sent
  b = moveToPointWithKnife(pos, 0.03, 0.05, 1000, false, 65535, set, 1);
  EXPECT_EQ(b[5], 3);
  EXPECT_EQ(b[11], 0xE9);  // 1001 = 0x3E9
  EXPECT_EQ(b[12], 0x03);
  EXPECT_EQ(b[1] & 0x04, 0);  // positive rotation
  EXPECT_EQ(pos.knife, 1000);
  b = moveToPointWithKnife(pos, 0.03, 0.05, 0, false, 65535, set, 1);
  EXPECT_EQ(b[1] & 0x04, 0x04);
  EXPECT_EQ(pos.knife, 0);
}

TEST(KnifeAngle, ImmediateKnifeTurn) {
  const tCommandSet set = test::wideSet(7);
  const Bytes turn = knifeTurnCommand(-1000, set);
  ASSERT_EQ(turn.size(), 15u);
  EXPECT_EQ(turn[0], 'A');
  EXPECT_EQ(turn[1], 0xF4);                 // only bit 2, and the 65535 code's top nibble
  EXPECT_EQ(turn[2] | turn[3] << 8, 1000);  // L = |delta|, no multiplier
  EXPECT_EQ(knifeTurnCommand(3, set)[2], 10);
}

}  // namespace
}  // namespace trazvik
