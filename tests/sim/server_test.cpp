// The controller's network module, in-process on free loopback ports, seen
// through the tests' own link client: echoes, identity, status layouts,
// a streamed job with flow control, reply faults and many connections.
#include "link_test_client.h"
#include "sim_server.h"
#include "sim_test_support.h"

#include "link/status_decode.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace trazvik::sim::test {
namespace {

class SimServerTest : public ::testing::Test {
 protected:
  SimConfig config;
  std::shared_ptr<SimController> controller;
  std::unique_ptr<SimServer> server;
  LinkTestClient client;

  void start(SimMachine machine = yfb32()) {
    controller = std::make_shared<SimController>(config, machine);
    server = std::make_unique<SimServer>(controller, ServerPorts{"127.0.0.1", 0, 0});
    server->start();
    ASSERT_NE(server->commandPort(), 0);
    ASSERT_TRUE(client.connect(server->commandPort()));
  }
  tplotstate decode(const Bytes& reply) {
    tplotstate st;
    tLinkState link = controller->machine().link;
    decodeEthernetStatus(reply, controller->layout(), st, link);
    return st;
  }
  void TearDown() override {
    client.close();
    if (server) server->stop();
  }
};

TEST_F(SimServerTest, EveryCommandIsEchoedWithItsOpcodeInUpperCase) {
  start();
  const std::vector<Bytes> commands{slot('v', 1, yfbCode5000),
                                    Bytes{'f', 1},
                                    wideMove('a', 100, -200, 0, 2),
                                    record("sLS"),
                                    Bytes{'F', 2},
                                    Bytes{'R', 1, 0x82},
                                    record("S3v", {4}),
                                    Bytes{'X'}};
  for (const Bytes& c : commands) EXPECT_EQ(client.command(c), 0) << std::string(c.begin(), c.begin() + 1);
  // The client's check is real: a lower-case echo would fail it.
  const Bytes raw = client.exchange(Bytes{'v', 0, 1, 2, 3, 4}, 128);
  EXPECT_EQ(raw, (Bytes{'V', 0, 1, 2, 3, 4}));
}

TEST_F(SimServerTest, IdentityPageCarriesMakerProductSerialAndVersion) {
  config.product = "YFB 32";
  config.serial = "23100917";
  start();
  const IdentityReply id = readIdentity(server->identityPort());
  ASSERT_TRUE(id.received);
  EXPECT_EQ(id.info0, "DORNELIS");
  EXPECT_EQ(id.info1, "YFB 32  ");
  EXPECT_EQ(id.info2, "23100917");
  EXPECT_EQ(id.protocolLevel, 7);
  EXPECT_EQ(id.firmwareMinor, 20);
}

// The zero point sits 12 bytes further from firmware 7.20, 8 from 7.0, 0 below.
TEST_F(SimServerTest, StatusReplyIsLaidOutForTheFirmware) {
  struct Case {
    int level, minor;
    std::size_t size, zeroAt;
  };
  for (const Case& c : {Case{7, 20, 118, 36}, Case{7, 5, 114, 32}, Case{6, 40, 106, 24}}) {
    SimMachine m = yfb32();
    m.link.protocolLevel = static_cast<std::uint16_t>(c.level);
    m.link.firmwareMinor = static_cast<std::uint16_t>(c.minor);
    m.model.commandLengths = tCommandLengths{};
    m.model.commandLengths.applyWideCommandSet();
    m.model.commandLengths.applyProtocolLevel(c.level);
    start(m);
    Bytes zero{'U'};
    putLe(zero, 123456, 4);
    putLe(zero, 654321, 4);
    ASSERT_EQ(client.command(zero), 0);
    ASSERT_EQ(client.command(Bytes{'R', 1, 1}), 0);
    const Bytes reply = client.status();
    ASSERT_EQ(reply.size(), c.size) << c.level << "." << c.minor;
    std::int32_t x = 0;
    std::memcpy(&x, &reply[c.zeroAt], 4);
    EXPECT_EQ(x, 123456);
    const tplotstate st = decode(reply);
    EXPECT_DOUBLE_EQ(st.pos0.y, 65432.1);
    EXPECT_TRUE(st.bit(stateBit::toolOn));
    EXPECT_EQ(st.PowerMaska & 0x01, 0x01);
    client.close();
    server->stop();
  }
}

// Sends a job the way the workstation's transfer does: commands one by one,
// nothing while bit 9 is set, "G" after the seventeenth.
TEST_F(SimServerTest, StreamedJobRunsToItsEndWithBitOneSetMeanwhile) {
  config.bufferBytes = 600;
  config.bufferHeadroom = 1600;
  config.timeScale = 50;
  start();
  std::vector<Bytes> job{slot('v', 0, yfbCode5000), slot('v', 1, yfbCode5000), Bytes{'f', 1}, Bytes{'r', 1, 1}};
  for (int i = 0; i < 100; ++i) job.push_back(wideMove('a', (i % 2 ? -1 : 1) * 20000, 1000, 0, 2));
  job.push_back(Bytes{'r', 0, 1});
  job.push_back(record("SE"));

  std::size_t sent = 0, waits = 0;
  bool sawRunning = false, sawFull = false;
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (sent < job.size() && std::chrono::steady_clock::now() < deadline) {
    const tplotstate st = decode(client.status());
    sawRunning = sawRunning || st.bit(stateBit::jobRunning);
    if (st.bit(stateBit::bufferFull)) {
      sawFull = true;
      ++waits;
      std::this_thread::sleep_for(10ms);
      continue;
    }
    for (int n = 0; n < 100 && sent < job.size(); ++n) {
      ASSERT_EQ(client.command(job[sent]), 0);
      if (++sent == 17) {
        ASSERT_EQ(client.command(Bytes{'G'}), 0);
      }
    }
  }
  ASSERT_EQ(sent, job.size());
  EXPECT_TRUE(sawFull) << "the small buffer must have pushed back";
  bool running = true;
  while (running && std::chrono::steady_clock::now() < deadline) {
    const tplotstate st = decode(client.status());
    running = st.bit(stateBit::jobRunning);
    sawRunning = sawRunning || running;
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_FALSE(running) << "the job did not end in time";
  EXPECT_TRUE(sawRunning);
  const SimCounters counters = controller->counters();
  EXPECT_EQ(counters.droppedJobCommands, 0u);
  EXPECT_EQ(counters.jobExecuted, job.size());
  const tplotstate st = decode(client.status());
  EXPECT_EQ(st.realpos.y, 100000);
  EXPECT_NEAR(controller->trace().pathLength(true), 100 * std::hypot(20.0, 1.0), 1e-6);
}

TEST_F(SimServerTest, ReplyFaultsAreWhatTheLinkChecksCatch) {
  start();
  ReplyFaults f;
  f.wrongEchoes = 2;
  controller->setReplyFaults(f);
  EXPECT_EQ(client.command(Bytes{'f', 1}), 103) << "lower-case opcode echoed as it was";
  EXPECT_EQ(client.command(Bytes{'F', 1}), 103);
  EXPECT_EQ(client.command(Bytes{'F', 1}), 0) << "the count is used up";

  f = {};
  f.splitEchoes = 1;
  controller->setReplyFaults(f);
  EXPECT_EQ(client.command(slot('V', 2, 100)), 102);
  client.receive(128, 200ms);  // the late rest of the split echo
  EXPECT_EQ(client.command(Bytes{'F', 1}), 0);

  f = {};
  f.shortStatus = 1;
  f.shortStatusLength = 20;
  f.garbageStatus = 0;
  controller->setReplyFaults(f);
  EXPECT_EQ(client.status().size(), 20u);
  EXPECT_EQ(client.status().size(), 118u);

  f = {};
  f.garbageStatus = 1;
  controller->setReplyFaults(f);
  const Bytes noise = client.status();
  const Bytes good = client.status();
  ASSERT_EQ(noise.size(), good.size());
  EXPECT_NE(noise, good);
}

TEST_F(SimServerTest, DropAndStallCutTheLinkAndAReconnectWorks) {
  start();
  controller->schedule({FaultAction::dropLink, 1, 3});
  EXPECT_EQ(client.command(Bytes{'F', 1}), 0);
  EXPECT_EQ(client.command(Bytes{'F', 1}), 0);
  EXPECT_EQ(client.command(Bytes{'F', 1}), 0) << "the third command is still answered";
  EXPECT_TRUE(client.peerClosed(1s));
  ASSERT_TRUE(client.connect(server->commandPort()));
  EXPECT_EQ(client.command(Bytes{'F', 1}), 0);

  controller->setStalled(true);
  client.replyTimeout = 200ms;
  EXPECT_EQ(client.command(Bytes{'F', 1}), 101);
  EXPECT_TRUE(client.status().empty());
  controller->setStalled(false);
  EXPECT_EQ(client.command(Bytes{'F', 2}), 0);
}

TEST_F(SimServerTest, ManyConnectAndDisconnectCyclesAreServed) {
  start();
  client.close();
  for (int i = 0; i < 200; ++i) {
    LinkTestClient c;
    ASSERT_TRUE(c.connect(server->commandPort())) << i;
    ASSERT_EQ(c.command(Bytes{'F', static_cast<std::uint8_t>(i % 6)}), 0) << i;
    if (i % 3 == 0) {
      ASSERT_EQ(c.status().size(), 118u);
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (server->connectionCount() != 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(5ms);
  EXPECT_EQ(server->connectionCount(), 0u);
  EXPECT_EQ(controller->machineState().selectedSpeedSlot, 199 % 6);
}

}  // namespace
}  // namespace trazvik::sim::test
