// The Ethernet link against the simulated controller's TCP server on
// 127.0.0.1: echo checks, status and identity exchanges, connection events
// handed to the interface thread, and the watchdog's reconnection.
#include "link/ethernet.h"
#include "link/ethernet_watchdog.h"
#include "machine/state_bits.h"

#include "identity.h"
#include "sim_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

using namespace std::chrono_literals;

namespace trazvik {
namespace {

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A port on loopback nobody listens on.
std::uint16_t closedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(fd);
  return ntohs(a.sin_port);
}

TEST(EthernetIdentity, ParsesFieldsAndVersion) {
  sim::IdentityFields f{"DORNELIS", "YFB 32", "24110153", 7, 20};
  const tEthernetIdentity id = parseEthernetIdentity(sim::identityPage(f));
  EXPECT_EQ(id.info0, "DORNELIS");
  EXPECT_EQ(id.info1, "YFB 32  ");
  EXPECT_EQ(id.info2, "24110153");
  EXPECT_EQ(id.protocolLevel, 7);
  EXPECT_EQ(id.firmwareMinor, 20);
}

TEST(EthernetIdentity, BadVersionsAndShortRepliesGiveEmptyValues) {
  struct Case {
    std::string reply;
    std::uint16_t level, minor;
    bool product;
  };
  const std::string head = "xxDORNELIS" + std::string(13, '.') + "ABC 12  " + std::string(13, '.') + "12345678";
  const Case cases[] = {
      {head + " ver 6.5x", 0, 0, true},                                          // last place not a digit
      {head + " ver 9.12", 9, 12, true},       {head + " ver 9.1", 0, 0, true},  // text ends inside the version
      {"DORNELIS ver 7.20", 7, 20, false},                                       // product field beyond the reply
      {"no maker here ver 7.05", 7, 5, false}, {"", 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    const tEthernetIdentity id = parseEthernetIdentity(bytesOf(c.reply));
    EXPECT_EQ(id.protocolLevel, c.level);
    EXPECT_EQ(id.firmwareMinor, c.minor);
    EXPECT_EQ(id.info1, c.product ? "ABC 12  " : "");
  }
  // A zero byte ends the text: a version after it is not seen.
  Bytes withZero = bytesOf(head);
  withZero.push_back(0);
  for (char ch : std::string(" ver 7.20")) withZero.push_back(static_cast<std::uint8_t>(ch));
  EXPECT_EQ(parseEthernetIdentity(withZero).protocolLevel, 0);
}

TEST(EthernetEcho, FirstLowerCaseLetterTurnsUpper) {
  EXPECT_EQ(expectedEcho(Bytes{'v', 'a', 'b'}), (Bytes{'V', 'a', 'b'}));
  EXPECT_EQ(expectedEcho(Bytes{'Z', 'a'}), (Bytes{'Z', 'a'}));
  EXPECT_EQ(expectedEcho(Bytes{0xE0, 'a'}), (Bytes{0xE0, 'a'}));  // not ASCII
  EXPECT_TRUE(expectedEcho(Bytes{}).empty());
}

class EthernetLink : public ::testing::Test {
 protected:
  std::shared_ptr<sim::SimController> controller;
  std::unique_ptr<sim::SimServer> server;
  tMachineState state;
  tLinkState& link = state.link;
  tplotstate& st = state.status;
  tMachineModel& machine = state.model;
  tInterfaceQueue queue;
  std::unique_ptr<TfEthernet> ethernet;
  std::vector<std::string> texts;

  void SetUp() override {
    sim::SimConfig config;
    sim::SimMachine m;
    m.model = machineModelFor(paddedProductString(config.product, 8), 7, 20, 0, m.link);
    controller = std::make_shared<sim::SimController>(config, m);
    server = std::make_unique<sim::SimServer>(controller, sim::ServerPorts{"127.0.0.1", 0, 0});
    server->start();
    ethernet = std::make_unique<TfEthernet>(state, queue);
    ethernet->setAddress("127.0.0.1", server->commandPort(), server->identityPort());
    ethernet->setTimeouts({3000ms, 300ms});
    ethernet->setStatusText(
        [this](const std::string& section, const std::string& key) { texts.push_back(section + "/" + key); });
  }
  void TearDown() override {
    ethernet.reset();
    server->stop();
  }

  // Runs the interface thread's queue until the link is active (bounded).
  bool waitActive(bool active) {
    for (int i = 0; i < 60 && link.ethernetActive != active; ++i) queue.waitAndRun(50ms);
    return link.ethernetActive == active;
  }
  void connect() {
    ASSERT_EQ(ethernet->connectCommand(), 0);
    ASSERT_TRUE(waitActive(true));
  }
};

TEST_F(EthernetLink, ConnectRunsIdentityOnTheInterfaceThread) {
  ASSERT_EQ(ethernet->connectCommand(), 0);
  // Nothing changes before the interface thread runs the event.
  EXPECT_FALSE(link.ethernetActive);
  EXPECT_TRUE(st.info1.empty());
  ASSERT_TRUE(waitActive(true));
  EXPECT_EQ(st.info0, "DORNELIS");
  EXPECT_EQ(st.info1, "YFB 32  ");
  EXPECT_EQ(st.info2, "24110153");
  EXPECT_EQ(link.protocolLevel, 7);
  EXPECT_EQ(link.firmwareMinor, 20);
  EXPECT_EQ(machine.machineType, "YFB 32");
  EXPECT_EQ(link.ethernetError, 0);
  EXPECT_EQ(texts, std::vector<std::string>{"Ethernet_communication/msgEthernetPodlaczony"});
  // The connect ran one status exchange.
  EXPECT_EQ(controller->counters().statusReplies, 1u);
}

TEST_F(EthernetLink, EchoChecksGiveTheirErrors) {
  connect();
  const Bytes slot{'v', 0, 0x88, 0x13, 0, 0};
  struct Case {
    const char* name;
    sim::ReplyFaults faults;
    int error;
  };
  sim::ReplyFaults wrong, split;
  wrong.wrongEchoes = 1;
  split.splitEchoes = 1;
  const Case cases[] = {{"good", {}, 0}, {"lower-case opcode kept", wrong, 103}, {"split echo", split, 102}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    controller->setReplyFaults(c.faults);
    link.ethernetError = -1;
    ethernet->Write(slot);
    EXPECT_EQ(link.ethernetError, c.error);
    // Let the rest of a split echo arrive and be read away.
    std::this_thread::sleep_for(100ms);
    if (c.error == 102) ethernet->exchange(Bytes{'S', 'X'});
  }
  EXPECT_TRUE(link.ethernetActive);
}

TEST_F(EthernetLink, OverlongCommandIsRefusedAndNothingIsSent) {
  connect();
  const auto before = controller->counters().commands;
  Bytes command(129, 0);
  command[0] = 'v';
  ethernet->Write(command);
  EXPECT_EQ(link.ethernetError, ethernet_errors::commandTooLong);
  EXPECT_EQ(controller->counters().commands, before);
  // The link stays usable for the next command.
  ethernet->Write(Bytes{'v', 0, 0x88, 0x13, 0, 0});
  EXPECT_EQ(link.ethernetError, 0);
  EXPECT_TRUE(link.ethernetActive);
}

TEST_F(EthernetLink, SilentControllerGivesNoEchoAndNoStatus) {
  connect();
  controller->setStalled(true);
  const auto start = std::chrono::steady_clock::now();
  ethernet->Write(Bytes{'v', 0, 0x88, 0x13, 0, 0});
  EXPECT_EQ(link.ethernetError, 101);
  EXPECT_FALSE(ethernet->GetStatus());
  EXPECT_EQ(link.ethernetError, 100);
  // Bounded by the receive time-out, not frozen.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_TRUE(link.ethernetActive);
}

TEST_F(EthernetLink, AControllerSilentForThreeExchangesInARowIsLost) {
  connect();
  texts.clear();
  // Answers in between start the count again.
  controller->setStalled(true);
  EXPECT_FALSE(ethernet->GetStatus());
  EXPECT_FALSE(ethernet->GetStatus());
  controller->setStalled(false);
  EXPECT_TRUE(ethernet->GetStatus());
  controller->setStalled(true);
  EXPECT_FALSE(ethernet->GetStatus());
  EXPECT_FALSE(ethernet->GetStatus());
  EXPECT_TRUE(link.ethernetActive) << "two silent exchanges are not yet a lost controller";
  EXPECT_TRUE(texts.empty());
  ethernet->Write(Bytes{'v', 0, 0x88, 0x13, 0, 0});
  EXPECT_FALSE(link.ethernetActive);
  EXPECT_FALSE(ethernet->commandConnected());
  EXPECT_EQ(texts, std::vector<std::string>{"Ethernet_communication/msgEthernetRozlaczony"});

  // A connection it takes but does not answer on is no link: the
  // connection is closed again and the watchdog's next try decides.
  ASSERT_EQ(ethernet->connectCommand(), 0);
  queue.waitAndRun(50ms);
  for (int i = 0; i < 40 && ethernet->commandConnected(); ++i) queue.waitAndRun(50ms);
  EXPECT_FALSE(link.ethernetActive);
  EXPECT_FALSE(ethernet->commandConnected());
  EXPECT_EQ(link.ethernetError, ethernet_errors::noStatus);

  // When it answers again the watchdog's connection brings it back.
  controller->setStalled(false);
  connect();
  EXPECT_TRUE(ethernet->GetStatus());
}

TEST_F(EthernetLink, StatusFollowsTheController) {
  connect();
  controller->press(sim::Button::stop);
  ASSERT_TRUE(ethernet->GetStatus());
  EXPECT_TRUE(st.bit(stateBit::stopRequest));
  EXPECT_EQ(link.ethernetError, 0);
}

TEST_F(EthernetLink, LostLinkIsReconnectedByTheWatchdog) {
  tEthernetCzuwanie watchdog(*ethernet);
  watchdog.Resume();
  ASSERT_TRUE(waitActive(true));
  texts.clear();

  controller->dropLink();
  ethernet->Write(Bytes{'v', 0, 0x88, 0x13, 0, 0});
  // The connection closes after the echo; the next exchange finds it closed.
  for (int i = 0; i < 20 && link.ethernetActive; ++i) {
    std::this_thread::sleep_for(20ms);
    ethernet->GetStatus();
  }
  EXPECT_FALSE(link.ethernetActive);
  EXPECT_FALSE(ethernet->commandConnected());
  EXPECT_EQ(texts, std::vector<std::string>{"Ethernet_communication/msgEthernetRozlaczony"});

  // The panel's tick resumes the watchdog while the link is down.
  watchdog.Resume();
  ASSERT_TRUE(waitActive(true));
  EXPECT_EQ(link.ethernetError, 0);
  EXPECT_EQ(watchdog.attempts(), 2);
  ethernet->Write(Bytes{'v', 0, 0x88, 0x13, 0, 0});
  EXPECT_EQ(link.ethernetError, 0);

  // Resuming while connected makes no attempt.
  watchdog.Resume();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(watchdog.attempts(), 2);
}

TEST_F(EthernetLink, RefusedConnectIsAnErrorEventAndTheWatchdogEndsCleanly) {
  ethernet->setAddress("127.0.0.1", closedPort(), closedPort());
  tEthernetCzuwanie watchdog(*ethernet);
  watchdog.Resume();
  for (int i = 0; i < 40 && link.ethernetError == 0; ++i) queue.waitAndRun(50ms);
  EXPECT_EQ(link.ethernetError, ECONNREFUSED);
  EXPECT_FALSE(link.ethernetActive);
  const auto start = std::chrono::steady_clock::now();
  watchdog.Terminate();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST_F(EthernetLink, MissingIdentityPageGives103) {
  ethernet->setAddress("127.0.0.1", server->commandPort(), closedPort());
  ASSERT_EQ(ethernet->connectCommand(), 0);
  queue.waitAndRun(1000ms);
  // The connect event still makes the link active (its error is then cleared),
  // but the controller stays unidentified.
  EXPECT_TRUE(st.info1.empty());
  EXPECT_EQ(link.protocolLevel, 0);
  EXPECT_TRUE(link.ethernetActive);
}

}  // namespace
}  // namespace trazvik
