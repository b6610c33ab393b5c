// The cutting session as the programs assemble it, over the machine
// connection to a simulated controller on 127.0.0.1: the machine's own
// start button starts the active project through the session's start, the
// loop streams the job to its end, the logs follow it, and pause and
// continue take the job's travel height; two sessions in one process keep
// their own machine state.
#include "session_fixture.h"

#include "base/text.h"
#include "link/move_operations.h"

#include <array>
#include <cmath>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

using trazvik::testing::readFile;

TEST(CuttingSession, TheMachinesStartButtonCutsTheActiveProjectToItsEndWithItsLogs) {
  sim::SimConfig config;
  config.timeScale = 1000;
  auto controller = std::make_shared<sim::SimController>(config);
  sim::SimServer server(controller, sim::ServerPorts{"127.0.0.1", 0, 0});
  server.start();
  {
    SessionFixture f;
    logging::LogSetup logSetup;
    logSetup.dataDirectory = f.folder.text();
    logging::AppLogs logs(logSetup);
    ASSERT_TRUE(f.connect(server.commandPort(), server.identityPort(), &logs));
    tCuttingSession& session = *f.session;
    session.control.context.settings.travelHeight = 1;
    session.activeProject = [&] { return &f.project; };
    int afterStarts = 0;
    session.afterStart = [&] { ++afterStarts; };
    std::vector<tControlEventKind> events;
    session.onEvent = [&](const tControlEvent& e) { events.push_back(e.kind); };

    controller->press(sim::Button::start);
    ASSERT_TRUE(f.runUntil([&] { return afterStarts > 0; }, 10s)) << "the start button was not obeyed";
    ASSERT_EQ(session.lastOutcome(), tStartOutcome::started)
        << startOutcomeName(session.lastOutcome()) << " " << f.firstMessage();
    EXPECT_DOUBLE_EQ(session.control.context.settings.travelHeight, 15.49) << "pause and continue use the job's";
    const auto ended = [&] {
      return std::find(events.begin(), events.end(), tControlEventKind::jobEnded) != events.end();
    };
    ASSERT_TRUE(f.runUntil(ended, 30s));
    EXPECT_EQ(afterStarts, 1);
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(f.folder / "Logs")) log += readFile(entry.path());
    EXPECT_NE(log.find("Start cutting."), std::string::npos) << log;
    EXPECT_NE(log.find("Project: " + f.star), std::string::npos) << log;
    EXPECT_NE(log.find("End of cutting."), std::string::npos) << log;
  }
  server.stop();
}

// Two programs' worth of machine state in one process: two sessions, each
// over its own simulated controller of another type, firmware and working
// area, keep their own identification, link values and status, and motion
// or a new work zero on one machine shows in its own session only.
TEST(CuttingSession, TwoSessionsInOneProcessKeepTheirOwnMachineState) {
  struct Machine {
    std::string product;
    int major, minor;
    std::array<double, 3> area;
    std::string serial;
  };
  const std::array<Machine, 2> machines = {
      Machine{"YFB 32", 7, 20, {1000, 600, 120}, "24110153"},
      Machine{"YHB 32", 6, 34, {1300, 900, 150}, "23050077"},
  };
  std::array<std::shared_ptr<sim::SimController>, 2> controllers;
  std::array<std::unique_ptr<sim::SimServer>, 2> servers;
  std::array<SessionFixture, 2> sessions;  // end before the servers they are connected to
  for (std::size_t i = 0; i < 2; ++i) {
    sim::SimConfig config;
    config.timeScale = 1000;
    config.product = machines[i].product;
    config.firmwareMajor = machines[i].major;
    config.firmwareMinor = machines[i].minor;
    config.workArea = machines[i].area;
    config.serial = machines[i].serial;
    controllers[i] = std::make_shared<sim::SimController>(config);
    servers[i] = std::make_unique<sim::SimServer>(controllers[i], sim::ServerPorts{"127.0.0.1", 0, 0});
    servers[i]->start();
  }
  for (std::size_t i = 0; i < 2; ++i)
    ASSERT_TRUE(sessions[i].connect(servers[i]->commandPort(), servers[i]->identityPort(), nullptr)) << i;

  for (std::size_t i = 0; i < 2; ++i) {
    const tMachineState& s = sessions[i].connection->state();
    SCOPED_TRACE(machines[i].product);
    EXPECT_EQ(s.model.machineType, machines[i].product);
    EXPECT_EQ(s.link.protocolLevel, machines[i].major);
    EXPECT_EQ(s.link.firmwareMinor, machines[i].minor);
    EXPECT_EQ(s.link.workArea[0], machines[i].area[0]);
    EXPECT_EQ(s.link.workArea[1], machines[i].area[1]);
    EXPECT_EQ(base::trimmed(s.status.info2), machines[i].serial);
    EXPECT_EQ(sessions[i].settings.machine().machineType, machines[i].product) << "the session's settings";
    EXPECT_EQ(&sessions[i].session->control.context.state, &s) << "the control side works on its connection's";
  }

  // Both loops run side by side.
  for (int beat = 0; beat < 20; ++beat)
    for (SessionFixture& f : sessions) f.session->timerEvent();

  SessionFixture& first = sessions[0];
  SessionFixture& second = sessions[1];
  second.connection->status().readPositions();
  const trpoint4d secondBefore = second.st.abspos;
  ASSERT_TRUE(moveToMachinePoint(first.connection->ops(), 0, 50, 120));
  first.st.pos0 = {5000, 4000, 3000};
  setWorkZeroXY(first.connection->ops());
  for (SessionFixture& f : sessions) {
    f.connection->status().readPositions();
    f.connection->status().readZeroPoint();
  }
  EXPECT_NEAR(first.st.abspos.x, 12000, 1);
  EXPECT_NEAR(first.st.abspos.y, 5000, 1);
  EXPECT_NEAR(first.st.pos0.x, 5000, 1);
  EXPECT_NEAR(first.st.pos0.y, 4000, 1);
  EXPECT_EQ(second.st.abspos.x, secondBefore.x) << "the other machine did not move";
  EXPECT_EQ(second.st.abspos.y, secondBefore.y);
  EXPECT_NEAR(second.st.pos0.x, 2000, 1) << "the other machine keeps its work zero";
  EXPECT_NEAR(second.st.pos0.y, 2000, 1);
  EXPECT_EQ(controllers[1]->machineState().zeroPoint[0], std::lround(2000 * second.machine.machineParams.axisFactorX));
}

}  // namespace
}  // namespace trazvik::control_test
