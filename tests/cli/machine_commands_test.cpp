// trazvik-cli status, home, move and send against the real trazvik-sim
// program over TCP on 127.0.0.1, the in-process simulated controller, and
// the errors of unknown machines, unreachable ports and silent controllers.
#include "run_cli.h"
#include "sim_process.h"

#include "../common/temp_folder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace trazvik::testing {
namespace {

using sim::test::SimProcess;

bool has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

// A loopback socket bound to a free port; listening or not.
class LoopbackSocket {
 public:
  explicit LoopbackSocket(bool listening) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    if (listening) ::listen(fd_, 4);
  }
  ~LoopbackSocket() { ::close(fd_); }
  std::uint16_t port() const { return port_; }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

class MachineCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    // The single-instance lock of these runs lives in this test's folder.
    ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
  }
  CliRun cli(const std::string& arguments) {
    return runCli(arguments + " --data-dir '" + (folder / "data").string() + "'", true);
  }
  std::string tcp(const SimProcess& sim) {
    return "tcp:127.0.0.1:" + std::to_string(sim.commandPort()) + ":" + std::to_string(sim.identityPort());
  }
  TempFolder folder;
};

TEST_F(MachineCommands, StatusOfTheSimulatorProgramOverTcp) {
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--type", "YFB 32", "--firmware", "7.20", "--area", "1300,2500,150"})) << sim.output();
  const CliRun run = cli("status --machine " + tcp(sim));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const char* line : {"identity: DORNELIS / YFB 32 / 24110153", "machine type: YFB 32", "firmware: 7.20",
                           "work area: 1300 x 2500 x 150 mm", "state: 0x0 idle", "position: X 0.00 Y 0.00 Z 0.00 mm",
                           "work zero: X 0.00 Y 0.00 Z 0.00 mm", "power slot: "})
    EXPECT_TRUE(has(run.output, line)) << line << "\n" << run.output;
}

TEST_F(MachineCommands, MoveHomeAndSendDriveTheSimulatorProgram) {
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--type", "YFB 32", "--firmware", "7.20", "--time-scale", "50"})) << sim.output();
  const std::string machine = " --machine " + tcp(sim);

  CliRun run = cli("move 30 40 -2" + machine);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run.output, "position: X 30.00 Y 40.00 Z -2.00 mm")) << run.output;

  run = cli("move --relative 1.5 -10 0" + machine);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run.output, "position: X 31.50 Y 30.00 Z -2.00 mm")) << run.output;

  // A slot selection by hand shows in the status.
  run = cli("send '46 03'" + machine);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run.output, "sent 2 bytes, echo correct")) << run.output;
  run = cli("status" + machine);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run.output, "speed slot: 3")) << run.output;
  EXPECT_TRUE(has(run.output, "position: X 31.50 Y 30.00 Z -2.00 mm")) << run.output;

  run = cli("home" + machine);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run.output, "homed (xyz)")) << run.output;
  EXPECT_TRUE(has(run.output, "position: X 0.00 Y 0.00 Z 0.00 mm")) << run.output;
}

TEST_F(MachineCommands, InProcessSimulatedController) {
  CliRun run = cli("status --machine 'sim:YHB 32'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run.output, "machine: simulated YHB 32 (TCP 127.0.0.1:")) << run.output;
  EXPECT_TRUE(has(run.output, "machine type: YHB 32")) << run.output;
  EXPECT_TRUE(has(run.output, ", knife 0)")) << run.output;
  run = cli("move 10 5 0 --machine 'sim:YFB 32'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(has(run.output, "position: X 10.00 Y 5.00 Z 0.00 mm")) << run.output;
}

TEST_F(MachineCommands, ClearErrorsForBadMachinesAndBadCommands) {
  LoopbackSocket closed(false);
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--type", "YFB 32"})) << sim.output();
  struct Case {
    std::string arguments;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {"status --machine 'sim:ZZZ 99'", 4, "unknown machine type \"ZZZ 99\""},
      {"status --machine bogus", 2, "unknown machine \"bogus\""},
      {"status --machine tcp:127.0.0.1:0", 2, "\"0\" is not a port number"},
      {"status --machine tcp:127.0.0.1:" + std::to_string(closed.port()), 4,
       "cannot reach 127.0.0.1:" + std::to_string(closed.port()) + ": Connection refused"},
      {"send 5 --machine " + tcp(sim), 2, "an odd number of hexadecimal digits"},
      {"send 'zz' --machine " + tcp(sim), 2, "is not a hexadecimal digit"},
      {"send " + std::string(66, '4') + " --machine " + tcp(sim), 2, "a command is at most 32 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliRun run = cli(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_TRUE(has(run.output, c.message)) << run.output;
  }
}

TEST_F(MachineCommands, SilentControllerIsReportedWithinTheTimeOuts) {
  // Takes connections and never answers: neither the identity page nor a status.
  LoopbackSocket silent(true);
  const std::string port = std::to_string(silent.port());
  const auto start = std::chrono::steady_clock::now();
  const CliRun run = cli("status --machine tcp:127.0.0.1:" + port + ":" + port);
  EXPECT_EQ(run.exitCode, 4) << run.output;
  EXPECT_TRUE(has(run.output, "did not identify itself")) << run.output;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(12));
}

TEST_F(MachineCommands, MissingUsbControllerIsAClearError) {
  const CliRun run = cli("status --machine usb --switch \"OnlyMachine='no such machine'\"");
  EXPECT_EQ(run.exitCode, 4) << run.output;
  EXPECT_TRUE(has(run.output, "no USB controller named \"no such machine\" found")) << run.output;
}

}  // namespace
}  // namespace trazvik::testing
