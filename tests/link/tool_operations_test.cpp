// Tool, output, head and set-up commands against the simulated controller
// over TCP and USB: the bytes it receives and the state it keeps.
#include "ops_rig.h"

#include "link/head_operations.h"
#include "link/setup_operations.h"
#include "machine/state_bits.h"
#include "link/tool_operations.h"

#include "../common/temp_folder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>

namespace trazvik::test {
namespace {

class ToolOperations : public ::testing::TestWithParam<Transport> {};

Bytes le32(const std::string& head, std::int64_t v, std::size_t pad = 0) {
  Bytes b = bytesOf(head);
  appendLe(b, v, 4);
  if (pad) b.resize(pad, ' ');
  return b;
}

TEST_P(ToolOperations, OutputsPowersAndSetUpValuesArriveAsTheControllerExpects) {
  SimRig rig(GetParam());  // "YFB 32", firmware 7.20
  tMachineOps& ops = rig.ops();
  rig.st.sel_power = 1;
  struct Case {
    const char* name;
    std::function<void(tMachineOps&)> run;
    std::vector<Bytes> expected;
  };
  const float one = 1.0f;
  const auto oneBits = std::bit_cast<std::uint32_t>(one);
  auto parameterBytes = [](std::uint8_t code, std::uint32_t v) {
    std::vector<Bytes> out;
    for (std::uint8_t i = 0; i < 4; ++i)
      out.push_back(Bytes{'S', 0x0D, std::uint8_t(code + i), std::uint8_t(v >> (8 * i))});
    return out;
  };
  std::vector<Bytes> calibration;
  for (std::uint8_t code : {68, 72, 76})
    for (const Bytes& b : parameterBytes(code, code == 72 ? std::bit_cast<std::uint32_t>(0.5f) : oneBits))
      calibration.push_back(b);
  const Case cases[] = {
      {"spindle on", [](tMachineOps& o) { spindleOn(o); }, {{'R', 1, 1}}},
      {"spindle off", [](tMachineOps& o) { spindleOff(o); }, {{'R', 0, 1}}},
      {"dust extraction", [](tMachineOps& o) { dustExtraction(o, true); }, {{'R', 1, 0x81}}},
      {"vacuum pump off", [](tMachineOps& o) { vacuumPumpSwitch(o, false); }, {{'R', 0, 0x82}}},
      {"lubrication on clears its bits", [](tMachineOps& o) { lubrication(o, true); }, {{'R', 0, 0xC0}}},
      {"lubrication off", [](tMachineOps& o) { lubrication(o, false); }, {{'R', 1, 0xC0}}},
      {"spindle 24000 rpm", [](tMachineOps& o) { setSpindleSpeed(o, 24000); }, {{'T', 1, 180, 0, 0, 0}}},
      {"spindle 12345 rpm", [](tMachineOps& o) { setSpindleSpeed(o, 12345); }, {{'T', 1, 123, 0, 0, 0}}},
      {"power", [](tMachineOps& o) { setPower(o, 1, 4000); }, {{'T', 1, 0xA0, 0x0F, 0, 0}}},
      {"laser pulse", [](tMachineOps& o) { laserPulse(o, 3); }, {le32("SLT", 3, 16), record16Of("SLP")}},
      {"pulse time", [](tMachineOps& o) { setLaserPulseTime(o, 65000); }, {le32("SLT", 65000, 16)}},
      {"acceleration", [](tMachineOps& o) { setAcceleration(o, 7); }, {le32("SA", 7, 16)}},
      {"acceleration held to 14", [](tMachineOps& o) { setAcceleration(o, 99); }, {le32("SA", 14, 16)}},
      {"knife offset", [](tMachineOps& o) { setKnifeOffsetParameter(o, 0x01020304); }, parameterBytes(108, 0x01020304)},
      {"two-edged knife", [](tMachineOps& o) { setTwoWayKnifeParameter(o, 1); }, parameterBytes(112, 1)},
      {"calibration", [](tMachineOps& o) { setCalibrationParameters(o, 1.0f, 0.5f, 1.0f); }, calibration},
      {"smoothing off", [](tMachineOps& o) { smoothingOff(o); }, {{'S', 0}}},
      {"spindle wait", [](tMachineOps& o) { spindleWait(o); }, {bytesOf("Sfw")}},
      {"controller address",
       [](tMachineOps& o) {
         sendControllerAddress(o, {10, 0, 0, 7});
       },
       {{'S', 'I', 'P', 10, 0, 0, 7}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.run(ops);
    EXPECT_EQ(rig.takeSent(), c.expected);
    if (GetParam() == Transport::tcp) {
      EXPECT_EQ(rig.link.ethernetError, 0);
    }
  }
  // Set-up values wait behind the laser pulse's dwell.
  ASSERT_EQ(waitWhileBusy(ops), tWaitResult::idle);
  const sim::MachineState m = rig.controller->machineState();
  EXPECT_TRUE(m.dustExtraction);
  EXPECT_FALSE(m.vacuumPump);
  EXPECT_EQ(m.acceleration, 14);
  EXPECT_EQ(rig.machine.machineParams.rampStep, 14);
  EXPECT_EQ(m.laserPulseMs, 65000);
  EXPECT_EQ(m.parameters[108], 4);
  EXPECT_EQ(m.parameters[111], 1);
  EXPECT_EQ(m.parameters[112], 1);
  EXPECT_EQ((std::array<std::uint8_t, 4>{m.address[0], m.address[1], m.address[2], m.address[3]}),
            (std::array<std::uint8_t, 4>{10, 0, 0, 7}));
}

TEST_P(ToolOperations, ToggleFollowsTheToolStateOfTheController) {
  SimRig rig(GetParam());
  tMachineOps& ops = rig.ops();
  tStatusReader& status = rig.connection->status();
  status.readState();
  ASSERT_FALSE(rig.st.bit(stateBit::toolOn));
  toggleTool(ops);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'R', 1, 0x02})});
  status.readState();
  status.readPower();
  ASSERT_TRUE(rig.st.bit(stateBit::toolOn));
  ASSERT_EQ(rig.st.sel_power, 2);
  toolOff(ops);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'R', 0, 0x02})});
  status.readState();
  EXPECT_FALSE(rig.st.bit(stateBit::toolOn));
  toolOff(ops);  // already off: nothing
  EXPECT_TRUE(rig.takeSent().empty());

  rig.machine.machineType = "PFFy";  // switches the beam with records
  toggleTool(ops);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{record16Of("SLS")});
  status.readState();
  toggleTool(ops);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{record16Of("SLC")});
}

