#include "link/status_operations.h"

#include "machine/identify_machine.h"
#include "link/status_encode.h"
#include "link/status_layout.h"

#include <gtest/gtest.h>

#include <deque>

namespace trazvik {
namespace {

// A controller behind the channel: its reports come from the encoders; a
// script of state words is played one per status read.
class FakeChannel : public tStatusChannel {
 public:
  FakeChannel(Kind kind, const tStatusLayout& layout) : kind_(kind), layout_(layout) {}

  Kind kind() const override { return kind_; }
  std::optional<Bytes> usbReport(int n) override {
    reads.push_back(n);
    if (failAll) return std::nullopt;
    if (n == 10) nextState();
    return encodeUsbReport(n, controller, layout_);
  }
  std::optional<std::array<std::string, 3>> usbIdentity() override {
    return std::array<std::string, 3>{"Maker", "YFB 32  ", "2024-0042"};
  }
  Bytes exchange(ByteSpan command) override {
    exchanges.emplace_back(command.begin(), command.end());
    if (failAll || (dropAfter && exchanges.size() > *dropAfter)) return {};
    nextState();
    return encodeEthernetStatus(controller, layout_);
  }
  Bytes legacyQuery(ByteSpan query, std::size_t replyBytes) override {
    exchanges.emplace_back(query.begin(), query.end());
    if (failAll) return {};
    if (query[0] == 'X') {
      nextState();
      return Bytes{static_cast<std::uint8_t>(controller.stateWord)};
    }
    return Bytes(replyBytes, 1);
  }
  void sleep(std::chrono::milliseconds) override { ++sleeps; }

  tControllerReports controller;
  std::deque<std::uint64_t> stateScript;
  std::vector<int> reads;
  std::vector<Bytes> exchanges;
  std::optional<std::size_t> dropAfter;
  bool failAll = false;
  int sleeps = 0;

 private:
  void nextState() {
    if (stateScript.empty()) return;
    controller.stateWord = stateScript.front();
    stateScript.pop_front();
  }

