#include "job/command_decoder.h"
#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"
#include "machine/commands_records.h"

#include "command_sets.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

tCommandLengths lengthsFor(const tCommandSet& set) {
  tCommandLengths l;
  if (set.wide) l.applyWideCommandSet();
  l.applyProtocolLevel(set.protocolLevel);
  return l;
}

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(CommandDecoder, StreamIsSplitByTheMachinesTable) {
  const tCommandSet wide = test::wideSet(7);
  const Bytes job = join({moveCommand({100, -20, 0}, 2, 2400, wide), moveCommand({0, 0, -50}, 2, 65535, wide)});
  const auto onWide = decodeCommandStream(job, wide, lengthsFor(wide));
  ASSERT_EQ(onWide.size(), 2u);
  EXPECT_EQ(onWide[1].offset, 15u);
  EXPECT_EQ(onWide[0].delta, (tStepDelta{100, -20, 0}));
  EXPECT_EQ(onWide[0].speedCode, 2400u);
  EXPECT_EQ(onWide[1].delta, (tStepDelta{0, 0, -50}));
  EXPECT_TRUE(onWide[0].problem.empty());

  // The same bytes split with a narrow machine's table come apart at 14.
  const auto onNarrow = decodeCommandStream(job, wide, tCommandLengths{});
  ASSERT_GE(onNarrow.size(), 2u);
  EXPECT_EQ(onNarrow[1].offset, 14u);
  EXPECT_FALSE(onNarrow[0].problem.empty());
}

TEST(CommandDecoder, GarbageAndTruncationAreReportedNotFatal) {
  const tCommandSet set = test::wideSet(7);
  const Bytes stream = {0x00, 'f', 2, 0xFF, 'D', 'p'};
  const auto cmds = decodeCommandStream(stream, set, lengthsFor(set));
  ASSERT_EQ(cmds.size(), 5u);
  EXPECT_EQ(cmds[0].kind, CommandKind::unknown);
  EXPECT_EQ(cmds[1].kind, CommandKind::selectSlot);
  EXPECT_EQ(cmds[1].number, 2);
  EXPECT_EQ(cmds[2].kind, CommandKind::unknown);
  EXPECT_EQ(cmds[3].kind, CommandKind::unknown);  // "D" has a length but no meaning
  EXPECT_NE(cmds[4].problem.find("cut short"), std::string::npos);
  for (const auto& c : cmds) EXPECT_FALSE(commandText(c, set).empty());
}

TEST(CommandDecoder, ThirdAxisModeIsFollowed) {
  tCommandSet set = test::wideSet(7);
  set.knifeStepsPerTurn = 4000;
  const Bytes job =
      join({thirdAxisRecord(kThirdAxisKnife), moveCommand({0, 0, 1000}, 1, 65535, set), thirdAxisRecord(kThirdAxisZ),
            headZRecord(headBitOf(1)), moveCommand({0, 0, -10}, 2, 65535, set)});
  const auto cmds = decodeCommandStream(job, set, lengthsFor(set));
  ASSERT_EQ(cmds.size(), 5u);
  EXPECT_EQ(cmds[1].thirdAxis, ThirdAxis::knife);
  EXPECT_EQ(cmds[4].thirdAxis, ThirdAxis::headZ);
  EXPECT_EQ(cmds[4].head, 1);
  EXPECT_NE(commandText(cmds[1], set).find("knife +1000 steps"), std::string::npos);
  EXPECT_NE(commandText(cmds[4], set).find("Z(head 2) -0.010 mm"), std::string::npos);
}

TEST(CommandDecoder, TextLines) {
  const tCommandSet wide = test::wideSet(7);
  const tCommandSet narrow = test::narrowSet();
  struct Case {
    const char* what;
    tCommandSet set;
    Bytes bytes;
    std::string text;
  };
  const Case cases[] = {
      {"wide move", wide, moveCommand({1000, -250, 0}, 2, 2400, wide),
       "a move dx=+1000 dy=-250 dz=+0 L=2062 code=2400 | X +1.000 Y -0.250 Z +0.000 mm, end at 1000.0 mm/min"},
      {"narrow move", narrow, moveCommand({0, 0, 0}, 3, 65535, narrow),
       "a move dx=+0 dy=+0 dz=+0 L=10 | X +0.000 Y +0.000 Z +0.000 mm"},
      {"slot", wide, loadSlotCommand(1, 2400, wide), "v load-slot slot=1 code=2400 | working feed 1000.0 mm/min"},
      {"no speed slot", narrow, loadSlotCommand(3, 65535, narrow),
       "v load-slot slot=3 code=65535 | auxiliary feed no speed"},
      {"outputs", wide, outputsCommand(0, 0x82, CommandForm::immediate),
       "R outputs state=0 mask=0x82 | clear vacuum pump"},
      {"head zero", wide, headZeroCommand(1, -3000), "SN head-zero head=1 z=-3000 | Z -3.000 mm"},
      {"record", wide, laserPulseTimeRecord(20), "sLT laser-pulse-time ms=20"},
      {"job end", wide, jobEndRecord(), "SE job-end"},
      {"garbage", wide, Bytes{'M', 7}, "M bytes 4D 07  !! no command of the language"},
  };
  for (const Case& c : cases) EXPECT_EQ(commandText(decodeCommand(c.bytes, c.set), c.set), c.text) << c.what;
}

TEST(CommandDecoder, MessagesIgnoreReportPadding) {
  const tCommandSet set = test::wideSet(7);
  Bytes padded = {'R', 1, 0x01};
  padded.resize(16, 0);
  const tDecodedCommand c = decodeCommand(padded, set);
  EXPECT_EQ(c.kind, CommandKind::outputs);
  EXPECT_EQ(c.bytes.size(), 3u);
  EXPECT_TRUE(c.problem.empty());

  EXPECT_FALSE(decodeCommand(Bytes{'S', 'N', 1}, set).problem.empty());  // cut short
  EXPECT_FALSE(decodeCommand(Bytes{}, set).problem.empty());
  Bytes badPadding = laserOnRecord();
  badPadding[10] = 0;
  EXPECT_EQ(decodeCommand(badPadding, set).problem, "record not padded with spaces");
}

TEST(CommandDecoder, SpindleWaitIsARecordInAJobAndThreeBytesOnItsOwn) {
  const tCommandSet set = test::wideSet(7);
  Bytes job = {'s', 'f', 'w'};
  job.resize(16, ' ');
  const Bytes select = {'f', 1};
  job.insert(job.end(), select.begin(), select.end());
  const auto cmds = decodeCommandStream(job, set, lengthsFor(set));
  ASSERT_EQ(cmds.size(), 2u);
  EXPECT_EQ(cmds[0].kind, CommandKind::spindleWait);
  EXPECT_EQ(cmds[0].bytes.size(), 16u);
  EXPECT_TRUE(cmds[0].problem.empty()) << cmds[0].problem;
  EXPECT_EQ(commandText(cmds[0], set), "sfw spindle-wait");
  EXPECT_EQ(cmds[1].kind, CommandKind::selectSlot);

  const tDecodedCommand immediate = decodeCommand(Bytes{'S', 'f', 'w'}, set);
  EXPECT_EQ(immediate.kind, CommandKind::spindleWait);
  EXPECT_EQ(immediate.bytes.size(), 3u);
  EXPECT_TRUE(immediate.problem.empty()) << immediate.problem;
}

}  // namespace
}  // namespace trazvik
