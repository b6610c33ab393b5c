// Every command that reads a design file takes the same files: known
// extensions of any case, other extensions by their content; a file of no
// known kind, or one that yields no figure, is refused with a message that
// names it.
#include "run_cli.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace trazvik::testing {
namespace {

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST(DesignFiles, EveryCommandAgreesOnEveryFile) {
  TempFolder folder;
  struct Case {
    const char* name;
    const char* content;
    const char* refusal;  // nullptr: opens
  };
  const Case cases[] = {
      {"square.hpgl", "IN;SP1;PU0,0;PD400,0,400,400,0,400,0,0;PU;", nullptr},
      {"SQUARE.HPG", "IN;SP1;PU0,0;PD400,0,400,400,0,400,0,0;PU;", nullptr},
      {"pocket.ngc", "G21 G90\nG0 X0 Y0 Z5\nG1 Z-1 F300\nG1 X10\nG1 Y10\nG0 Z5\n", nullptr},
      {"pocket.TAP", "G21 G90\nG0 X0 Y0 Z5\nG1 Z-1 F300\nG1 X10\nG1 Y10\nG0 Z5\n", nullptr},
      {"plot.txt", "IN;SP1;PU0,0;PD400,0,400,400;PU;", nullptr},
      {"notes.txt", "Buy milk.\n", "its content reads as none of an HPGL plot file, a DXF drawing or a G-code program"},
      {"garbage.bin", "\x01\x02\x03 not a drawing \xff\xfe", "its content reads as none of"},
      {"empty.nc", "", "no figure"},
      {"comments.ngc", "(set-up only)\nG21 G90\nM30\n", "no figure"},
      {"init.plt", "IN;SP1;", "no figure"},
  };
  const std::string data = " --data-dir " + quoted(folder / "data") + " ";
  for (const Case& c : cases) {
    const auto file = folder / c.name;
    writeFile(file, c.content);
    const std::string commands[] = {
        "open" + data + quoted(file),
        "figures" + data + quoted(file),
        "preview" + data + quoted(file) + " -o " + quoted(folder / "p.svg"),
        "job" + data + quoted(file) + " -o " + quoted(folder / "out.cnx") + " --machine 'YFB 32'",
    };
    for (const std::string& command : commands) {
      const CliRun run = runCli(command, true);
      if (c.refusal == nullptr) {
        EXPECT_EQ(run.exitCode, 0) << command << "\n" << run.output;
        continue;
      }
      EXPECT_NE(run.exitCode, 0) << command << "\n" << run.output;
      EXPECT_NE(run.output.find(file.string()), std::string::npos) << command << "\n" << run.output;
      EXPECT_NE(run.output.find(c.refusal), std::string::npos) << command << "\n" << run.output;
      EXPECT_EQ(run.output.find("e+308"), std::string::npos) << "no extents of nothing: " << run.output;
    }
  }
}

TEST(DesignFiles, ReaderWarningsGoToStandardErrorOfEveryCommand) {
  TempFolder folder;
  const auto file = folder / "stops.ngc";
  writeFile(file, "G21\nG0 X0 Y0 Z5\n/G1 Z-1 F300\nG1 X10 F300\nM0\nG1 Y10\n/G1 X0\n");
  const std::string blockDelete =
      file.string() + ": line 3: lines marked for block delete (/) are read as with the switch off (2 times)\n";
  const std::string programStop =
      file.string() + ": line 5: program stops (M0, M1) are not made: the job runs through\n";
  const std::string data = " --data-dir " + quoted(folder / "data") + " ";
  const std::string commands[] = {
      "open" + data + quoted(file),
      "open --json" + data + quoted(file),
      "figures" + data + quoted(file),
      "figures --json" + data + quoted(file),
      "preview" + data + quoted(file) + " -o " + quoted(folder / "p.svg"),
      "job" + data + quoted(file) + " -o " + quoted(folder / "out.cnx") + " --machine YJB",
  };
  for (const std::string& command : commands) {
    const CliRun all = runCli(command, true);
    ASSERT_EQ(all.exitCode, 0) << command << "\n" << all.output;
    EXPECT_NE(all.output.find(blockDelete + programStop), std::string::npos) << command << "\n" << all.output;
    const CliRun out = runCli(command);
    EXPECT_EQ(out.output.find("block delete"), std::string::npos) << "not on standard output: " << out.output;
  }
}

TEST(DesignFiles, FiguresTakesTheSettingsOfOpen) {
  // One full circle whose I, J are relative to its start: centre at 0, 0
  // (radius 10) when read as relative, at -10, 0 (radius 20) as absolute.
  TempFolder folder;
  writeFile(folder / "arc.nc", "G21\nG0 X10 Y0\nG2 X10 Y0 I-10 J0 F600\n");
  writeFile(folder / "relative.mcc", "chkAbsolutArcPos := cbUnchecked\r\n");
  const std::string file = " " + quoted(folder / "arc.nc");
  const char* const relative = "extent: -10.000 ";
  const char* const absolute = "extent: -30.000 ";
  struct Case {
    std::string options;
    const char* extent;
  };
  const Case cases[] = {
      {"", absolute},
      {" --set chkAbsolutArcPos=0", relative},
      {" --settings " + quoted(folder / "relative.mcc"), relative},
      {" --settings " + quoted(folder / "relative.mcc") + " --set chkAbsolutArcPos=1", absolute},
  };
  for (const Case& c : cases) {
    const CliRun run = runCli("figures" + c.options + file, true);
    ASSERT_EQ(run.exitCode, 0) << c.options << "\n" << run.output;
    EXPECT_NE(run.output.find(c.extent), std::string::npos) << c.options << "\n" << run.output;
  }
  const CliRun bad = runCli("figures --set NoSuchSetting=1" + file, true);
  EXPECT_NE(bad.exitCode, 0);
  EXPECT_NE(bad.output.find("there is no setting NoSuchSetting"), std::string::npos) << bad.output;
}

}  // namespace
}  // namespace trazvik::testing