TEST_P(ToolOperations, LaserPowerIsClampedToFullScaleAndScaled) {
  sim::SimConfig config;
  config.product = "WTK32";
  SimRig rig(GetParam(), config);
  tMachineOps& ops = rig.ops();
  ASSERT_TRUE(rig.machine.machineParams.isLaser);
  rig.st.sel_power = 1;
  rig.st.power = 300;
  applyPowerFromStatus(ops);
  EXPECT_EQ(rig.st.power, rig.link.laserFullPower);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'T', 1, 255, 0, 0, 0})});
  rig.st.power = 100;
  ops.settings.powerScale = 1.5;
  applyPowerFromStatus(ops);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'T', 1, 150, 0, 0, 0})});
  // Start powers in percent of the scale; a laser's tool output is left alone.
  ops.settings.powerScale = 200;
  setStartPowers(ops, 50, 80);
  EXPECT_EQ(rig.takeSent(), (std::vector<Bytes>{{'T', 3, 100, 0, 0, 0}, {'T', 1, 160, 0, 0, 0}}));
}

TEST_P(ToolOperations, HeadsOfAThreeHeadMachine) {
  sim::SimConfig config;
  config.product = "YJB";
  config.firmwareMinor = 30;
  SimRig rig(GetParam(), config);
  tMachineOps& ops = rig.ops();
  const tMachineParams& p = rig.machine.machineParams;
  ops.settings.headOffsets[2] = {12.5, -3};
  rig.st.pos0Z123[2] = 1234.4;
  activateHead(ops, 2);
  Bytes offset{'S', '3', 'o'};
  appendLe(offset, std::llround(1250 * p.axisFactorX), 4);
  appendLe(offset, std::llround(-300 * p.axisFactorY), 4);
  EXPECT_EQ(rig.takeSent(), (std::vector<Bytes>{record16Of("S3z", {4}), {'R', 1, 0xC0}, offset}));
  EXPECT_EQ(rig.st.selectedZ, 2);
  EXPECT_EQ(rig.st.pos0.z, 1234);
  EXPECT_EQ(ops.activeHeadMask, 0xC0);
  sim::MachineState m = rig.controller->machineState();
  EXPECT_EQ(m.selectedHead, 2);
  EXPECT_TRUE(m.headEngaged[2]);
  EXPECT_EQ(m.headOffset[0], std::llround(1250 * p.axisFactorX));

  releaseHead(ops);
  std::vector<Bytes> expected{{'R', 0, 0xC0}};
  for (int i = 0; i < 7; ++i) expected.push_back({'P', 255});
  expected.push_back({'P', 215});
  EXPECT_EQ(rig.takeSent(), expected);
  EXPECT_EQ(rig.st.sel_power, 2);
  EXPECT_FALSE(rig.controller->machineState().headEngaged[2]);
}

