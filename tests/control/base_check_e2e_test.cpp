// Base-check mode through the cutting session the programs assemble, on a
// simulated controller that loses steps: over TCP against the trazvik-sim
// program and over USB to an in-process controller. Without drift the job
// ends "Ok" with deviations of 0; a slip of 0.2 mm is measured and the job
// still ends "Ok"; a slip of 0.7 mm ends the test with the job left paused
// and "Pomyłka" in the global report.
#include "session_fixture.h"
#include "sim_process.h"

#include "control/base_check_report.h"
#include "machine/state_bits.h"

#include <fstream>
#include <sstream>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

// The lines of a report, each ended by CR LF (a "\n\r" inside a line stays).
std::vector<std::string> fileLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  EXPECT_TRUE(all.size() >= 2 && all.substr(all.size() - 2) == "\r\n") << path;
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(all.substr(at, end - at));
  return lines;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  std::string f;
  while (std::getline(in, f, ';')) out.push_back(f);
  return out;
}

bool contains(const std::vector<std::string>& lines, const std::string& part) {
  for (const auto& l : lines)
    if (l.find(part) != std::string::npos) return true;
  return false;
}

struct DriftCase {
  bool usb;
  double driftMm;  // X slip after the machine has been homed; 0: none
  const char* result;
  const char* maxX;  // the global report's "max odch. X"
};

class BaseCheckEndToEnd : public ::testing::TestWithParam<DriftCase> {};

