#include "link/status_decode.h"
#include "link/status_encode.h"

#include <gtest/gtest.h>

#include <cmath>

namespace trazvik {
namespace {

tControllerReports sampleController() {
  tControllerReports c;
  c.powerMask = 0x81;
  c.stateWord = stateBit::mask(stateBit::jobRunning) | stateBit::mask(stateBit::bufferFull) |
                stateBit::mask(stateBit::heldForEmptyBuffer);
  c.position = {123456, -65432, 4000, 250};
  c.headMask = 4;
  c.selectedV = 4;
  c.zeroPoint = {20000, 10000, -3010};  // Z of the selected head 3
  c.headZeros = {-3000, -2990, -3010};
  c.selectedSpeedSlot = 1;
  c.speedSlots = {1000, 2000, 3000, 4000, 5000, 6000};
  c.currentSpeed = 1500;
  c.selectedPowerSlot = 1;
  c.powerSlots = {0, 180, 120, 60, 0, 0};
  c.laserFullPower = 1000;
  c.workArea = {1300, 2500, 200};
  c.secondWorkArea = {1200, 2400, 150};
  c.runningMinutes = 12345;
  c.counter = 77;
  c.versionText = "CNCv   5.60";
  c.firmwareMajor = 7;
  c.firmwareMinor = 22;
  c.firmwareBuild = 9;
  c.inverter = {0x800, 400, 31, 2};
  c.inputs = 0x08;
  c.driverErrors = 0x05;
  c.calibration = {1.002f, 0.998f, 1.0f};
  c.knifeOffset = -120;
  c.travelVariant = 'L';
  return c;
}

tStatusLayout layoutFor(bool extended, bool wide) {
  tStatusLayout l;
  l.extended = extended;
  l.wideCommandSet = wide;
  l.knifeAxis = true;
  l.headCount = 3;
  l.isLaser = true;
  l.axisFactorX = l.axisFactorY = wide ? 10 : 0.9796599049;
  l.axisFactorZ = wide ? 10 : 1;
  l.speedMultiplier = wide ? 2 : 1;
  l.protocolLevel = 7;
  l.firmwareMinor = 22;
  return l;
}

// Runs the reads of the status operations over encoded reports.
void readAllReports(const tControllerReports& c, const tStatusLayout& l, tplotstate& st, tLinkState& link) {
  auto report = [&](int n) { return encodeUsbReport(n, c, l); };
  const Bytes r10 = report(usbReport::status);
  decodeStateReport(r10, l, st, true);
  decodePositionReport(r10, l, st);
  std::uint32_t mask = *headMaskOfStatusReport(r10, l);
  if (l.extended) mask = *decodeHeadReport(report(usbReport::heads), st, l.knifeAxis);
  st.selectedZ = headIndexFromMask(mask, l.headCount);
  recomputeAbsPos(st, l);
  decodeZeroPointReport(report(usbReport::zeroPoint), l, st);
  decodeHeadZerosReport(report(usbReport::headZeros), l, st);
  decodeSpeedReport(report(usbReport::speeds), l, st);
  decodePowerReport(report(usbReport::power), st);
  link.laserFullPower = *laserFullPowerOfPowerReport(report(usbReport::power));
  decodeIdentityReport(report(usbReport::identity), st, link);
  decodeSecondAreaReport(report(usbReport::secondArea), link);
  link.controllerVersion = controllerVersionOfVersionReport(report(usbReport::versionText));
  decodeFirmwareReport(report(usbReport::firmware), link);
  decodeInverterReport(report(usbReport::inverter), link);
  decodeInputsReport(report(usbReport::inputs), link);
  link.calibrationFactors = calibrationOfReport(report(usbReport::calibration));
}

TEST(StatusRoundTrip, UsbReportsOfEveryLayout) {
  struct Case {
    bool extended, wide;
  };
  for (const Case k : {Case{false, false}, Case{false, true}, Case{true, true}}) {
    SCOPED_TRACE(testing::Message() << "extended " << k.extended << " wide " << k.wide);
    const tStatusLayout l = layoutFor(k.extended, k.wide);
    const tControllerReports c = sampleController();
    tplotstate st;
    tLinkState link;
    readAllReports(c, l, st, link);

    EXPECT_EQ(st.PowerMaska, c.powerMask);
    EXPECT_TRUE(st.bit(stateBit::jobRunning));
    EXPECT_TRUE(st.bit(stateBit::bufferFull));
    EXPECT_TRUE(st.bit(stateBit::heldForEmptyBuffer));
    EXPECT_EQ(st.state, 0x02);
    EXPECT_EQ(st.realpos.x, 123456);
    EXPECT_EQ(st.realpos.y, -65432);
    EXPECT_EQ(st.realpos.z, 4000);
    EXPECT_EQ(st.realpos.v, 250);
    EXPECT_EQ(st.selectedV, 4);
    EXPECT_EQ(st.selectedZ, 2);
    EXPECT_DOUBLE_EQ(st.abspos.x, 123456 / l.axisFactorX);
    EXPECT_DOUBLE_EQ(st.pos0.x, 20000 / l.axisFactorX);
    EXPECT_EQ(st.pos0Z123[2], std::nearbyint(-3010 / l.axisFactorZ));
    EXPECT_EQ(st.pos0.z, st.pos0Z123[2]);
    EXPECT_EQ(st.sel_speed, 1);
    EXPECT_EQ(st.speed, st.speedr);
    EXPECT_EQ(st.sel_power, 1);
    EXPECT_EQ(st.power, 180);
    EXPECT_EQ(link.laserFullPower, 1000);
    EXPECT_EQ(link.workArea, (std::array<double, 3>{1300, 2500, 200}));
    EXPECT_EQ(link.secondWorkArea, (std::array<double, 3>{1200, 2400, 150}));
    EXPECT_EQ(st.info_time, 12345);
    EXPECT_EQ(st.info_ilpl, 77);
    EXPECT_EQ(link.controllerVersion, 560);
    EXPECT_EQ(firmwareVersionText(link), "7.22.9");
    EXPECT_EQ(link.inverterStatus, c.inverter);
    EXPECT_EQ(link.machineInputs, 8);
    EXPECT_EQ(link.driverErrorAxes, 5);
    EXPECT_EQ(link.calibrationFactors, c.calibration);
    EXPECT_EQ(knifeOffsetOfReport(encodeUsbReport(usbReport::knifeOffset, c, l)), -120);
    EXPECT_TRUE(isLongTravelVariant(encodeUsbReport(usbReport::travelVariant, c, l)));
    if (k.wide) {
      EXPECT_EQ(st.speedp, 2000);
      EXPECT_EQ(st.speedr, 4000);
    }
    if (k.extended) {
      EXPECT_EQ(st.speedWiercenia, 10000);
      EXPECT_EQ(st.speedcofania, 12000);
    }

    // And back: the controller values that this status stands for.
    const tControllerReports back = controllerReportsFrom(st, link, l, c);
    EXPECT_EQ(back.stateWord, k.extended ? c.stateWord : c.stateWord & 0xFFFFFFFFu);
    EXPECT_EQ(back.position, c.position);
    EXPECT_EQ(back.zeroPoint, c.zeroPoint);
    EXPECT_EQ(back.headMask, c.headMask);
    EXPECT_EQ(back.speedSlots[0], c.speedSlots[0]);
    EXPECT_EQ(back.speedSlots[1], c.speedSlots[1]);
    EXPECT_EQ(back.speedSlots[2], c.speedSlots[2]);
    EXPECT_EQ(back.speedSlots[3], c.speedSlots[3]);
    for (int n = 10; n <= 25; ++n)
      EXPECT_EQ(encodeUsbReport(n, back, l), encodeUsbReport(n, controllerReportsFrom(st, link, l, back), l)) << n;
  }
}

TEST(StatusRoundTrip, EthernetReplyAtEachFirmwareRange) {
  for (const auto& [level, minor] : {std::pair{6, 34}, std::pair{7, 5}, std::pair{7, 20}}) {
    SCOPED_TRACE(testing::Message() << level << "." << minor);
    tStatusLayout l = layoutFor(false, true);
    l.protocolLevel = static_cast<std::uint16_t>(level);
    l.firmwareMinor = static_cast<std::uint16_t>(minor);
    const tControllerReports c = sampleController();
    const Bytes reply = encodeEthernetStatus(c, l);
    EXPECT_EQ(reply.size(), l.ethernetReplySize());
    tplotstate st;
    tLinkState link;
    ASSERT_TRUE(decodeEthernetStatus(reply, l, st, link));
    EXPECT_EQ(st.StateExtend, c.stateWord);
    EXPECT_EQ(st.realpos.x, c.position[0]);
    EXPECT_EQ(st.realpos.v, level == 7 && minor >= 20 ? c.position[3] : 0);
    EXPECT_EQ(st.selectedZ, level >= 7 ? 2 : 0);
    EXPECT_DOUBLE_EQ(st.pos0.y, c.zeroPoint[1] / l.axisFactorY);
    EXPECT_EQ(st.speedpol, c.speedSlots[3] * l.speedMultiplier);
    EXPECT_EQ(st.speedc, c.currentSpeed * l.speedMultiplier);
    EXPECT_EQ(st.power, c.powerSlots[1]);
    EXPECT_EQ(link.laserFullPower, c.laserFullPower);
    EXPECT_EQ(link.workArea[1], c.workArea[1]);
    EXPECT_EQ(encodeEthernetStatus(controllerReportsFrom(st, link, l, c), l), reply);
  }
}

}  // namespace
}  // namespace trazvik
