// trazvik-cli job: the job of a design file for a machine type, written
// without a controller and read back with trazvik-cli dump.
#include "run_cli.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace trazvik::testing {
namespace {

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }
std::string sample(const char* name) { return quoted(std::filesystem::path(TRAZVIK_SOURCE_DIR) / "samples" / name); }

TEST(JobCommand, WritesAJobThatDumpReadsWithoutProblemsForEachFileType) {
  TempFolder folder;
  const std::string data = " --data-dir " + quoted(folder / "data") + " ";
  struct Case {
    const char* design;
    const char* machine;
    const char* firmware;
    const char* lastLine;  // the trailer's last command
  };
  const Case cases[] = {
      {"star.plt", "YFB 32", "7.20", "SE job-end"},
      {"plate.dxf", "YFB 32", "6.34", "SE job-end"},
      {"pocket.nc", "YJB", "7.20", "SE job-end"},
      // The narrow set has no end record: the trailer ends selecting slot 2.
      {"star.plt", "YFF", "5.10", "f select-slot slot=2 | manual feed"},
      // A laser without heads in the machine table has its one tool, and
      // takes a program's S word as its power.
      {"star.plt", "WTK64", "7.20", "SE job-end"},
      {"pocket.nc", "WTK32", "5.10", "SE job-end"},
  };
  for (const Case& c : cases) {
    const auto out = folder / "out.cnx";
    std::filesystem::remove(out);
    CliRun run = runCli(std::string("job") + data + sample(c.design) + " -o " + quoted(out) + " --machine '" +
                        c.machine + "' --firmware " + c.firmware);
    ASSERT_EQ(run.exitCode, 0) << c.design << " " << c.machine << "\n" << run.output;
    EXPECT_NE(run.output.find(" bytes for \"" + std::string(c.machine) + "\""), std::string::npos) << run.output;
    ASSERT_TRUE(std::filesystem::exists(out));
    run = runCli("dump " + quoted(out) + " --machine '" + c.machine + "' --firmware " + c.firmware, true);
    ASSERT_EQ(run.exitCode, 0) << c.design << " " << c.machine << "\n" << run.output;
    EXPECT_NE(run.output.find(", 0 problems"), std::string::npos) << run.output;
    const std::size_t end = run.output.rfind(c.lastLine);
    ASSERT_NE(end, std::string::npos) << c.design << " " << c.machine;
    // ... and nothing after it but the summary on standard error.
    EXPECT_EQ(run.output.find("\n0", end), std::string::npos) << run.output.substr(end);
  }
}

TEST(JobCommand, SettingsChangeTheJob) {
  TempFolder folder;
  const std::string data = " --data-dir " + quoted(folder / "data") + " ";
  const auto out = folder / "out.cnx";
  ASSERT_EQ(runCli("job" + data + sample("star.plt") + " -o " + quoted(out) + " --machine 'YFB 32' --set WorkSpeed=600")
                .exitCode,
            0);
  CliRun run = runCli("dump " + quoted(out) + " --machine 'YFB 32'");
  EXPECT_NE(run.output.find("v load-slot slot=1 code=2000 | working feed 600.0 mm/min"), std::string::npos)
      << run.output;
  // A checkbox in the settings file's own words, as settings set takes it.
  ASSERT_EQ(runCli("job" + data + sample("star.plt") + " -o " + quoted(out) +
                   " --machine 'YFB 32' --set auto_add=cbChecked --set wygladzanie=on")
                .exitCode,
            0);
  // A settings file, then a single value on top of it.
  writeFile(folder / "s.mcc", "WorkSpeed=400\r\n");
  ASSERT_EQ(runCli("job" + data + sample("star.plt") + " -o " + quoted(out) + " --machine 'YFB 32' --settings " +
                   quoted(folder / "s.mcc"))
                .exitCode,
            0);
  run = runCli("dump " + quoted(out) + " --machine 'YFB 32'");
  EXPECT_NE(run.output.find("working feed 400.0 mm/min"), std::string::npos) << run.output;
}

TEST(JobCommand, ErrorsAreToldAndNothingIsWritten) {
  TempFolder folder;
  const std::string data = " --data-dir " + quoted(folder / "data") + " ";
  const auto out = folder / "out.cnx";
  struct Case {
    std::string arguments;
    int exitCode;
    const char* message;
  };
  const std::string star = sample("star.plt");
  const Case cases[] = {
      {star + " -o " + quoted(out) + " --machine NOPE", 2, "unknown machine type \"NOPE\""},
      {star + " -o " + quoted(out) + " --machine 'YFB 32' --firmware seven", 2, "firmware \"seven\""},
      {star + " -o " + quoted(out) + " --machine 'YFB 32' --set skala=big", 2, "\"big\" is not a number"},
      {star + " -o " + quoted(out) + " --machine 'YFB 32' --set nosuch=1", 2, "there is no setting nosuch"},
      {star + " -o " + quoted(out) + " --machine 'YFB 32' --set WorkSpeed=99999", 2,
       "WorkSpeed: 99999 is outside 1 .. 5000"},
      {star + " -o " + quoted(out) + " --machine 'YFB 32' --set WorkSpeed", 2, "expected NAME=VALUE"},
      {star + " -o " + quoted(out) + " --machine 'YFB 32' --head 2", 2, "has 1 head"},
      {star + " -o " + quoted(out) + " --machine WTK64 --head 2", 2, "has 1 head"},
      {sample("pocket.nc") + " -o " + quoted(out) + " --machine RZ --firmware 5.10", 2,
       "firmware below 6 takes at most 255"},
      {star + " -o " + quoted(out) + " --machine 'YFB 32' --settings " + quoted(folder / "none.mcc"), 2,
       "none.mcc: the settings file cannot be read"},
      {quoted(folder / "missing.plt") + " -o " + quoted(out) + " --machine 'YFB 32'", 2,
       "missing.plt: the design file cannot be read"},
      {star + " -o " + quoted(folder / "no such folder" / "out.cnx") + " --machine 'YFB 32'", 1, "out.cnx"},
  };
  for (const Case& c : cases) {
    const CliRun run = runCli("job" + data + c.arguments, true);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n" << run.output;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.arguments;
    EXPECT_FALSE(std::filesystem::exists(folder / "no such folder")) << c.arguments;
  }
}

}  // namespace
}  // namespace trazvik::testing
