// trazvik-cli cut against a controller that misbehaves: trazvik-sim over TCP
// on 127.0.0.1 and the simulated USB controller inside the CLI, each with
// faults injected at a point of the job. Every fault is told in plain words,
// stops or pauses the job as it must, and leaves its trace in the logs.
#include "cli_process.h"
#include "run_cli.h"
#include "sim_process.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace trazvik {
namespace {

using namespace std::chrono_literals;
using trazvik::sim::test::SimProcess;
using trazvik::testing::CliProcess;
using trazvik::testing::readFile;
using trazvik::testing::runCli;
using trazvik::testing::TempFolder;

const std::string kStar = std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt";

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string firstFileWith(const std::filesystem::path& folder, const std::string& extension) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == extension) return readFile(it->path());
  return {};
}

// The single-instance lock lives in a folder of the test's own.
struct FaultRig {
  TempFolder folder;
  SimProcess sim;
  FaultRig() { ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1); }

  std::string data() const { return folder.text() + "data"; }
  // Over TCP to trazvik-sim, or over the simulated USB device inside the CLI.
  std::string machine(bool usb, const std::vector<std::string>& faults) {
    if (usb) {
      std::string m = "'sim-usb:YFB 32' --sim-speed 40";
      for (const std::string& f : faults) m += " --sim-fault " + f;
      return m;
    }
    std::vector<std::string> args{"--type", "YFB 32", "--time-scale", "40"};
    for (const std::string& f : faults) {
      args.push_back("--fault");
      args.push_back(f);
    }
    EXPECT_TRUE(sim.start(args)) << sim.output();
    return "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());
  }
  std::string cut(const std::string& machineText, const std::string& more = "") const {
    return "cut '" + kStar + "' --machine " + machineText + " --work-zero 20,20,60 --data-dir '" + data() +
           "' --switch JobLogging --max-time 120 " + more;
  }
  std::string eventLog() const { return firstFileWith(data() + "/Logs", ".txt"); }
  std::string jobLog() const { return firstFileWith(data() + "/Jobs", ".xml"); }
};

// Status replies that make no sense from some point on: after a few in a row
// the link counts as faulty, sending stops, and the operator and both logs
// are told where the job stood.
class CutUnreadableStatus : public ::testing::TestWithParam<bool> {};

TEST_P(CutUnreadableStatus, StopsSendingAndSaysTheLinkIsFaulty) {
  FaultRig rig;
  const auto run = runCli(rig.cut(rig.machine(GetParam(), {"garbage-status=-1@300"})), true);
  EXPECT_EQ(run.exitCode, 3) << run.output;
  EXPECT_NE(run.output.find("status replies cannot be read"), std::string::npos) << run.output;
  EXPECT_EQ(count(run.output, "the link to the controller is faulty"), 1) << run.output;
  EXPECT_EQ(run.output.find("Job finished"), std::string::npos) << run.output;
  const std::string events = rig.eventLog();
  EXPECT_TRUE(std::regex_search(events, std::regex("Link faulty: .* job file sent up to byte \\d+"))) << events;
  EXPECT_EQ(count(events, "End of cutting."), 0) << events;
  const std::string job = rig.jobLog();
  EXPECT_NE(job.find("<StatusId>2</StatusId>"), std::string::npos) << job;
  EXPECT_NE(job.find("Link faulty"), std::string::npos) << job;
}

