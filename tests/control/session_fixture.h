// A cutting session as the programs assemble it, over the machine
// connection to a simulated controller on 127.0.0.1, with the star sample
// opened, the settings taking the identified machine's limits and a work
// zero the star fits at.
#pragma once
#include "control/cutting_session.h"

#include "base/version_text.h"
#include "config/tdlgkonfig.h"
#include "import/file_type.h"
#include "control_rig.h"
#include "usb_device.h"
#include "machine/machine_capabilities.h"
#include "link/machine_control_operations.h"
#include "project/tmdichild.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace trazvik::control_test {

struct SessionFixture {
  trazvik::testing::TempFolder folder;
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts{boxes};
  TDlgkonfig settings{'.'};
  TMDIChild project{settings, texts};
  const std::string star;  // the design file opened
  tMachineState state;
  tLinkState& link = state.link;
  tplotstate& st = state.status;
  tMachineModel& machine = state.model;
  std::unique_ptr<tMachineConnection> connection;
  std::unique_ptr<tCuttingSession> session;
  base::StartupSwitches switches;  // the program's switches (CHECKBASE...)

  SessionFixture() : SessionFixture(std::string(TRAZVIK_SOURCE_DIR) + "/samples/star.plt") {}
  // With another design file opened instead of the star.
  explicit SessionFixture(const std::string& design) : star(design) {
    EXPECT_TRUE(
        texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", base::programMajorMinorVersion()));
    project.DostosujWgTypuProjektu(import::fileTypeFromExtension(star));
    EXPECT_TRUE(project.Load(star));
  }
  ~SessionFixture() {
    // The loop's objects refer to the connection: they go first.
    session.reset();
    if (connection) connection->shutdown();
  }

  // Connects, builds the session (with `logs`, may be null) and its panel,
  // and sets the work zero; false when the controller did not answer.
  bool connect(std::uint16_t commandPort, std::uint16_t identityPort, logging::AppLogs* logs) {
    connection = std::make_unique<tMachineConnection>(state, nullptr);
    connection->FormCreate(localConnectionOptions(commandPort, identityPort));
    makeSession(logs, true);
    if (!runUntil([&] { return link.ethernetActive; }, std::chrono::seconds(10))) return false;
    return setUp();
  }
  // The same over the USB link to an in-process simulated controller.
  bool connectUsb(std::shared_ptr<sim::SimController> controller, logging::AppLogs* logs) {
    auto service = std::make_unique<sim::ListedHidService>();
    service->devices.push_back(std::make_shared<sim::SimHidDevice>(std::move(controller), true));
    connection = std::make_unique<tMachineConnection>(state, std::move(service));
    tConnectionOptions options;
    options.switches = switches;
    connection->FormCreate(options);
    makeSession(logs, false);
    if (!runUntil([&] { return connection->connected(); }, std::chrono::seconds(10))) return false;
    return setUp();
  }
  void makeSession(logging::AppLogs* logs, bool ethernet) {
    session = std::make_unique<tCuttingSession>(*connection, settings, texts,
                                                tCuttingSessionSetup{folder.text(), switches, logs, "Trazvik"});
    tControlSettings snapshot = controlSettingsOf(settings);
    snapshot.ethernetConnection = ethernet;
    session->takeSettings(snapshot);
    session->createPanel();
    session->control.panel.setTimerEnabled(true);
  }
  bool setUp() {
    settings.SetParam(machineContextOf(machine, link, st, true));
    st.pos0 = {2000, 2000, 6000};
    setWorkZeroXY(connection->ops());
    setWorkZeroZ(connection->ops());
    return true;
  }
  // The programs' timer: one event, then the loop's interval (at most 10 ms).
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < end) {
      session->timerEvent();
      std::this_thread::sleep_for(
          std::min(std::chrono::milliseconds(10), std::chrono::milliseconds(session->interval())));
    }
    return done();
  }
  std::string firstMessage() const { return boxes.messages().empty() ? "" : boxes.messages()[0].text; }
};

}  // namespace trazvik::control_test
