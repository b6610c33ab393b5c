// trazvik-sim as a program on loopback TCP, driven the way the workstation
// drives a controller: identity first, identification from the product
// string, then commands with echo checks, a job streamed with flow control,
// and status replies decoded for the firmware. Also fault options.
#include "link_test_client.h"
#include "sim_process.h"

#include "machine/commands_basic.h"
#include "machine/commands_move.h"
#include "machine/commands_records.h"
#include "machine/speed_code.h"
#include "machine/identify_machine.h"
#include "machine/state_bits.h"
#include "link/status_decode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <unistd.h>

using namespace std::chrono_literals;

namespace trazvik::sim::test {
namespace {

struct Identified {
  tMachineModel model;
  tLinkState link;
  tStatusLayout layout;
  tCommandSet set;
};

Identified identify(const IdentityReply& id) {
  Identified m;
  tplotstate st;
  st.info1 = id.info1;
  m.link.protocolLevel = static_cast<std::uint16_t>(id.protocolLevel);
  m.link.firmwareMinor = static_cast<std::uint16_t>(id.firmwareMinor);
  identifyMachine(m.model, m.link, st, tIdentifyEnvironment{});
  m.layout = statusLayoutOf(m.model, m.link);
  m.set = commandSetOf(m.model, m.link);
  return m;
}

// A 40 mm square cut 30 times at 20, 20 mm, as a job file holds it.
Bytes squareJob(const Identified& m) {
  const int mult = m.model.machineParams.speedMultiplier;
  Bytes job;
  auto add = [&job](const Bytes& b) { job.insert(job.end(), b.begin(), b.end()); };
  add(loadSlotCommand(0, speedCode(3000, m.set), m.set));
  add(loadSlotCommand(1, speedCode(1500, m.set), m.set));
  add(selectSlotCommand(0));
  tJobPosition pos;
  add(moveToPoint(pos, 20, 20, 0, kNoSpeedCode, m.set, mult));
  add(outputsCommand(1, 0x01));
  add(selectSlotCommand(1));
  add(moveToPoint(pos, 20, 20, -2, kNoSpeedCode, m.set, mult));
  for (int lap = 0; lap < 30; ++lap) {
    add(moveToPoint(pos, 60, 20, -2, kNoSpeedCode, m.set, mult));
    add(moveToPoint(pos, 60, 60, -2, kNoSpeedCode, m.set, mult));
    add(moveToPoint(pos, 20, 60, -2, kNoSpeedCode, m.set, mult));
    add(moveToPoint(pos, 20, 20, -2, kNoSpeedCode, m.set, mult));
  }
  add(moveToPoint(pos, 20, 20, 0, kNoSpeedCode, m.set, mult));
  add(outputsCommand(0, 0x01));
  add(selectSlotCommand(0));
  add(moveToPoint(pos, 0, 0, 0, kNoSpeedCode, m.set, mult));
  add(selectSlotCommand(2));
  add(jobEndRecord());
  return job;
}

std::vector<Bytes> splitByLengthTable(const Bytes& job, const tCommandLengths& lengths) {
  std::vector<Bytes> out;
  for (std::size_t at = 0; at < job.size();) {
    const auto len = lengths.of(job[at]);
    if (!len || at + *len > job.size()) break;
    out.emplace_back(job.begin() + static_cast<std::ptrdiff_t>(at),
                     job.begin() + static_cast<std::ptrdiff_t>(at + *len));
    at += *len;
  }
  return out;
}

class SimProgramTest : public ::testing::Test {
 protected:
  SimProcess sim;
  LinkTestClient client;
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("trazvik_sim_e2e_" + std::to_string(::getpid()));

  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override {
    client.close();
    sim.stop();
    std::filesystem::remove_all(dir);
  }
  tplotstate status(const Identified& m) {
    tplotstate st;
    tLinkState link = m.link;
    EXPECT_TRUE(decodeEthernetStatus(client.status(), m.layout, st, link));
    return st;
  }
};

TEST_F(SimProgramTest, JobStreamedWithFlowControlRunsToItsEndAndLeavesItsTrace) {
  const auto trace = dir / "trace.svg";
  ASSERT_TRUE(sim.start(
      {"--type", "YFB 32", "--firmware", "7.20", "--time-scale", "200", "--buffer", "300", "--trace", trace.string()}))
      << sim.output();
  const IdentityReply id = readIdentity(sim.identityPort());
  ASSERT_TRUE(id.received);
  EXPECT_EQ(id.info0, "DORNELIS");
  EXPECT_EQ(id.info1, "YFB 32  ");
  EXPECT_EQ(id.protocolLevel, 7);
  EXPECT_EQ(id.firmwareMinor, 20);
  const Identified m = identify(id);
  ASSERT_EQ(m.model.machineType, "YFB 32");
  ASSERT_TRUE(m.set.wide);

  ASSERT_TRUE(client.connect(sim.commandPort()));
  const std::vector<Bytes> commands = splitByLengthTable(squareJob(m), m.model.commandLengths);
  ASSERT_GT(commands.size(), 100u);  // more than one tick's worth
  ASSERT_EQ(client.command(Bytes{'C'}), 0);

  // The transfer: at most 100 commands per tick, none while bit 9 is set,
  // "G" right after the seventeenth.
  std::size_t sent = 0;
  bool sawFull = false, sawRunning = false;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (sent < commands.size() && std::chrono::steady_clock::now() < deadline) {
    const tplotstate st = status(m);
    sawRunning = sawRunning || st.bit(stateBit::jobRunning);
    if (st.bit(stateBit::bufferFull)) {
      sawFull = true;
      std::this_thread::sleep_for(10ms);
      continue;
    }
    for (int n = 0; n < 100 && sent < commands.size(); ++n) {
      ASSERT_EQ(client.command(commands[sent]), 0) << "command " << sent;
      if (++sent == 17) {
        ASSERT_EQ(client.command(Bytes{'G'}), 0);
      }
    }
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_EQ(sent, commands.size());
  EXPECT_TRUE(sawFull);
  tplotstate st = status(m);
  while (st.bit(stateBit::jobRunning) && std::chrono::steady_clock::now() < deadline) {
    sawRunning = true;
    EXPECT_FALSE(st.bit(stateBit::heldForEmptyBuffer) && sent < commands.size());
    std::this_thread::sleep_for(20ms);
    st = status(m);
  }
  EXPECT_TRUE(sawRunning);
  EXPECT_FALSE(st.bit(stateBit::jobRunning)) << "the job did not end in time";
  EXPECT_TRUE(st.bit(stateBit::jobStored));
  EXPECT_FALSE(st.bit(stateBit::toolOn));
  EXPECT_EQ(st.realpos.x, 0);
  EXPECT_EQ(st.realpos.y, 0);
  EXPECT_EQ(st.sel_speed, 2);

  client.close();
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_NE(sim.output().find("1 jobs ended"), std::string::npos) << sim.output();
  std::ifstream in(trace);
  std::stringstream svg;
  svg << in.rdbuf();
  // The square's first side, cut with the tool on.
  EXPECT_NE(svg.str().find("x1=\"20.000\" y1=\"20.000\" x2=\"60.000\" y2=\"20.000\" class=\"cut\""), std::string::npos)
      << svg.str();
}

TEST_F(SimProgramTest, FaultOptionsShowOnTheLink) {
  ASSERT_TRUE(sim.start({"--type", "YFB 32", "--firmware", "7.20", "--fault", "wrong-echo@2", "--fault", "stop@3",
                         "--fault", "driver-error=X,Z@3", "--fault", "drop@5"}))
      << sim.output();
  const Identified m = identify(readIdentity(sim.identityPort()));
  ASSERT_TRUE(client.connect(sim.commandPort()));
  EXPECT_EQ(client.command(Bytes{'F', 1}), 0);
  EXPECT_EQ(client.command(Bytes{'f', 1}), 103);
  EXPECT_EQ(client.command(Bytes{'F', 2}), 0);
  tplotstate st = status(m);
  EXPECT_TRUE(st.bit(stateBit::stopRequest));
  EXPECT_TRUE(st.bit(stateBit::axisDriverError));
  EXPECT_FALSE(status(m).bit(stateBit::stopRequest)) << "a press is reported once";
  EXPECT_EQ(client.command(Bytes{'F', 2}), 0);
  EXPECT_EQ(client.command(Bytes{'F', 2}), 0);
  EXPECT_TRUE(client.peerClosed(2s));
  ASSERT_TRUE(client.connect(sim.commandPort()));
  EXPECT_EQ(client.command(Bytes{'F', 0}), 0);
}

TEST_F(SimProgramTest, BadOptionsEndWithAClearMessage) {
  EXPECT_FALSE(sim.start({"--type", "ZZZ"}));
  EXPECT_NE(sim.output().find("unknown machine type \"ZZZ\""), std::string::npos) << sim.output();
  SimProcess other;
  EXPECT_FALSE(other.start({"--fault", "explode"}));
  EXPECT_NE(other.output().find("unknown fault \"explode\""), std::string::npos) << other.output();
}

}  // namespace
}  // namespace trazvik::sim::test
