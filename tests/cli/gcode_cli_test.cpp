// trazvik-cli reads G-code programs as a control runs them: lower-case
// words, arcs given by their radius and drilling cycles give the moves
// worked out by hand, and a program the reader would misread is refused
// with its file and line.
#include "run_cli.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trazvik::testing {
namespace {

// The tool paths of the figures of `open --json`, in file order.
std::vector<std::string> toolpaths(const std::string& json) {
  std::vector<std::string> out;
  const std::string key = "\"toolpath\":";
  for (std::size_t at = json.find(key); at != std::string::npos; at = json.find(key, at + 1)) {
    const std::size_t start = at + key.size();
    const std::size_t end = json.find("]]", start);
    out.push_back(end == std::string::npos ? json.substr(start) : json.substr(start, end + 2 - start));
  }
  return out;
}

class GcodeCli : public ::testing::Test {
 protected:
  std::vector<std::string> openProgram(const std::string& name, const std::string& program) {
    writeFile(folder_ / name, program);
    const CliRun run =
        runCli("open --json --data-dir '" + (folder_ / "data").string() + "' '" + (folder_ / name).string() + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return toolpaths(run.output);
  }
  TempFolder folder_;
};

TEST_F(GcodeCli, LowerCaseProgramGivesItsMoves) {
  // Rapid to (10,10,5); plunge to -1 and cut to (30,10) and (30,20); lift.
  const auto paths =
      openProgram("lower.nc", "g21 g90 (lower case)\ng0 x10 y10 z5\ng1 z-1 f300\ng1 x30 y10\nx30 y20\ng0 z5\nm30\n");
  EXPECT_EQ(paths, (std::vector<std::string>{"[[1000,1000,500]]",
                                             "[[1000,1000,500],[1000,1000,-100],[3000,1000,-100],[3000,2000,-100]]",
                                             "[[3000,2000,-100],[3000,2000,500]]"}));
}

TEST_F(GcodeCli, DrillingCycleGivesTheMovesOfEachHole) {
  // G81 at (5,5) and (15,5) from Z 10: rapid across, down to R 2, drill to
  // -3 at the feed, back up to 10 (G98); then the lift to 20.
  const auto paths = openProgram("drill.nc", "G21 G90\nG0 X0 Y0 Z10\nG81 X5 Y5 Z-3 R2 F100\nX15\nG80\nG0 Z20\nM30\n");
  EXPECT_EQ(paths, (std::vector<std::string>{
                       "[[0,0,1000],[500,500,1000],[500,500,200]]", "[[500,500,200],[500,500,-300]]",
                       "[[500,500,-300],[500,500,1000],[1500,500,1000],[1500,500,200]]",
                       "[[1500,500,200],[1500,500,-300]]", "[[1500,500,-300],[1500,500,1000],[1500,500,2000]]"}));
}

TEST_F(GcodeCli, RadiusArcGivesTheQuarterCircleWorkedOutByHand) {
  // R10 clockwise from (10,0) to (0,-10): the quarter circle about (0,0),
  // 45 segments (180 per turn), each a chord of 2 * 10 * sin(1 degree):
  // 900 sin(1 degree) = 15.707 mm.
  writeFile(folder_ / "rarc.nc", "G21\nG0 X10 Y0 Z0\nG2 X0 Y-10 R10 F500\nM30\n");
  const CliRun run = runCli("figures '" + (folder_ / "rarc.nc").string() + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("     1       0    0.000      46 open   yes        0.000    -10.000     10.000      0.000"
                            "      15.707"),
            std::string::npos)
      << run.output;
  // The long way about (10,-10): three quarters, 135 segments.
  writeFile(folder_ / "rlong.nc", "G21\nG0 X10 Y0 Z0\nG2 X0 Y-10 R-10 F500\nM30\n");
  const CliRun longWay = runCli("figures '" + (folder_ / "rlong.nc").string() + "'");
  ASSERT_EQ(longWay.exitCode, 0) << longWay.output;
  EXPECT_NE(longWay.output.find("136 open   yes        0.000    -20.000     20.000      0.000      47.121"),
            std::string::npos)
      << longWay.output;
}

TEST_F(GcodeCli, ParameterProgramIsRefusedWithItsLine) {
  writeFile(folder_ / "hash.nc", "G0 X0 Y0\n#1=5\nG1 X#1\n");
  const CliRun run = runCli("figures '" + (folder_ / "hash.nc").string() + "'", true);
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("hash.nc: line 2: parameters (#) are not read, found \"#1=5\""), std::string::npos)
      << run.output;
}

}  // namespace
}  // namespace trazvik::testing
