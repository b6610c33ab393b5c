#include "job/speed_suffix.h"

#include "machine/commands_basic.h"
#include "job/corner_planner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trazvik {
namespace {

// The suffixes written after moves to points with these codes, as
// "l 1000", "p 1" words.
std::vector<std::string> suffixes(bool gcode, const std::vector<std::uint16_t>& codes) {
  tNarrowSpeedLimits limits(gcode);
  Bytes out;
  for (std::uint16_t k : codes) limits.appendSuffix(out, k);
  std::vector<std::string> words;
  for (std::size_t i = 0; i + 1 < out.size();) {
    const char op = char(out[i]);
    if (op == 'l') {
      words.push_back("l " + std::to_string(out[i + 1] | (out[i + 2] << 8)));
      i += 3;
    } else if (op == 'p') {
      words.push_back("p " + std::to_string(out[i + 1]));
      i += 2;
    } else {
      ADD_FAILURE() << "unexpected byte " << int(out[i]);
      break;
    }
  }
  return words;
}

using Words = std::vector<std::string>;

TEST(NarrowSpeedLimits, SuffixesOfAJobFromADrawing) {
  struct Case {
    const char* name;
    std::vector<std::uint16_t> codes;
    Words expected;
  } cases[] = {
      {"within ten percent keeps the limit", {1000, 1050, 1200}, {"l 1000", "l 1200"}},
      {"exactly ten percent keeps it", {1000, 1100, 899}, {"l 1000", "l 899"}},
      {"free points lift the limit once", {1, 1, 500, 23, 1}, {"l 1", "l 500", "l 1"}},
      {"a stop lifts and pauses", {65535, 65535}, {"l 1", "p 1", "p 1"}},
      {"a stop mid-run", {800, 65535, 1}, {"l 800", "l 1", "p 1"}},
      // after the stop the controller holds no limit, so 820 is written
      // even though it lies within ten percent of 800
      {"a limit after a stop is written again", {800, 65535, 820}, {"l 800", "l 1", "p 1", "l 820"}},
      {"a limit after free points is written again", {800, 1, 810}, {"l 800", "l 1", "l 810"}},
  };
  for (const Case& c : cases) EXPECT_EQ(suffixes(false, c.codes), c.expected) << c.name;
}

TEST(NarrowSpeedLimits, SuffixesOfAJobFromAGcodeProgram) {
  EXPECT_EQ(suffixes(true, {1000, 1000, 1050}), (Words{"l 1000", "l 1000", "l 1050"}));
  EXPECT_EQ(suffixes(true, {1, 1, 700, 65535, 65535}), (Words{"l 1", "l 700", "l 1", "p 20", "p 20"}));
}

TEST(NarrowSpeedLimits, SuffixBytesAreTheLanguagesCommands) {
  tNarrowSpeedLimits limits(false);
  Bytes out;
  limits.appendSuffix(out, 1234);
  limits.appendSuffix(out, kStopCode);
  Bytes expected = segmentLimitCommand(1234);
  for (const Bytes& b : {segmentLimitCommand(1), pauseCommand(1)}) expected.insert(expected.end(), b.begin(), b.end());
  EXPECT_EQ(out, expected);
}

TEST(WideSpeedCarriage, CarriesTheCurrentCodeInADrawingAndEachCodeInAProgram) {
  struct Step {
    std::uint16_t code;
    std::uint16_t carried;
    bool stop;
  };
  const std::vector<Step> drawing{
      {1, 1, false}, {500, 500, false}, {23, 1, false}, {kStopCode, kStopCode, true}, {700, 700, false}};
  tWideSpeedCarriage fromDrawing(false);
  for (const Step& s : drawing) {
    const tCarriedSpeed c = fromDrawing.carry(s.code);
    EXPECT_EQ(c.code, s.carried) << s.code;
    EXPECT_EQ(c.stop, s.stop) << s.code;
  }
  const std::vector<Step> program{{5, 5, false}, {500, 500, false}, {kStopCode, kStopCode, true}, {1, 1, false}};
  tWideSpeedCarriage fromProgram(true);
  for (const Step& s : program) {
    const tCarriedSpeed c = fromProgram.carry(s.code);
    EXPECT_EQ(c.code, s.carried) << s.code;
    EXPECT_EQ(c.stop, s.stop) << s.code;
  }
}

}  // namespace
}  // namespace trazvik
