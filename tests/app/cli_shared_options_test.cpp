// The options every trazvik-cli command shares, on the real program.
#include "base/single_instance.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace trazvik::app {
namespace {

using testing::TempFolder;

struct CliRun {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

std::string shellQuoted(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class CliSharedOptions : public ::testing::Test {
 protected:
  TempFolder folder;

  CliRun cli(const std::vector<std::string>& arguments) {
    std::string command = "env -u LC_ALL -u LC_MESSAGES LANG=C XDG_DATA_HOME=" + shellQuoted(folder.text() + "share") +
                          " XDG_RUNTIME_DIR=" + shellQuoted(folder.text()) + " " +
                          shellQuoted(std::string(TRAZVIK_BIN_DIR) + "/trazvik-cli");
    for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
    command += " 2>&1 </dev/null";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  static bool has(const CliRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }
};

TEST_F(CliSharedOptions, DataDirLangAndSwitchesReachTheProgramFrame) {
  const std::string data = folder.text() + "jobs";
  const CliRun run = cli({"frame", "--data-dir", data, "--lang", "pl", "--switch", "service", "--switch",
                          "OnlyMachine='M1'", "--switch", "maxX='700'"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run, "data directory: " + data + "/\n")) << run.output;
  EXPECT_TRUE(std::filesystem::is_directory(data));
  EXPECT_TRUE(has(run, "language: PL (country 48")) << run.output;
  EXPECT_TRUE(has(run, "switches: service DSCH\n")) << run.output;
  EXPECT_TRUE(has(run, "only machine: M1\n")) << run.output;
  EXPECT_TRUE(has(run, "maxX: 700\n")) << run.output;
}

TEST_F(CliSharedOptions, SharedOptionsMayStandBeforeTheCommand) {
  const CliRun run = cli({"--switch", "95", "--switch", "CHECKBASE=30", "--lang", "DE", "frame"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run, "switches: 95 CHECKBASE=30\n")) << run.output;
  EXPECT_TRUE(has(run, "<<< UWAGA! Włączona opcja CheckBase >>>")) << run.output;
  EXPECT_TRUE(has(run, "language: DE (country 49")) << run.output;
  // Without --data-dir the user's data folder is used.
  EXPECT_TRUE(has(run, "data directory: " + folder.text() + "share/Dornelis/Trazvik/\n")) << run.output;
}

TEST_F(CliSharedOptions, BadOptionsAndBadFoldersEndWithAnError) {
  const CliRun badLanguage = cli({"frame", "--lang", "XX"});
  EXPECT_NE(badLanguage.exitCode, 0);
  EXPECT_TRUE(has(badLanguage, "--lang")) << badLanguage.output;

  testing::writeFile(folder / "file", "x");
  const CliRun badFolder = cli({"frame", "--data-dir", folder.text() + "file/data"});
  EXPECT_EQ(badFolder.exitCode, 2) << badFolder.output;
  EXPECT_TRUE(has(badFolder, folder.text() + "file/data/")) << badFolder.output;
}

TEST_F(CliSharedOptions, ACommandThatNeedsTheMachineRespectsTheSingleInstanceRule) {
  base::SingleInstanceLock desktop;
  ASSERT_EQ(desktop.acquire(folder.text() + "Trazvik"), base::SingleInstanceLock::Outcome::Acquired);
  const CliRun blocked = cli({"frame", "--lock"});
  EXPECT_EQ(blocked.exitCode, 3) << blocked.output;
  EXPECT_FALSE(has(blocked, "single instance: held"));

  const CliRun bound = cli({"frame", "--lock", "--switch", "OnlyMachine='M2'"});
  EXPECT_EQ(bound.exitCode, 0) << bound.output;

  desktop.release();
  const CliRun free = cli({"frame", "--lock"});
  EXPECT_EQ(free.exitCode, 0) << free.output;
  EXPECT_TRUE(has(free, "single instance: held")) << free.output;
}

}  // namespace
}  // namespace trazvik::app
