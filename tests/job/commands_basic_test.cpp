#include "machine/commands_basic.h"
#include "machine/commands_immediate.h"

#include "command_sets.h"

#include <gtest/gtest.h>

namespace trazvik {
namespace {

Bytes repeatPause(std::initializer_list<std::uint8_t> ms, char letter) {
  Bytes b;
  for (std::uint8_t m : ms) {
    b.push_back(static_cast<std::uint8_t>(letter));
    b.push_back(m);
  }
  return b;
}

TEST(BasicCommands, LongPauses) {
  EXPECT_EQ(longPause(1), repeatPause({255, 255, 255, 235}, 'p'));
  EXPECT_EQ(longPause(0), Bytes{});
  EXPECT_EQ(longPause(2), repeatPause({255, 255, 255, 255, 255, 255, 255, 215}, 'p'));
  EXPECT_EQ(longPause(1, CommandForm::immediate), repeatPause({255, 255, 255, 235}, 'P'));
  // 51 seconds are exactly 200 pauses of 255 ms: no remainder pause
  const Bytes exact = longPause(51);
  EXPECT_EQ(exact.size(), 400u);
  EXPECT_EQ(exact.back(), 255);
}

TEST(BasicCommands, LayoutsOfTheShortCommands) {
  const tCommandSet narrow = test::narrowSet();
  const tCommandSet wide6 = test::wideSet(6);
  tCommandSet level5 = test::wideSet(5);
  struct Case {
    const char* what;
    Bytes actual, expected;
  };
  const Case cases[] = {
      {"narrow slot", loadSlotCommand(1, 0x1234, narrow), {'v', 1, 0x34, 0x12}},
      {"wide slot", loadSlotCommand(5, 0x12345, wide6), {'v', 5, 0x45, 0x23, 0x01, 0}},
      {"immediate slot", loadSlotCommand(0, 267, narrow, CommandForm::immediate), {'V', 0, 0x0B, 0x01}},
      {"select slot", selectSlotCommand(2), {'f', 2}},
      {"immediate select", selectSlotCommand(3, CommandForm::immediate), {'F', 3}},
      {"pause", pauseCommand(10), {'p', 10}},
      {"outputs", outputsCommand(1, 0x01), {'r', 1, 1}},
      {"lubrication on", outputsCommand(0, outputMask::lubrication, CommandForm::immediate), {'R', 0, 0xC0}},
      {"power level 5", powerCommand(1, 200, level5), {'t', 1, 200}},
      {"power level 6", powerCommand(1, 200, wide6), {'t', 1, 200, 0, 0, 0}},
      {"spindle 180 immediate", powerCommand(2, 180, wide6, CommandForm::immediate), {'T', 2, 180, 0, 0, 0}},
      {"laser power 1000", powerCommand(3, 1000, wide6), {'t', 3, 0xE8, 0x03, 0, 0}},
      {"smoothing on", smoothingCommand(true), {'s', 1}},
      {"smoothing off immediate", smoothingCommand(false, CommandForm::immediate), {'S', 0}},
      {"segment limit", segmentLimitCommand(1), {'l', 1, 0}},
      {"head Z reference",
       headZReferenceCommand(headZReferenceSteps(-300.4, wide6)),
       {'n', 0x44, 0xF4, 0xFF, 0xFF}},  // -3004 steps
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(ImmediateCommands, Layouts) {
  tCommandSet cnc = test::wideSet(7);
  tCommandSet plotter = test::narrowSet();
  tCommandSet multiHead = plotter;
  multiHead.headCount = 3;
  struct Case {
    const char* what;
    Bytes actual, expected;
  };
  const Case cases[] = {
      {"home", homeCommand(homeMask::xyz), {'B', 0x37}},
      {"zero XY cnc", workZeroXYCommand(-2, 258, cnc), {'U', 0xFE, 0xFF, 0xFF, 0xFF, 2, 1, 0, 0}},
      {"zero XY plotter", workZeroXYCommand(-2, 258, plotter), {'U', 0xFE, 0xFF, 0xFF, 2, 1, 0}},
      {"zero Z cnc", workZeroZCommand(5, cnc), {'N', 5, 0, 0, 0}},
      {"zero Z plotter", workZeroZCommand(5, plotter), {'N', 5, 0, 0}},
      {"zero Z multi-head", workZeroZCommand(5, multiHead), {'N', 5, 0, 0, 0}},
      {"head zero", headZeroCommand(2, -1), {'S', 'N', 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"head offset", headOffsetCommand(100, -100), {'S', '3', 'o', 100, 0, 0, 0, 0x9C, 0xFF, 0xFF, 0xFF}},
      {"address", controllerAddressCommand({192, 168, 0, 10}), {'S', 'I', 'P', 192, 168, 0, 10}},
      {"second Y", secondYShiftCommand(300), {'S', 'y', 2, 0x2C, 1, 0, 0}},
      {"tool measure", toolMeasureCommand(), {'S', 'U'}},
      {"spindle wait", spindleWaitCommand(), {'S', 'f', 'w'}},
      {"status query", ethernetStatusQuery(), {'S', 'X'}},
      {"legacy H", legacyQuery('H', 4), {'H', 4}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;

  const auto params = machineParameterCommands(108, 0x01020304);
  EXPECT_EQ(params[0], (Bytes{'S', 0x0D, 108, 4}));
  EXPECT_EQ(params[1], (Bytes{'S', 0x0D, 109, 3}));
  EXPECT_EQ(params[2], (Bytes{'S', 0x0D, 110, 2}));
  EXPECT_EQ(params[3], (Bytes{'S', 0x0D, 111, 1}));
}

}  // namespace
}  // namespace trazvik
