#include "run_cli.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

namespace trazvik::testing {
namespace {

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST(FiguresCommand, ListsTheSampleWithTotals) {
  const CliRun run = runCli(std::string("figures '") + TRAZVIK_SOURCE_DIR + "/samples/star.plt'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("HPGL plot file (type 1), 40 units per mm"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("total: 5 figures (5 valid, 3 closed, 2 open), 91 points"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("extent: 15.000 8.000 to 150.000 120.000 mm"), std::string::npos) << run.output;
}

TEST(FiguresCommand, JsonKeepsItsKeysAndFileUnits) {
  TempFolder folder;
  // Pen 2 gets width 0.5 without naming the pen; a closed triangle, then an
  // open line of pen 1 that ends the file without a terminator.
  writeFile(folder / "two.plt", "SP2;PW0.5;PU0,0;PD400,0,400,300,0,0;PU;SP1;PU40,40;PD80,40");
  const CliRun run = runCli("figures --json " + quoted(folder / "two.plt"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output,
            "{\"file_type\":1,\"figures\":[\n"
            "{\"index\":0,\"color\":2,\"width\":0.5,\"open\":false,\"valid\":true,\"bbox_mm\":[0,0,10,7.5],"
            "\"length_mm\":30,\"points\":[[0,0],[400,0],[400,300],[0,0]]},\n"
            "{\"index\":1,\"color\":1,\"width\":0,\"open\":true,\"valid\":true,\"bbox_mm\":[1,1,2,1],"
            "\"length_mm\":1,\"points\":[[40,40],[80,40]]}\n"
            "]}\n");
}

TEST(FiguresCommand, BadFilesFailWithTheirPlace) {
  TempFolder folder;
  writeFile(folder / "bad.plt", "SP1;PU0,0;PD1-2,0;");
  writeFile(folder / "notes.txt", "Buy milk.\n");
  writeFile(folder / "empty.plt", "IN;");
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"figures " + quoted(folder / "bad.plt"), "bad.plt: byte 12: a number is expected here, found \"1-2\""},
      {"figures --json " + quoted(folder / "bad.plt"), "byte 12"},
      {"figures " + quoted(folder / "missing.plt"), "missing.plt: the file cannot be opened"},
      {"figures " + quoted(folder / "notes.txt"),
       "notes.txt: \".txt\" is not an extension of a design file and its content reads as none of"},
      {"figures --json " + quoted(folder / "empty.plt"), "empty.plt: the file holds no figure"},
  };
  for (const Case& c : cases) {
    const CliRun run = runCli(c.arguments, true);
    EXPECT_EQ(run.exitCode, 1) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("\"figures\""), std::string::npos) << "no half result: " << run.output;
  }
}

}  // namespace
}  // namespace trazvik::testing
