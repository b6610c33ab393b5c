// What differs between machine kinds in the simulated controller: the knife
// axis, several heads, the laser beam and raster engraving.
#include "sim_test_support.h"

#include "link/status_decode.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace trazvik::sim::test {
namespace {

PortResponse send(SimController& ctl, const Bytes& c) { return ctl.onCommandData(1, c); }

TEST(SimMachineKinds, KnifeModeTurnsTheKnifeAxisInsteadOfZ) {
  SimMachine m = yfb32();
  m.model.machineParams.knifeAxis = 1;
  m.model.machineParams.knifeStepsPerTurn = 4000;
  SimController ctl(SimConfig{}, m);
  send(ctl, record("S3v", {4}));
  send(ctl, wideMove('A', 0, 0, -1000, 2));  // a quarter turn back
  ASSERT_TRUE(ctl.runUntilIdle(5s));
  tControllerReports r = ctl.reports();
  EXPECT_EQ(r.position[3], -1000);
  EXPECT_EQ(r.position[2], 0);
  EXPECT_EQ(r.selectedV, 4);
  send(ctl, record("S3v", {0}));
  send(ctl, wideMove('A', 0, 0, -1000, 2));
  ASSERT_TRUE(ctl.runUntilIdle(5s));
  r = ctl.reports();
  EXPECT_EQ(r.position[2], -1000);
  EXPECT_EQ(r.position[3], -1000);
  // The workstation reads V from report 10 on knife machines.
  tplotstate st;
  decodePositionReport(ctl.usbReport(10), ctl.layout(), st);
  EXPECT_EQ(st.realpos.v, -1000);
}

TEST(SimMachineKinds, EachHeadHasItsZAndItsZeroAndTheStatusNamesTheActiveOne) {
  SimMachine m = yfb32();
  m.model.machineParams.headCount = 3;
  SimController ctl(SimConfig{}, m);
  Bytes sn{'S', 'N'};
  putLe(sn, 1, 4);
  putLe(sn, 2500, 4);
  send(ctl, sn);
  send(ctl, record("S3z", {2}));  // head 2 (index 1)
  send(ctl, Bytes{'R', 1, 0xA0});
  send(ctl, wideMove('A', 0, 0, -3000, 2));
  ASSERT_TRUE(ctl.runUntilIdle(5s));
  const tControllerReports r = ctl.reports();
  EXPECT_EQ(r.headMask, 2u);
  EXPECT_EQ(r.position[2], -3000);
  EXPECT_TRUE(ctl.machineState().headEngaged[1]);
  tplotstate st;
  tLinkState link = ctl.machine().link;
  decodeEthernetStatus(send(ctl, bytesOf("SX")).pieces.at(0).data, ctl.layout(), st, link);
  EXPECT_EQ(st.selectedZ, 1);
  decodeHeadZerosReport(ctl.usbReport(21), ctl.layout(), st);
  EXPECT_DOUBLE_EQ(st.pos0Z123[1], 250);
  send(ctl, record("S3z", {1}));
  EXPECT_EQ(ctl.reports().position[2], 0) << "head 1 never moved";
}

TEST(SimMachineKinds, ToolIsOnForEitherToolOutputOrTheLaserBeam) {
  struct Case {
    Bytes on, off;
  };
  const Case cases[] = {{Bytes{'R', 1, 0x01}, Bytes{'R', 0, 0x01}},
                        {Bytes{'R', 1, 0x02}, Bytes{'R', 0, 0x02}},
                        {record("SLS"), record("SLC")},
                        {Bytes{'r', 1, 0x03}, Bytes{'r', 0, 0x03}}};
  for (const Case& c : cases) {
    SimController ctl(SimConfig{}, yfb32());
    const bool job = c.on[0] == 'r';
    send(ctl, c.on);
    send(ctl, wideMove(job ? 'a' : 'A', 1000, 0, 0, 2));
    send(ctl, c.off);
    send(ctl, wideMove(job ? 'a' : 'A', 1000, 0, 0, 2));
    if (job) {
      send(ctl, record("SE"));
      send(ctl, Bytes{'G'});
    }
    ASSERT_TRUE(ctl.runUntilIdle(5s));
    const ToolTrace t = ctl.trace();
    ASSERT_EQ(t.size(), 2u) << std::string(c.on.begin(), c.on.begin() + 3);
    EXPECT_TRUE(t.segments()[0].toolOn);
    EXPECT_FALSE(t.segments()[1].toolOn);
    EXPECT_FALSE(ctl.stateBit(stateBit::toolOn));
  }
}

TEST(SimMachineKinds, RasterBitCoversEngravingAndPixelPacketsAreNoCommands) {
  SimController ctl(SimConfig{}, yfb32());
  send(ctl, bytesOf("SBB"));
  EXPECT_TRUE(ctl.stateBit(stateBit::rasterEngraving));
  Bytes sbd = bytesOf("SBD");
  putLe(sbd, 2, 4);
  send(ctl, sbd);
  // Two packets of pixels, one of which happens to start like a command.
  const PortResponse r = send(ctl, Bytes{'C', 200, 17, 0});
  ASSERT_EQ(r.pieces.size(), 1u);
  EXPECT_EQ(r.pieces[0].data, (Bytes{'C', 200, 17, 0}));
  send(ctl, Bytes{'B', 0x37, 9});
  EXPECT_FALSE(ctl.stateBit(stateBit::homing)) << "pixels must not home the machine";
  send(ctl, bytesOf("SBE"));
  EXPECT_FALSE(ctl.stateBit(stateBit::rasterEngraving));
  EXPECT_EQ(ctl.counters().unknownCommands, 0u);
}

TEST(SimMachineKinds, JobSpindleWaitRecordWaitsForTheRunUpInOrder) {
  SimController ctl(SimConfig{}, yfb32());
  send(ctl, Bytes{'r', 1, 0x01});
  send(ctl, record("sfw"));
  send(ctl, wideMove('a', 1000, 0, 0, 2, yfbCode5000));
  send(ctl, record("SE"));
  send(ctl, Bytes{'G'});
  ctl.advance(400ms);
  EXPECT_EQ(ctl.reports().position[0], 0) << "the move waits behind the run-up";
  ASSERT_TRUE(ctl.runUntilIdle(5s));
  EXPECT_EQ(ctl.reports().position[0], 1000);
  EXPECT_EQ(ctl.counters().unknownCommands, 0u);
  EXPECT_EQ(ctl.counters().jobsEnded, 1u);
}

TEST(SimMachineKinds, LaserCutsOnlyWhileTheBeamIsOnAndItsGateOpen) {
  SimMachine m = yfb32();
  m.model.machineParams.isLaser = 1;
  SimController ctl(SimConfig{}, m);
  send(ctl, Bytes{'r', 1, 0x01});  // gate open, beam still off
  send(ctl, wideMove('a', 1000, 0, 0, 2));
  send(ctl, record("sLS"));  // beam on: cuts
  send(ctl, wideMove('a', 0, 1000, 0, 2));
  send(ctl, record("sLC"));  // beam off, gate still open: runs out
  send(ctl, wideMove('a', -1000, 0, 0, 2));
  send(ctl, record("SE"));
  send(ctl, Bytes{'G'});
  ASSERT_TRUE(ctl.runUntilIdle(5s));
  const ToolTrace trace = ctl.trace();  // trace() gives a copy: keep it while its segments are read
  const auto& segs = trace.segments();
  ASSERT_EQ(segs.size(), 3u);
  EXPECT_FALSE(segs[0].toolOn);
  EXPECT_TRUE(segs[1].toolOn);
  EXPECT_FALSE(segs[2].toolOn) << "the run-out after the beam went off burns nothing";
  EXPECT_NEAR(ctl.trace().pathLength(true), 1.0, 1e-9);
}

}  // namespace
}  // namespace trazvik::sim::test
