// trazvik-cli reads DXF drawings and G-code programs through the same reader
// as plot files.
#include "run_cli.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

namespace trazvik::testing {
namespace {

std::string sample(const char* name) { return std::string("'") + TRAZVIK_SOURCE_DIR + "/samples/" + name + "'"; }

TEST(DxfGcodeCli, FiguresOfTheSampleDrawingAndProgram) {
  CliRun run = runCli("figures " + sample("plate.dxf"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("DXF drawing (type 2), 100 units per mm"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("total: 7 figures (7 valid, 5 closed, 2 open)"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("extent: 0.000 0.000 to 120.000 80.000 mm"), std::string::npos) << run.output;

  run = runCli("figures " + sample("pocket.nc"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("G-code program (type 3), 100 units per mm"), std::string::npos) << run.output;
  // Rapid, groove, rapid, drill, rapid.
  EXPECT_NE(run.output.find("total: 5 figures"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("extent: 0.000 0.000 to 60.000 60.000 mm"), std::string::npos) << run.output;
}

TEST(DxfGcodeCli, BadFilesNameFileAndLine) {
  TempFolder folder;
  writeFile(folder / "bad.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nCIRCLE\n 10\n1\n 20\nx2\n 40\n5\n  0\nENDSEC\n");
  CliRun run = runCli("figures '" + (folder / "bad.dxf").string() + "'", true);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("bad.dxf: line 10: a number is expected here, found \"x2\""), std::string::npos)
      << run.output;
  writeFile(folder / "bad.nc", "G0 X0 Y0\nG1 X10 Y\n");
  run = runCli("figures '" + (folder / "bad.nc").string() + "'", true);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("bad.nc: line 2: a number is expected here, found \"Y\""), std::string::npos)
      << run.output;
}

TEST(DxfGcodeCli, ExportDxfWritesTheProgramsPathsInMillimetres) {
  TempFolder folder;
  const std::string out = (folder / "pocket.dxf").string();
  CliRun run = runCli("export-dxf " + sample("pocket.nc") + " -o '" + out + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("5 polylines"), std::string::npos) << run.output;
  const std::string text = readFile(out);
  EXPECT_EQ(text.rfind("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n  70\r\n8\r\n", 0), 0u);
  // The drill: from 5 mm above (35, 35) down to -6 mm.
  EXPECT_NE(text.find("  10\r\n35.00000\r\n  20\r\n35.00000\r\n  30\r\n-6.00000\r\n"), std::string::npos);
  // The drawing reads back as the same five paths seen from above.
  run = runCli("figures '" + out + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("total: 5 figures"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("extent: 0.000 0.000 to 60.000 60.000 mm"), std::string::npos) << run.output;
  // A file that cannot be written fails with its name.
  run = runCli("export-dxf " + sample("pocket.nc") + " -o '" + (folder / "no" / "x.dxf").string() + "'", true);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("x.dxf: the file cannot be written"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace trazvik::testing
