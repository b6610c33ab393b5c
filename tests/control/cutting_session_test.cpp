// The cutting session as the programs assemble it, over the machine
// connection to a simulated controller on 127.0.0.1: the machine's own
// start button starts the active project through the session's start, the
// loop streams the job to its end, the logs follow it, and pause and
// continue take the job's travel height.
#include "session_fixture.h"

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

}  // namespace
}  // namespace trazvik::control_test
