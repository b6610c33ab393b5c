// trazvik-cli cut --resume against trazvik-sim over TCP on 127.0.0.1: a job
// interrupted by a lost link, a controller reset or the CLI itself being
// killed is taken up where the machine stopped; a design file that changed
// since is refused.
#include "cli_process.h"
#include "run_cli.h"
#include "sim_process.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <thread>

namespace trazvik {
namespace {

using namespace std::chrono_literals;
using trazvik::sim::test::SimProcess;
using trazvik::testing::CliProcess;
using trazvik::testing::readFile;
using trazvik::testing::runCli;
using trazvik::testing::TempFolder;

// A copy of the star in the test's folder, its data folder, and trazvik-sim
// with a small buffer so the job is sent while it is cut.
struct ResumeRig {
  TempFolder folder;
  SimProcess sim;
  std::string design;

  explicit ResumeRig(const std::vector<std::string>& faults, const std::string& timeScale = "100") {
    ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    design = (folder / "star.plt").string();
    std::filesystem::copy_file(std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt", design);
    std::vector<std::string> args{"--type", "YFB 32", "--time-scale", timeScale, "--buffer", "512"};
    for (const std::string& f : faults) {
      args.push_back("--fault");
      args.push_back(f);
    }
    EXPECT_TRUE(sim.start(args)) << sim.output();
  }
  std::string machine() const {
    return "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());
  }
  std::string data() const { return folder.text() + "data"; }
  std::string cut(const std::string& more = "") const {
    return "cut '" + design + "' --machine " + machine() + " --data-dir '" + data() +
           "' --switch JobLogging --max-time 120 --reconnect-timeout 20 " + more;
  }
  std::string jobLogs() const {
    std::string all;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(data() + "/Jobs", ec), end; !ec && it != end; it.increment(ec))
      all += readFile(it->path());
    return all;
  }
};

// "Job taken up at figure N": N, or 0 when not told.
int figureTakenUp(const std::string& output) {
  std::smatch m;
  return std::regex_search(output, m, std::regex("Job taken up at figure ([0-9]+)")) ? std::stoi(m[1]) : 0;
}

// The link drops at several places of the job; the controller answers
// again and runs out what it had. The job is taken up at the figure in
// progress, or at the one after it with --from-next.
TEST(CutResume, LinkDroppedThenTakenUpFromTheInterruptedOrTheNextFigure) {
  for (const char* drop : {"drop@110", "drop@240"}) {
    SCOPED_TRACE(drop);
    int figures[2] = {0, 0};
    for (int next = 0; next < 2; ++next) {
      ResumeRig rig({drop});
      const auto first = runCli(rig.cut("--work-zero 20,20,60"), true);
      ASSERT_EQ(first.exitCode, 3) << first.output;
      EXPECT_NE(first.output.find("--resume"), std::string::npos) << first.output;
      const auto again = runCli(rig.cut(next ? "--resume --from-next" : "--resume"), true);
      ASSERT_EQ(again.exitCode, 0) << again.output;
      EXPECT_NE(again.output.find("The point is exact."), std::string::npos) << again.output;
      EXPECT_NE(again.output.find("Job finished."), std::string::npos) << again.output;
      figures[next] = figureTakenUp(again.output);
      EXPECT_GE(figures[next], 1) << again.output;
      EXPECT_NE(rig.jobLogs().find("<ResumedFrom>figure " + std::to_string(figures[next])), std::string::npos)
          << rig.jobLogs();
      // Nothing is left: a second resume has nothing to take up.
      const auto done = runCli(rig.cut("--resume"), true);
      EXPECT_EQ(done.exitCode, 1) << done.output;
      EXPECT_NE(done.output.find("no interrupted job"), std::string::npos) << done.output;
    }
    // The cut had begun at the drop, so the next figure is one further on.
    EXPECT_EQ(figures[1] - figures[0], 1) << drop;
  }
}

// The CLI is killed while the job runs: the controller runs out its buffer
// and a new cut --resume continues from what was executed.
TEST(CutResume, KilledCliIsTakenUpFromWhatTheControllerRan) {
  ResumeRig rig({}, "20");
  CliProcess cli;
  ASSERT_TRUE(cli.start({"cut", rig.design, "--machine", rig.machine(), "--data-dir", rig.data(), "--work-zero",
                         "20,20,60", "--switch", "JobLogging"}));
  // Killed once a good part of the job has gone out.
  const auto record = std::filesystem::path(rig.data()) / "out.cnx.run";
  bool underway = false;
  for (int i = 0; i < 400 && !underway; ++i) {
    std::this_thread::sleep_for(25ms);
    const std::string text = readFile(record);
    std::smatch m;
    underway = std::regex_search(text, m, std::regex("sent ([0-9]+)")) && std::stoi(m[1]) > 1000;
  }
  ASSERT_TRUE(underway) << cli.output();
  EXPECT_EQ(cli.finish(0ms), -1) << "the CLI ended before it was killed: " << cli.output();

  const auto again = runCli(rig.cut("--resume"), true);
  ASSERT_EQ(again.exitCode, 0) << again.output;
  EXPECT_NE(again.output.find("The workstation stopped during the job"), std::string::npos) << again.output;
  EXPECT_GE(figureTakenUp(again.output), 1) << again.output;
  EXPECT_NE(again.output.find("Job finished."), std::string::npos) << again.output;
}

// After a reset the controller holds no job and its position is lost: the
// resume is refused until the machine is homed, then goes on.
TEST(CutResume, ControllerResetIsRefusedUntilHomed) {
  ResumeRig rig({"reset@200"});
  const auto first = runCli(rig.cut("--work-zero 20,20,60"), true);
  ASSERT_EQ(first.exitCode, 3) << first.output;

  const auto refused = runCli(rig.cut("--resume"), true);
  EXPECT_EQ(refused.exitCode, 1) << refused.output;
  EXPECT_NE(refused.output.find("must be homed"), std::string::npos) << refused.output;
  EXPECT_NE(refused.output.find("home the machine first"), std::string::npos) << refused.output;
  // Still refused on a second try: nothing has homed the machine.
  EXPECT_EQ(runCli(rig.cut("--resume"), true).exitCode, 1);

  const auto homed = runCli("home --machine " + rig.machine() + " --data-dir '" + rig.data() + "'", true);
  ASSERT_EQ(homed.exitCode, 0) << homed.output;
  const auto again = runCli(rig.cut("--resume"), true);
  ASSERT_EQ(again.exitCode, 0) << again.output;
  EXPECT_NE(again.output.find("has been homed since"), std::string::npos) << again.output;
  EXPECT_GE(figureTakenUp(again.output), 1) << again.output;
}

// A design file changed after the job was written from it is refused,
// before the machine is reached.
TEST(CutResume, ChangedDesignFileIsRefused) {
  ResumeRig rig({"drop@120"});
  ASSERT_EQ(runCli(rig.cut("--work-zero 20,20,60"), true).exitCode, 3);
  std::ofstream(rig.design, std::ios::app) << "PU0,0;\n";
  const auto refused = runCli(rig.cut("--resume"), true);
  EXPECT_EQ(refused.exitCode, 1) << refused.output;
  EXPECT_NE(refused.output.find("has changed since the interrupted job was written"), std::string::npos)
      << refused.output;
  EXPECT_EQ(refused.output.find("Connected to"), std::string::npos) << refused.output;
}

}  // namespace
}  // namespace trazvik