TEST_P(ToolOperations, OlderFirmwareGetsNoHeadOffsetAndNoToolMeasurement) {
  sim::SimConfig config;
  config.product = "YJB";
  config.firmwareMinor = 10;
  SimRig rig(GetParam(), config);
  tMachineOps& ops = rig.ops();
  activateHead(ops, 1);
  EXPECT_EQ(rig.takeSent(), (std::vector<Bytes>{record16Of("S3z", {2}), {'R', 1, 0xA0}}));
  // Below level 7 the Z of a head is not selected; the head is still switched on.
  rig.link.protocolLevel = 6;
  activateHead(ops, 0);
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{(Bytes{'R', 1, 0x90})});
  rig.link.protocolLevel = 7;
  EXPECT_FALSE(armToolMeasure(ops));
  EXPECT_TRUE(rig.takeSent().empty());
  // 7.17 and later arm it.
  rig.link.firmwareMinor = 17;
  EXPECT_TRUE(armToolMeasure(ops));
  EXPECT_EQ(rig.takeSent(), std::vector<Bytes>{bytesOf("SU")});
  EXPECT_TRUE(rig.controller->machineState().toolMeasureArmed);
}

TEST_P(ToolOperations, SecondYShiftOnlyOnItsMachine) {
  sim::SimConfig config;
  config.product = "RB2";
  SimRig rig(GetParam(), config);
  tMachineOps& ops = rig.ops();
  std::vector<std::string> boxes;
  ops.informationBox = [&](const std::string& text) { boxes.push_back(text); };
  shiftSecondY(ops, 2.5);
  const std::vector<Bytes> sent = rig.takeSent();
  Bytes shift{'S', 'y', 0x02};
  appendLe(shift, std::llround(250 * rig.machine.machineParams.axisFactorY), 4);
  ASSERT_EQ(sent.size(), 3u);  // the 1000 mm/min slot, the shift, the slot as it was
  EXPECT_EQ(sent[0][0], 'V');
  EXPECT_EQ(sent[1], shift);
  EXPECT_EQ(sent[2][0], 'V');
  EXPECT_EQ(boxes, std::vector<std::string>{"Przesunięto głowicę Y2 o dysnas 2.5"});

  rig.machine.machineType = "RB";
  shiftSecondY(ops, 2.5);
  EXPECT_TRUE(rig.takeSent().empty());
}

TEST_P(ToolOperations, InverterParametersAreSentAfterTheWholeFileWasRead) {
  SimRig rig(GetParam());  // "YFB 32": "3g3jv.dat"
  tMachineOps& ops = rig.ops();
  testing::TempFolder folder;
  EXPECT_EQ(sendInverterParameters(ops, folder.path()), "");  // no file: nothing, no error
  EXPECT_TRUE(rig.takeSent().empty());

  testing::writeFile(folder / "3g3jv.dat", "1 2 first\n\n300 5000 second\n");
  EXPECT_EQ(sendInverterParameters(ops, folder.path()), "");
  std::vector<Bytes> sent = rig.takeSent();
  // The simulated controller does not know the command's length: over USB
  // it sees the zero-padded report.
  for (Bytes& b : sent)
    if (GetParam() == Transport::usb && b.size() > 5 &&
        std::all_of(b.begin() + 5, b.end(), [](auto v) { return v == 0; }))
      b.resize(5);
  EXPECT_EQ(sent, (std::vector<Bytes>{{'[', 1, 0, 2, 0}, {'[', 0x2C, 0x01, 0x88, 0x13}}));

  testing::writeFile(folder / "3g3jv.dat", "1 2\nthree four\n");
  const std::string error = sendInverterParameters(ops, folder.path());
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  EXPECT_TRUE(rig.takeSent().empty());
}

INSTANTIATE_TEST_SUITE_P(Links, ToolOperations, ::testing::Values(Transport::tcp, Transport::usb), transportName);

TEST(ToolOperationsTcp, OldProtocolPowerIsOneByteHeldAt255) {
  SimRig rig(Transport::tcp);
  rig.link.protocolLevel = 5;
  setPower(rig.ops(), 1, 200);
  setPower(rig.ops(), 1, 300);
  EXPECT_EQ(rig.takeSent(), (std::vector<Bytes>{{'T', 1, 200}, {'T', 1, 255}}));
}

}  // namespace
}  // namespace trazvik::test
