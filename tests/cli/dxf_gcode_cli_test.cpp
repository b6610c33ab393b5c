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
  EXPECT_NE(run.output.find("bad.nc: line 2: a number is expected here, found \"Y\""), std::string::npos) << run.output;
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

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

TEST(DxfGcodeCli, OpenAndPreviewPrepareADrawingAndKeepAProgramAsRead) {
  TempFolder folder;
  const std::string data = " --data-dir '" + (folder / "data").string() + "' ";
  // The drawing is prepared: the frame is found, the holes nest in it and
  // every closed figure gets a tool path around it.
  CliRun run = runCli("open" + data + sample("plate.dxf"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("file type: 2 (DXF), single layer"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("figures: 7, deepest nesting level 1"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("box: (0, 0) - (12000, 8000) file units, 120.00 x 80.00 mm"), std::string::npos);
  EXPECT_NE(run.output.find("closed,frame"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("program:"), std::string::npos) << "only G-code projects have a program line";

  // The program keeps its figures, feed and spindle speed and has no
  // preparation steps: its tool paths are its moves.
  run = runCli("open" + data + sample("pocket.nc"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("file type: 3 (G-code), single layer"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("figures: 5, deepest nesting level 0"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("program: feed 200.0 mm/min, spindle 12000, X 0.000 to 60.000, Y 0.000 to 60.000, "
                            "Z -6.000 to 5.000 mm"),
            std::string::npos)
      << run.output;
  run = runCli("open" + data + sample("pocket.nc") + " --json");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("\"program\":{\"feed\":200,\"spindle\":12000,\"extent_mm\":[0,0,-6,60,60,5]}"),
            std::string::npos)
      << run.output;
  // The drill's toolpath as read: from 5 mm above (35, 35) down to -6 mm.
  EXPECT_NE(run.output.find("\"toolpath\":[[3500,3500,500],[3500,3500,-600]]"), std::string::npos) << run.output;

  for (const char* design : {"plate.dxf", "pocket.nc"}) {
    const std::string svg = (folder / (std::string(design) + ".svg")).string();
    run = runCli("preview" + data + sample(design) + " -o '" + svg + "'");
    ASSERT_EQ(run.exitCode, 0) << design << run.output;
    const std::string text = readFile(svg);
    EXPECT_GE(count(text, "<polyline"), std::string(design) == "plate.dxf" ? 12u : 5u) << design;
    const std::string png = (folder / (std::string(design) + ".png")).string();
    run = runCli("preview" + data + sample(design) + " -o '" + png + "'");
    ASSERT_EQ(run.exitCode, 0) << design << run.output;
    EXPECT_EQ(readFile(png).substr(0, 8), "\x89PNG\r\n\x1a\n") << design;
  }
}

TEST(DxfGcodeCli, ExportDxfOfDrawingsAndPlotFilesWritesTheirPreparedToolPaths) {
  TempFolder folder;
  const std::string data = " --data-dir '" + (folder / "data").string() + "' ";
  struct Case {
    const char* design;
    const char* settings;
    const char* polylines;
    const char* extent;  // of the tool paths, read back
  };
  const Case cases[] = {
      // Tool radius 1.5 mm (diameter 3 by default) outside the frame.
      {"plate.dxf", "", "7 polylines", "extent: -1.500 -1.500 to 121.500 81.500 mm"},
      {"plate.dxf", " --set srednica=5", "7 polylines", "extent: -2.500 -2.500 to 122.500 82.500 mm"},
      // A plot file in millimetres (40 units per mm).
      {"star.plt", "", "5 polylines", "extent: 15.000 8.000 to 151.500 121.503 mm"},
  };
  for (const Case& c : cases) {
    const std::string out = (folder / "out.dxf").string();
    CliRun run = runCli("export-dxf" + data + sample(c.design) + c.settings + " -o '" + out + "'");
    ASSERT_EQ(run.exitCode, 0) << c.design << c.settings << run.output;
    EXPECT_NE(run.output.find(c.polylines), std::string::npos) << c.design << run.output;
    run = runCli("figures '" + out + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(c.extent), std::string::npos) << c.design << c.settings << "\n" << run.output;
  }
  // A design that cannot be read writes nothing.
  writeFile(folder / "bad.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nten\n  0\nENDSEC\n");
  CliRun run = runCli(
      "export-dxf" + data + "'" + (folder / "bad.dxf").string() + "' -o '" + (folder / "bad_out.dxf").string() + "'",
      true);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.output.find("line 8"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(folder / "bad_out.dxf"));
}

}  // namespace
}  // namespace trazvik::testing