TEST_P(BaseCheckEndToEnd, ReportsTheSlipAndAbortsAboveTheLimit) {
  const DriftCase c = GetParam();
  constexpr int kAfterCommands = 200;  // well after the homing at the start
  constexpr int kTimeScale = 600;
  constexpr int kClockScale = 10;
  SessionFixture f;
  f.switches.checkBaseMode = true;
  // One second between checks, counted from the end of the last one.
  f.switches.checkBaseInterval = 1;
  f.settings.set("CzasRozruchu", 0);  // no spindle run-up after each check
  sim::test::SimProcess program;
  std::shared_ptr<sim::SimController> controller;
  if (c.usb) {
    sim::SimConfig config;
    config.timeScale = kTimeScale;
    controller = std::make_shared<sim::SimController>(config);
    if (c.driftMm != 0) {
      sim::ScheduledFault slip;
      slip.action = sim::FaultAction::lostSteps;
      slip.afterCommands = kAfterCommands;
      slip.shiftMm = {c.driftMm, 0, 0};
      controller->schedule(slip);
    }
    ASSERT_TRUE(f.connectUsb(controller, nullptr));
  } else {
    std::vector<std::string> args{"--type", "YFB 32", "--time-scale", std::to_string(kTimeScale)};
    if (c.driftMm != 0) {
      args.push_back("--fault");
      args.push_back("lost-steps=" + std::to_string(c.driftMm) + ",0,0@" + std::to_string(kAfterCommands));
    }
    ASSERT_TRUE(program.start(args)) << program.output();
    ASSERT_TRUE(f.connect(program.commandPort(), program.identityPort(), nullptr)) << program.output();
  }
  tCuttingSession& session = *f.session;
  session.activeProject = [&] { return &f.project; };
  // The checks' clock runs ten times fast: the next check comes a tenth of
  // a second after the last one ended, so the job runs on a little between
  // checks and the slip is found while it (a second or two here) still runs.
  const logging::Clock realClock = session.baseCheck.clock;
  const logging::DateTime realStart = realClock();
  session.baseCheck.clock = [=] { return realStart + (realClock() - realStart) * kClockScale; };
  int ended = 0;
  session.onEvent = [&](const tControlEvent& e) { ended += e.kind == tControlEventKind::jobEnded; };
  ASSERT_EQ(session.Start1Click(&f.project), tStartOutcome::started) << f.firstMessage();
  const bool done = f.runUntil([&] { return ended > 0 || session.baseCheck.aborted(); }, 90s);
  if (!done) {
    for (const auto& l : fileLines(session.baseCheck.reportPath())) std::cerr << l << "\n";
  }
  ASSERT_TRUE(done);

  const bool aborts = std::string(c.result) == kResultFailed;
  EXPECT_EQ(session.baseCheck.aborted(), aborts);
  EXPECT_EQ(ended, aborts ? 0 : 1);
  // Checks ran during the job and, unless aborted, once more at its end.
  ASSERT_GE(session.baseCheck.measurements().size(), 2u);
  if (aborts) {
    // The job is left paused for the operator.
    EXPECT_TRUE(session.control.flags.jobPaused);
    f.connection->status().readState();
    EXPECT_TRUE(f.st.bit(stateBit::jobPaused));
  }

  const std::vector<std::string> report = fileLines(session.baseCheck.reportPath());
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report[0].rfind("[Trazvik, ", 0), 0u) << report[0];
  EXPECT_TRUE(contains(report, "============================= START: "));
  EXPECT_TRUE(contains(report, " fig="));
  EXPECT_EQ(contains(report, "---- TEST ZOSTAŁ PRZERWANY - pomyłka powyżej 0.5mm ----"), aborts);
  EXPECT_EQ(contains(report, "----- Koniec obróbki "), !aborts);
  EXPECT_TRUE(contains(report, std::string("odchyłka max X ") + c.maxX));
  EXPECT_TRUE(contains(report, std::string("odchyłka min Y 0.000")));

  const std::vector<std::string> global = fileLines(session.baseCheck.globalReportPath());
  ASSERT_EQ(global.size(), 2u);
  EXPECT_EQ(global[0], globalReportHeader());
  const std::vector<std::string> line = fields(global[1]);
  ASSERT_EQ(line.size(), 17u) << global[1];
  EXPECT_EQ(line[1], "star.plt");
  EXPECT_EQ(line[2], c.result);
  EXPECT_EQ(line[4], c.maxX);
  EXPECT_EQ(line[6], "0.000");  // max odch. Y
  EXPECT_EQ(line[10], "Trazvik");

  f.session.reset();
  f.connection->shutdown();
  if (!c.usb) {
    EXPECT_EQ(program.stop(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Transports, BaseCheckEndToEnd,
    ::testing::Values(DriftCase{false, 0, kResultOk, "0.000"}, DriftCase{false, 0.2, kResultOk, "0.200"},
                      DriftCase{false, 0.7, kResultFailed, "0.700"}, DriftCase{true, 0, kResultOk, "0.000"},
                      DriftCase{true, 0.2, kResultOk, "0.200"}, DriftCase{true, 0.7, kResultFailed, "0.700"}),
    [](const auto& info) {
      return std::string(info.param.usb ? "Usb" : "Tcp") + "Drift" +
             std::to_string(static_cast<int>(info.param.driftMm * 10));
    });

// A check that takes longer than the interval still leaves the job a whole
// interval of cutting before the next one: counted from the check's start,
// a slow check would be followed by another at once and the job would
// hardly move between them.
TEST(BaseCheckInterval, CountsFromTheEndOfTheCheck) {
  constexpr double kSecond = 1.0 / 86400;
  SessionFixture f;
  f.switches.checkBaseMode = true;
  f.switches.checkBaseInterval = 60;
  f.settings.set("CzasRozruchu", 0);
  sim::SimConfig config;
  config.timeScale = 20;  // the job runs for seconds
  ASSERT_TRUE(f.connectUsb(std::make_shared<sim::SimController>(config), nullptr));
  tCuttingSession& session = *f.session;
  session.activeProject = [&] { return &f.project; };
  // The check's own clock, and each check taking 90 s on it.
  logging::DateTime now = 46000;
  session.baseCheck.clock = [&] { return now; };
  const auto figureAt = session.baseCheck.nearestFigure;
  session.baseCheck.nearestFigure = [&](double x, double y) {
    now += 90 * kSecond;
    return figureAt(x, y);
  };
  int paused = 0, continued = 0;
  session.onEvent = [&](const tControlEvent& e) {
    paused += e.kind == tControlEventKind::jobPaused;
    continued += e.kind == tControlEventKind::jobContinued;
  };
  ASSERT_EQ(session.Start1Click(&f.project), tStartOutcome::started) << f.firstMessage();
  ASSERT_TRUE(f.runUntil([&] { return !session.baseCheck.measurements().empty(); }, 30s));
  // The check's pause is told as one, so the job's running time leaves it out.
  EXPECT_EQ(paused, 1);
  EXPECT_EQ(continued, 1);
  now += 30 * kSecond;
  f.runUntil([] { return false; }, 300ms);
  EXPECT_EQ(session.baseCheck.measurements().size(), 1u) << "a check 30 s after the previous one ended";
  now += 31 * kSecond;
  EXPECT_TRUE(f.runUntil([&] { return session.baseCheck.measurements().size() == 2; }, 30s));
}

}  // namespace
}  // namespace trazvik::control_test
