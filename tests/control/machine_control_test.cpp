// The control side wired over the machine connection the programs use: the
// connection's watchdog brings the Ethernet link up, the panel's timer
// streams a job to its end, and a dropped link comes back through the same
// watchdog (the panel makes none of its own).
#include "control/machine_control.h"

#include "base/version_text.h"
#include "control_rig.h"
#include "machine/state_bits.h"

#include <gtest/gtest.h>

#include <thread>

#include <unistd.h>

using namespace std::chrono_literals;

namespace trazvik::control_test {
namespace {

TEST(MachineControl, ConnectionWatchdogPanelAndTransferTogether) {
  sim::SimConfig config;
  config.timeScale = 1000;
  auto controller = std::make_shared<sim::SimController>(config);
  sim::SimServer server(controller, sim::ServerPorts{"127.0.0.1", 0, 0});
  server.start();
  const auto dir = std::filesystem::temp_directory_path() / ("trazvik_machine_control_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);

  tMachineState state;
  tLinkState& link = state.link;
  tMachineModel& machine = state.model;
  texts::RecordingMessageBoxes boxes;
  texts::tInterfejs texts(boxes);
  texts.loadLanguageFile(std::string(TRAZVIK_SOURCE_DIR) + "/lang/", "US", base::programMajorMinorVersion());
  {
    tMachineConnection connection(state, nullptr);
    connection.FormCreate(localConnectionOptions(server.commandPort(), server.identityPort()));
    tMachineControl control(connection, texts, dir.string() + "/");
    std::vector<tControlEvent> events;
    control.context.onEvent = [&](const tControlEvent& e) { events.push_back(e); };
    control.context.settings.ethernetConnection = true;
    control.panel.FormCreate(base::StartupSwitches{});
    auto runUntil = [&](const std::function<bool()>& done, std::chrono::milliseconds timeout) {
      const auto end = std::chrono::steady_clock::now() + timeout;
      while (!done() && std::chrono::steady_clock::now() < end) {
        control.timerEvent();
        std::this_thread::sleep_for(std::min(10ms, std::chrono::milliseconds(control.interval())));
      }
      return done();
    };
    ASSERT_TRUE(runUntil([&] { return link.ethernetActive; }, 5s)) << "the connection's watchdog did not connect";
    EXPECT_EQ(machine.machineType, "YFB 32");
    EXPECT_EQ(control.panel.watchdog(), connection.watchdog()) << "one watchdog for the link";

    const Bytes job = squareJob(machine, link, 50);
    std::ofstream(dir / jobFileName, std::ios::binary)
        .write(reinterpret_cast<const char*>(job.data()), static_cast<std::streamsize>(job.size()));
    ASSERT_TRUE(control.transfer.start());
    auto ended = [&] {
      return std::any_of(events.begin(), events.end(), [](auto& e) { return e.kind == tControlEventKind::jobEnded; });
    };
    ASSERT_TRUE(runUntil(ended, 20s));
    EXPECT_EQ(controller->counters().jobCommands,
              static_cast<std::uint64_t>(commandCount(job, machine.commandLengths)));

    controller->dropLink();
    ASSERT_TRUE(runUntil([&] { return !link.ethernetActive; }, 5s));
    ASSERT_TRUE(runUntil([&] { return link.ethernetActive; }, 5s)) << "no reconnection";
    connection.shutdown();
  }
  server.stop();
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace trazvik::control_test
