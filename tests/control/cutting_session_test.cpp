// The cutting session as the programs assemble it, over the machine
// connection to a simulated controller on 127.0.0.1: the machine's own
// start button starts the active project through the session's start, the
// loop streams the job to its end, the logs follow it, and pause and
// continue take the job's travel height.
#include "control/cutting_session.h"

#include "app/version_text.h"
#include "config/tdlgkonfig.h"
#include "control_rig.h"
#include "link/machine_capabilities.h"
#include "link/machine_control_operations.h"
#include "project/tmdichild.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

using trazvik::testing::readFile;
using trazvik::testing::TempFolder;

TEST(CuttingSession, TheMachinesStartButtonCutsTheActiveProjectToItsEndWithItsLogs) {
  sim::SimConfig config;
  config.timeScale = 1000;
  auto controller = std::make_shared<sim::SimController>(config);
  sim::SimServer server(controller, sim::ServerPorts{"127.0.0.1", 0, 0});
  server.start();
  TempFolder folder;
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts(boxes);
  ASSERT_TRUE(texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", app::programMajorMinorVersion()));
  TDlgkonfig settings{'.'};
  logging::LogSetup logSetup;
  logSetup.dataDirectory = folder.text();
  logging::AppLogs logs(logSetup);
  TMDIChild project(settings, texts);
  const std::string star = std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt";
  project.DostosujWgTypuProjektu(typPlikuZRozszerzenia(star));
  ASSERT_TRUE(project.Load(star));

  tLinkState link;
  tplotstate st;
  tMachineModel machine;
  {
    tMachineConnection connection(link, st, machine, nullptr);
    connection.FormCreate(serverConnectionOptions(server));
    tCuttingSession session(connection, st, machine, settings, texts,
                            tCuttingSessionSetup{folder.text(), app::StartupSwitches{}, &logs});
    tControlSettings snapshot = controlSettingsOf(settings);
    snapshot.ethernetConnection = true;
    snapshot.travelHeight = 1;
    session.takeSettings(snapshot);
    session.activeProject = [&] { return &project; };
    int afterStarts = 0;
    session.afterStart = [&] { ++afterStarts; };
    std::vector<tControlEventKind> events;
    session.onEvent = [&](const tControlEvent& e) { events.push_back(e.kind); };
    session.createPanel();
    session.control.panel.setTimerEnabled(true);
    const auto runUntil = [&](const std::function<bool()>& done, std::chrono::milliseconds timeout) {
      const auto end = std::chrono::steady_clock::now() + timeout;
      while (!done() && std::chrono::steady_clock::now() < end) {
        session.timerEvent();
        std::this_thread::sleep_for(std::min(10ms, std::chrono::milliseconds(session.interval())));
      }
      return done();
    };
    ASSERT_TRUE(runUntil([&] { return link.ethernetActive; }, 5s));
    settings.SetParam(machineContextOf(machine, link, st, true));
    st.pos0 = {2000, 2000, 6000};
    setWorkZeroXY(connection.ops());
    setWorkZeroZ(connection.ops());

    controller->press(sim::Button::start);
    ASSERT_TRUE(runUntil([&] { return afterStarts > 0; }, 10s)) << "the start button was not obeyed";
    ASSERT_EQ(session.lastOutcome(), tStartOutcome::started)
        << startOutcomeName(session.lastOutcome()) << (boxes.messages().empty() ? "" : boxes.messages()[0].text);
    EXPECT_DOUBLE_EQ(session.control.context.settings.travelHeight, 15.49) << "pause and continue use the job's";
    const auto ended = [&] { return std::find(events.begin(), events.end(), tControlEventKind::jobEnded) != events.end(); };
    ASSERT_TRUE(runUntil(ended, 30s));
    EXPECT_EQ(afterStarts, 1);
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "Logs")) log += readFile(entry.path());
    EXPECT_NE(log.find("Start cutting."), std::string::npos) << log;
    EXPECT_NE(log.find("Project: " + star), std::string::npos) << log;
    EXPECT_NE(log.find("End of cutting."), std::string::npos) << log;
    connection.shutdown();
  }
  server.stop();
}

}  // namespace
}  // namespace trazvik::control_test
