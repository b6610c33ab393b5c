#include "link/status_encode.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

Bytes statusReport(const tControllerReports& c, const tStatusLayout& l) {
  ByteLayout b(30);
  b.u8(1, c.powerMask);
  if (l.extended) {
    b.u32(2, c.headMask);
    b.u64(6, c.stateWord);
    for (std::size_t i = 0; i < 3; ++i) b.i32(14 + 4 * i, c.position[i]);
  } else {
    b.u32(2, static_cast<std::uint32_t>(c.stateWord));
    for (std::size_t i = 0; i < 3; ++i) b.i32(6 + 4 * i, c.position[i]);
    b.u32(18, c.headMask);
    b.i32(22, c.selectedV);
  }
  b.i32(26, c.position[3]);
  return b.take();
}

Bytes speedReport(const tControllerReports& c, const tStatusLayout& l) {
  if (!l.wideCommandSet) {
    ByteLayout b(14);
    b.u8(0, c.selectedSpeedSlot);
    for (std::size_t i = 0; i < 4; ++i) b.u16(2 + 2 * i, static_cast<std::uint16_t>(c.speedSlots[i]));
    b.u16(12, static_cast<std::uint16_t>(c.currentSpeed));
    return b.take();
  }
  ByteLayout b(l.extended ? 26 : 22);
  b.u8(0, c.selectedSpeedSlot);
  for (std::size_t i = 0; i < 4; ++i) b.i32(2 + 4 * i, c.speedSlots[i]);
  if (l.extended) {
    // The extended layout puts the drilling slot where the current speed
    // was; readers take both from it.
    b.i32(18, c.speedSlots[4]);
    b.i32(22, c.speedSlots[5]);
  } else {
    b.i32(18, c.currentSpeed);
  }
  return b.take();
}

Bytes threeInts(std::size_t size, const std::array<std::int32_t, 3>& v) {
  ByteLayout b(size);
  for (std::size_t i = 0; i < 3; ++i) b.i32(2 + 4 * i, v[i]);
  return b.take();
}

Bytes powerReport(const tControllerReports& c) {
  ByteLayout b(16);
  b.u8(0, c.selectedPowerSlot);
  for (std::size_t i = 0; i < 6; ++i) b.u16(2 + 2 * i, c.powerSlots[i]);
  b.u16(14, c.laserFullPower);
  return b.take();
}

Bytes identityReport(const tControllerReports& c) {
  ByteLayout b(22);
  for (std::size_t i = 0; i < 3; ++i) b.i32(2 + 4 * i, c.workArea[i]);
  b.i32(14, c.runningMinutes);
  b.i32(18, c.counter);
  return b.take();
}

Bytes firmwareReport(const tControllerReports& c) {
  ByteLayout b(11);
  b.u8(0, c.firmwareMajor);
  b.u8(1, c.firmwareMinor);
  b.u8(10, c.firmwareBuild);
  return b.take();
}

Bytes inverterReport(const tControllerReports& c) {
  ByteLayout b(18);
  for (std::size_t i = 0; i < 4; ++i) b.i32(2 + 4 * i, c.inverter[i]);
  return b.take();
}

Bytes smallReport(std::size_t size, std::size_t at, std::uint8_t v, std::size_t at2 = 0, std::uint8_t v2 = 0) {
  ByteLayout b(size);
  b.u8(at, v);
  if (at2) b.u8(at2, v2);
  return b.take();
}

Bytes calibrationReport(const tControllerReports& c) {
  ByteLayout b(14);
  for (std::size_t i = 0; i < 3; ++i) b.f32(2 + 4 * i, c.calibration[i]);
  return b.take();
}

Bytes headReport(const tControllerReports& c) {
  ByteLayout b(10);
  b.u32(2, c.headMask);
  b.i32(6, c.selectedV);
  return b.take();
}

std::int32_t lowestHead(std::uint32_t mask) {
  for (std::int32_t i = 0; i < 16; ++i)
    if (mask & (1u << i)) return i;
  return 0;
}

std::int32_t toSteps(double hundredths, double factor) {
  return static_cast<std::int32_t>(std::nearbyint(hundredths * factor));
}

}  // namespace

Bytes encodeUsbReport(int report, const tControllerReports& c, const tStatusLayout& l) {
  switch (report) {
    case usbReport::status: return statusReport(c, l);
    case usbReport::zeroPoint: return threeInts(14, c.zeroPoint);
    case usbReport::speeds: return speedReport(c, l);
    case usbReport::power: return powerReport(c);
    case usbReport::identity: return identityReport(c);
    case usbReport::versionText: return Bytes(c.versionText.begin(), c.versionText.end());
    case usbReport::inverter: return inverterReport(c);
    case usbReport::inputs: return smallReport(7, 2, c.inputs, 6, c.driverErrors);
    case usbReport::calibration: return calibrationReport(c);
    case usbReport::firmware: return firmwareReport(c);
    case usbReport::headZeros: return threeInts(14, c.headZeros);
    case usbReport::knifeOffset: {
      ByteLayout b(6);
      b.i32(2, c.knifeOffset);
      return b.take();
    }
    case usbReport::secondArea: return threeInts(14, c.secondWorkArea);
    case usbReport::heads: return headReport(c);
    case usbReport::travelVariant: return smallReport(3, 2, static_cast<std::uint8_t>(c.travelVariant));
    default: return {};
  }
}