INSTANTIATE_TEST_SUITE_P(Links, CutUnreadableStatus, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Usb" : "Tcp"); });

// The controller reports its buffer full while the machine stands: the
// progress says what it waits for, and --max-stall ends the wait.
class CutStalledController : public ::testing::TestWithParam<bool> {};

TEST_P(CutStalledController, ToldWhileWaitingAndStoppedAfterTheBound) {
  FaultRig rig;
  const auto run = runCli(rig.cut(rig.machine(GetParam(), {"buffer-full@300"}), "--max-stall 6"), true);
  EXPECT_EQ(run.exitCode, 5) << run.output;
  EXPECT_TRUE(
      std::regex_search(run.output, std::regex("waiting for the controller: buffer full, machine idle for [3-6] s")))
      << run.output;
  EXPECT_NE(run.output.find("stood still for 6 s"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Job finished"), std::string::npos) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Links, CutStalledController, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Usb" : "Tcp"); });

// A wrong or a missing echo during the transfer: the controller may have
// taken another command than the job's. The job pauses, the operator hears
// which command at which byte, and the job goes on when told to.
struct EchoCase {
  const char* name;
  const char* fault;
  const char* told;
};

class CutEchoFault : public ::testing::TestWithParam<EchoCase> {};

TEST_P(CutEchoFault, PausesNamingTheByteAndTheCommand) {
  FaultRig rig;
  const std::string machine = rig.machine(false, {GetParam().fault});
  CliProcess cli;
  ASSERT_TRUE(cli.start(
      {"cut", kStar, "--machine", machine, "--work-zero", "20,20,60", "--data-dir", rig.data(), "--max-time", "120"}));
  ASSERT_TRUE(cli.waitFor("Ctrl-C for the menu", 60s)) << cli.output();
  EXPECT_TRUE(std::regex_search(
      cli.output(),
      std::regex(std::string(GetParam().told) + ".*byte \\d+ of the job file .*\\(([0-9A-F]{2} )*[0-9A-F]{2}\\)")))
      << cli.output();
  cli.interrupt();
  ASSERT_TRUE(cli.waitFor("[c]ontinue", 20s)) << cli.output();
  cli.write("c\n");
  EXPECT_EQ(cli.finish(120s), 0) << cli.output();
  EXPECT_NE(cli.output().find("Job finished."), std::string::npos) << cli.output();
}

INSTANTIATE_TEST_SUITE_P(Faults, CutEchoFault,
                         ::testing::Values(EchoCase{"Wrong", "wrong-echo=1@300", "echoed the job's command"},
                                           EchoCase{"Missing", "lost-echo=1@300", "did not echo the job's command"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The machine's STOP button pauses the job; the CLI says how to go on.
class CutMachineStop : public ::testing::TestWithParam<bool> {};

TEST_P(CutMachineStop, TellsHowToContinue) {
  FaultRig rig;
  const auto run = runCli(rig.cut(rig.machine(GetParam(), {"stop@150", "continue@400"})), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(count(run.output,
                  "The machine's STOP button paused the job. Press the machine's continue button to go on, "
                  "or Ctrl-C for the menu"),
            1)
      << run.output;
}

INSTANTIATE_TEST_SUITE_P(Links, CutMachineStop, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Usb" : "Tcp"); });

// Nobody continues a job paused at the machine, and nobody can answer on
// standard input: the CLI ends after --max-pause, leaving the job paused.
TEST(CutMachineStop, UnansweredPauseEndsAfterTheBound) {
  FaultRig rig;
  const auto run = runCli(rig.cut(rig.machine(false, {"stop@150"}), "--max-pause 3 </dev/null"), true);
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_NE(run.output.find("Unless the job is continued at the machine within 3 s, it is left paused"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("The job was not continued within 3 s: leaving it paused in the controller."),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Job left paused in the controller"), std::string::npos) << run.output;
}

// A drive in fault pauses the job; the operator hears which axes (USB) or
// that the network does not say, and how to go on.
class CutDriverError : public ::testing::TestWithParam<bool> {};

TEST_P(CutDriverError, PausesTheJobUntilContinued) {
  FaultRig rig;
  const bool usb = GetParam();
  const auto run = runCli(rig.cut(rig.machine(usb, {"driver-error=Y1@100", "continue@400"})), true);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(
      count(run.output, usb ? "Motor driver error (2) : Y1" : "Motor driver error (axes not reported over Ethernet)"),
      1)
      << run.output;
  EXPECT_EQ(run.output.find("(0) :"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Press the machine's continue button to go on"), std::string::npos) << run.output;
  const std::string events = rig.eventLog();
  EXPECT_EQ(count(events, "Cutting stop."), 1) << events;
  EXPECT_EQ(count(events, "End of cutting."), 1) << events;
}

INSTANTIATE_TEST_SUITE_P(Links, CutDriverError, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Usb" : "Tcp"); });

// The safety enclosure opened during a job. Over USB the controller reports
// its inputs: the job pauses and the operator is told once. Over Ethernet it
// does not: the operator is told at the start that an opened enclosure
// cannot be seen, and the job runs on.
class CutEnclosureOpened : public ::testing::TestWithParam<bool> {};

TEST_P(CutEnclosureOpened, PausesOverUsbAndIsToldUnseenOverEthernet) {
  FaultRig rig;
  const bool usb = GetParam();
  const auto run =
      runCli(rig.cut(rig.machine(usb, {"enclosure-open@150"}), "--switch SafetyEnclosure --max-pause 3"), true);
  const char* opened = "The machine's safety enclosure has been opened.";
  const char* unseen = "the program cannot see the safety enclosure opened";
  if (usb) {
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_EQ(count(run.output, opened), 1) << run.output;
    EXPECT_EQ(count(run.output, unseen), 0) << run.output;
    EXPECT_NE(run.output.find("Job left paused in the controller"), std::string::npos) << run.output;
  } else {
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(count(run.output, unseen), 1) << run.output;
    EXPECT_EQ(count(run.output, opened), 0) << run.output;
    EXPECT_NE(run.output.find("Job finished"), std::string::npos) << run.output;
  }
}

INSTANTIATE_TEST_SUITE_P(Links, CutEnclosureOpened, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Usb" : "Tcp"); });

}  // namespace
}  // namespace trazvik
