#include "run_cli.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

namespace trazvik::testing {
namespace {

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A frame around a square with a square hole and two strokes that join.
const char* kNest =
    "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;"
    "PU1000,1000;PD3000,1000,3000,3000,1000,3000,1000,1000;PU;"
    "PU1500,1500;PD2500,1500,2500,2500,1500,2500,1500,1500;PU;"
    "SP2;PU200,200;PD600,200;PU;PU600,200;PD600,600;PU;";

TEST(OpenCommand, PrintsNestingOrderFlagsLayersAndTotals) {
  TempFolder folder;
  writeFile(folder / "nest.plt", kNest);
  const CliRun run = runCli("open --data-dir " + quoted(folder / "data") + " --set ProjektType=1 --set bezramki=0 " +
                            quoted(folder / "nest.plt"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("figures: 4, deepest nesting level 2"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("multi-layer"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("closed,frame"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("frame: yes"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("layers ("), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("estimated time: "), std::string::npos) << run.output;
}

// The 7 mm holes of the plate under a 10 mm cutter: named on stderr with
// their place and size, and marked in the table as not cut.
TEST(OpenCommand, NamesFiguresNarrowerThanTheTool) {
  TempFolder folder;
  const std::filesystem::path plate = std::filesystem::path(TRAZVIK_SOURCE_DIR) / "samples/plate.dxf";
  const CliRun run = runCli(
      "open --data-dir " + quoted(folder / "data") + " --set doOutline=1 --set srednica=10 " + quoted(plate), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("cannot cut and the job leaves out: 4"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("X 15.00 Y 65.00 mm, 7.00 x 7.00 mm, tool 10.00 mm"), std::string::npos) << run.output;
  EXPECT_EQ(count(run.output, "closed,narrow"), 4u) << run.output;
  const CliRun fits = runCli(
      "open --data-dir " + quoted(folder / "data") + " --set doOutline=1 --set srednica=6 " + quoted(plate), true);
  ASSERT_EQ(fits.exitCode, 0) << fits.output;
  EXPECT_EQ(fits.output.find("narrow"), std::string::npos) << fits.output;
}

TEST(OpenCommand, JsonExtendsTheFiguresObject) {
  TempFolder folder;
  writeFile(folder / "nest.plt", kNest);
  const CliRun run = runCli("open --json --data-dir " + quoted(folder / "data") + " --set ProjektType=1 " +
                            quoted(folder / "nest.plt"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& j = run.output;
  EXPECT_EQ(j.rfind("{\"file_type\":1,\"figures\":[", 0), 0u) << j;
  // the strokes joined: four figures, each with every key
  for (const char* key : {"\"index\":", "\"color\":", "\"width\":", "\"open\":", "\"valid\":", "\"bbox_mm\":",
                          "\"length_mm\":", "\"points\":", "\"level\":", "\"parent\":", "\"dir\":", "\"tocut\":",
                          "\"frame\":", "\"drill\":", "\"outline\":", "\"toolpath\":"}) {
    EXPECT_EQ(count(j, key), 4u) << key << "\n" << j;
  }
  EXPECT_EQ(count(j, "\"parent\":null"), 1u) << j;  // only the frame
  EXPECT_EQ(count(j, "\"level\":2"), 1u) << j;
  EXPECT_EQ(count(j, "\"org_color\":"), 2u) << j;  // two layers
  for (const char* key :
       {"\"lenwork_mm\":", "\"lenprzes_mm\":", "\"lenpol_mm\":", "\"lenz_mm\":", "\"estimated_minutes\":"}) {
    EXPECT_EQ(count(j, key), 1u) << key;
  }
  EXPECT_EQ(j.substr(j.size() - 2), "}\n");
}

TEST(OpenCommand, SettingsFileAndSingleSettingsApplyInOrder) {
  TempFolder folder;
  writeFile(folder / "nest.plt", kNest);
  writeFile(folder / "s.mcc", "auto_add := cbUnchecked\r\ncrosstopoint := cbUnchecked\r\nProjektType := 1\r\n");
  const std::string common = "open --data-dir " + quoted(folder / "data") + " --settings " + quoted(folder / "s.mcc");
  CliRun run = runCli(common + " " + quoted(folder / "nest.plt"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("figures: 5,"), std::string::npos) << run.output;  // strokes apart
  EXPECT_NE(run.output.find("multi-layer"), std::string::npos) << run.output;
  // --set comes after the file, in the file's words or as a number
  for (const char* value : {"1", "cbChecked", "on"}) {
    run = runCli(common + " --set auto_add=" + value + " " + quoted(folder / "nest.plt"));
    EXPECT_NE(run.output.find("figures: 4,"), std::string::npos) << value << "\n" << run.output;
  }

  writeFile(folder / "bad.mcc", "WorkSpeed := fast\r\n");
  run = runCli("open --data-dir " + quoted(folder / "data") + " --settings " + quoted(folder / "bad.mcc") + " " +
                   quoted(folder / "nest.plt"),
               true);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("bad.mcc"), std::string::npos) << run.output;
}

TEST(OpenCommand, BadInputFailsWithAMessage) {
  TempFolder folder;
  const std::string data = " --data-dir " + quoted(folder / "data") + " ";
  CliRun run = runCli("open" + data + quoted(folder / "missing.plt"), true);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find((folder / "missing.plt").string()), std::string::npos) << run.output;

  writeFile(folder / "bad.plt", "SP1;PU0,0;PD1.5.5,2;PU;");
  run = runCli("open" + data + quoted(folder / "bad.plt"), true);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("bad.plt"), std::string::npos) << run.output;

  writeFile(folder / "ok.plt", "SP1;PU0,0;PD10,0;PU;");
  run = runCli("open" + data + "--set NoSuchSetting=1 " + quoted(folder / "ok.plt"), true);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("NoSuchSetting"), std::string::npos) << run.output;
  run = runCli("open" + data + "--set skala=big " + quoted(folder / "ok.plt"), true);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("skala: \"big\" is not a number"), std::string::npos) << run.output;
  // Out of its limits: refused in the same words as job and settings set.
  run = runCli("open" + data + "--set skala=5000 " + quoted(folder / "ok.plt"), true);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("skala: 5000 is outside 1 .. 1000"), std::string::npos) << run.output;
}

TEST(PreviewCommand, DrawsPngAndSvg) {
  TempFolder folder;
  writeFile(folder / "nest.plt", kNest);
  const std::string data = " --data-dir " + quoted(folder / "data") + " ";
  CliRun run = runCli("preview" + data + quoted(folder / "nest.plt") + " -o " + quoted(folder / "p.png"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(readFile(folder / "p.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
  run = runCli("preview" + data + quoted(folder / "nest.plt") + " -o " + quoted(folder / "p.svg"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string svg = readFile(folder / "p.svg");
  // four figures, three outlines of closed figures (the stroke keeps its line)
  EXPECT_GE(count(svg, "<polyline"), 7u) << svg;
  EXPECT_EQ(count(svg, "<text"), 4u) << svg;
}

TEST(OpenCommand, ReadsPlotFilesOfOtherPrograms) {
  for (const char* name : {"pstoedit_shapes.plt", "pstoedit_shapes_libplot.plt"}) {
    TempFolder folder;
    const CliRun run =
        runCli("open --data-dir " + quoted(folder / "data") + " '" + TRAZVIK_FIXTURES + "/" + name + "'");
    ASSERT_EQ(run.exitCode, 0) << name << run.output;
    EXPECT_NE(run.output.find("figures: "), std::string::npos);
  }
}

}  // namespace
}  // namespace trazvik::testing