Bytes encodeEthernetStatus(const tControllerReports& c, const tStatusLayout& l) {
  const std::size_t p = l.ethernetShift();
  ByteLayout b(l.ethernetReplySize());
  b.text(0, "SX");
  b.u8(3, c.powerMask);
  b.u32(4, static_cast<std::uint32_t>(c.stateWord));
  for (std::size_t i = 0; i < 3; ++i) b.i32(8 + 4 * i, c.position[i]);
  if (l.protocolLevel >= 7) {
    b.i32(20, lowestHead(c.headMask));
    b.i32(24, c.selectedV);
    if (l.firmwareAtLeast(7, 20)) b.i32(32, c.position[3]);
  }
  for (std::size_t i = 0; i < 3; ++i) b.i32(p + 24 + 4 * i, c.zeroPoint[i]);
  for (std::size_t i = 0; i < 3; ++i) b.i32(p + 40 + 4 * i, c.workArea[i]);
  b.i32(p + 52, c.runningMinutes);
  b.i32(p + 56, c.counter);
  b.u8(p + 62, c.selectedSpeedSlot);
  for (std::size_t i = 0; i < 4; ++i) b.i32(p + 64 + 4 * i, c.speedSlots[i]);
  b.i32(p + 80, c.currentSpeed);
  b.u8(p + 90, c.selectedPowerSlot);
  for (std::size_t i = 0; i < 6; ++i) b.u16(p + 92 + 2 * i, c.powerSlots[i]);
  b.u16(p + 104, c.laserFullPower);
  return b.take();
}

tControllerReports controllerReportsFrom(const tplotstate& st, const tLinkState& link, const tStatusLayout& l,
                                         tControllerReports c) {
  c.powerMask = st.PowerMaska;
  c.stateWord = st.StateExtend;
  c.position = {st.realpos.x, st.realpos.y, st.realpos.z, st.realpos.v};
  if (st.selectedZ >= 0 && st.selectedZ < 16) c.headMask = 1u << st.selectedZ;
  c.selectedV = st.selectedV;
  c.zeroPoint = {toSteps(st.pos0.x, l.axisFactorX), toSteps(st.pos0.y, l.axisFactorY),
                 toSteps(st.pos0.z, l.axisFactorZ)};
  for (std::size_t i = 0; i < 3; ++i) c.headZeros[i] = toSteps(st.pos0Z123[i], l.axisFactorZ);
  c.selectedSpeedSlot = st.sel_speed;
  const std::int32_t m = std::max(l.speedMultiplier, 1);
  const std::int32_t slots[6] = {st.speedp, st.speedr, st.speedm, st.speedpol, st.speedWiercenia, st.speedcofania};
  if (l.wideCommandSet) {
    for (std::size_t i = 0; i < 6; ++i) c.speedSlots[i] = slots[i] / m;
    c.currentSpeed = st.speedc / m;
  } else {
    // The older report carries words that readers scale by the X factor
    // (and, except for the manual slot, by the multiplier).
    const double fx = l.axisFactorX != 0 ? l.axisFactorX : 1.0;
    auto back = [&](std::int32_t v, double scale) { return static_cast<std::int32_t>(std::nearbyint(v / scale)); };
    c.speedSlots = {
        back(slots[0], m * fx), back(slots[1], m * fx), back(slots[2], fx), back(slots[3], m * fx), slots[4], slots[5]};
    c.currentSpeed = back(st.speedc, m * fx);
  }
  c.selectedPowerSlot = st.sel_power;
  if (st.sel_power < 6) c.powerSlots[st.sel_power] = st.power;
  c.laserFullPower = static_cast<std::uint16_t>(link.laserFullPower);
  for (std::size_t i = 0; i < 3; ++i) {
    c.workArea[i] = static_cast<std::int32_t>(link.workArea[i]);
    c.secondWorkArea[i] = static_cast<std::int32_t>(link.secondWorkArea[i]);
  }
  c.runningMinutes = st.info_time;
  c.counter = st.info_ilpl;
  c.firmwareMajor = static_cast<std::uint8_t>(link.protocolLevel);
  c.firmwareMinor = static_cast<std::uint8_t>(link.firmwareMinor);
  c.firmwareBuild = static_cast<std::uint8_t>(link.firmwareBuild);
  for (std::size_t i = 0; i < 4; ++i) c.inverter[i] = link.inverterStatus[i];
  c.inputs = static_cast<std::uint8_t>(link.machineInputs);
  c.driverErrors = static_cast<std::uint8_t>(link.driverErrorAxes);
  c.calibration = link.calibrationFactors;
  return c;
}

}  // namespace trazvik