  Kind kind_;
  tStatusLayout layout_;
};

struct Machine {
  tMachineState state;
  tLinkState& link = state.link;
  tMachineModel& model = state.model;
  tplotstate& st = state.status;
  explicit Machine(const char* product, int level = 7, int minor = 22) {
    model = machineModelFor(product, level, minor, 0, link);
  }
  tStatusLayout layout() const { return statusLayoutOf(model, link); }
};

TEST(StatusOperations, ReadStateFollowsHomingOverUsb) {
  Machine m("YJB");  // three heads, standard layout
  FakeChannel ch(tStatusChannel::Kind::usb, m.layout());
  ch.controller.headMask = 6;
  ch.controller.powerMask = 0x40;
  ch.stateScript = {0x8, 0x9, 0x2};
  tStatusReader reader(ch, m.state);
  reader.readState();
  EXPECT_EQ(ch.reads, (std::vector<int>{10, 10, 10}));
  EXPECT_EQ(m.st.state, 0x2);
  EXPECT_EQ(m.st.selectedZ, 1);
  EXPECT_EQ(m.st.PowerMaska, 0x40);
  EXPECT_FALSE(reader.usbErrorFlag());

  ch.failAll = true;
  reader.readState();
  EXPECT_EQ(m.st.state, 0);  // a failed read counts as zeros
  EXPECT_TRUE(reader.usbErrorFlag());
}

TEST(StatusOperations, ExtendedLayoutReadsTheHeadReport) {
  Machine m("YNB 15");
  FakeChannel ch(tStatusChannel::Kind::usb, m.layout());
  ch.controller.stateWord = stateBit::mask(stateBit::inverterError);
  tStatusReader reader(ch, m.state);
  reader.readState();
  EXPECT_EQ(ch.reads, (std::vector<int>{10, 24}));
  EXPECT_TRUE(m.st.bit(stateBit::inverterError));
  ch.reads.clear();
  reader.readStateOnly();
  EXPECT_EQ(ch.reads, (std::vector<int>{10}));
}

TEST(StatusOperations, EthernetStopsRepeatingWhenTheLinkDrops) {
  Machine m("YFB 32", 7, 20);
  FakeChannel ch(tStatusChannel::Kind::ethernet, m.layout());
  ch.stateScript = {0x8, 0x8, 0x8};
  ch.dropAfter = 2;
  ch.controller.position = {100, 200, 300, 0};
  tStatusReader reader(ch, m.state);
  reader.readState();
  EXPECT_EQ(ch.exchanges.size(), 3u);
  EXPECT_EQ(ch.exchanges.front(), (Bytes{'S', 'X'}));
  EXPECT_EQ(m.link.ethernetError, 100);
  EXPECT_EQ(m.st.realpos.y, 200);
  EXPECT_FALSE(reader.lastReadAnswered());

  // Positions and speeds came with the reply; the reads only derive.
  ch.exchanges.clear();
  reader.readPositions();
  reader.readSpeeds();
  reader.readZeroPoint();
  EXPECT_TRUE(ch.exchanges.empty());
  EXPECT_DOUBLE_EQ(m.st.abspos.z, 30.0);
}

TEST(StatusOperations, WaitWhileBusyEndsWithMotionOrLink) {
  Machine m("YFB 32", 7, 20);
  FakeChannel ch(tStatusChannel::Kind::ethernet, m.layout());
  ch.stateScript = {0x1, 0x1, 0x9, 0x0};
  tStatusReader reader(ch, m.state);
  reader.waitWhileBusy();
  EXPECT_EQ(ch.exchanges.size(), 4u);
  EXPECT_EQ(ch.sleeps, 3);  // the homing re-read follows at once
  EXPECT_FALSE(m.st.bit(stateBit::motionRunning));

  FakeChannel down(tStatusChannel::Kind::ethernet, m.layout());
  down.stateScript = {0x1};
  down.dropAfter = 1;
  tStatusReader waiting(down, m.state);
  waiting.waitWhileBusy();  // must return although bit 0 is still set
  EXPECT_TRUE(m.st.bit(stateBit::motionRunning));
  EXPECT_EQ(down.exchanges.size(), 2u);
}

TEST(StatusOperations, MachineInformationOverUsb) {
  Machine m("WTK32", 7, 22);  // laser
  FakeChannel ch(tStatusChannel::Kind::usb, m.layout());
  ch.controller.workArea = {1300, 900, 0};
  ch.controller.laserFullPower = 1000;
  ch.controller.versionText = "CNCv   5.60";
  ch.controller.firmwareMajor = 7;
  ch.controller.firmwareMinor = 25;
  ch.controller.firmwareBuild = 3;
  tStatusReader reader(ch, m.state);
  base::StartupSwitches switches;
  switches.maxY = 800;
  reader.readMachineInfo(switches);
  EXPECT_EQ(m.st.info0, "Maker");
  EXPECT_EQ(m.st.info1, "YFB 32  ");
  EXPECT_EQ(m.link.workArea, (std::array<double, 3>{1300, 800, 0}));
  EXPECT_EQ(m.link.secondWorkArea, (std::array<double, 3>{1300, 900, 0}));
  EXPECT_EQ(m.link.controllerVersion, 560);
  EXPECT_EQ(firmwareVersionText(m.link), "7.25.3");
  EXPECT_EQ(m.link.laserFullPower, 1000);
  EXPECT_EQ(ch.reads, (std::vector<int>{14, 15, 19, 13}));

  ch.failAll = true;
  EXPECT_EQ(reader.readFirmwareVersion(), "0.0.0");
  reader.readCalibration();
  EXPECT_EQ(m.link.calibrationFactors, (std::array<float, 3>{1, 1, 1}));
  EXPECT_FALSE(reader.readTravelVariant().has_value());
}

TEST(StatusOperations, LegacyQueries) {
  Machine m("LFV", 5, 0);
  FakeChannel ch(tStatusChannel::Kind::legacy, m.layout());
  tStatusReader reader(ch, m.state);
  reader.readSpeeds();
  reader.readMachineInfo({});
  const std::vector<Bytes> expected = {{'I', 1}, {'I', 0}, {'I', 2}, {'I', 3}, {'I', 255},
                                       {'H', 0}, {'H', 1}, {'H', 2}, {'H', 4}, {'H', 3}};
  EXPECT_EQ(ch.exchanges, expected);
  EXPECT_EQ(m.st.info1, std::string(8, '\x01'));

  ch.failAll = true;
  m.st.state = 5;
  reader.readState();
  EXPECT_EQ(m.st.state, 0);  // a time-out reads as an idle machine
}

}  // namespace
}  // namespace trazvik
