#include "link/status_decode.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazvik {

namespace {

double scaled(std::int32_t steps, double factor) { return factor != 0 ? steps / factor : 0.0; }

std::int32_t roundToInt(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

// The current speed is a magnitude: a negative value from a damaged reply
// must not wrap into a large one when narrowed.
std::int32_t capSpeed(std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, 65535)); }

// A slot times the multiplier, held within the 32 bits of the slot.
std::int32_t scaledSlot(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void takeScaledZero(const ByteFields& f, std::size_t at, const tStatusLayout& l, tplotstate& st) {
  if (auto x = f.i32(at)) st.pos0.x = scaled(*x, l.axisFactorX);
  if (auto y = f.i32(at + 4)) st.pos0.y = scaled(*y, l.axisFactorY);
  if (auto z = f.i32(at + 8)) st.pos0.z = scaled(*z, l.axisFactorZ);
}

void takePowerSlot(const ByteFields& f, std::size_t selAt, std::size_t slotsAt, tplotstate& st) {
  if (auto sel = f.u8(selAt)) st.sel_power = std::min<std::uint8_t>(*sel, 5);
  takeIf(st.power, f.u16(slotsAt + 2 * std::size_t{st.sel_power}));
}

}  // namespace

void selectSpeedSlot(tplotstate& st) {
  switch (st.sel_speed) {
    case 0: st.speed = st.speedp; break;
    case 1: st.speed = st.speedr; break;
    case 2: st.speed = st.speedm; break;
    case 3: st.speed = st.speedpol; break;
    case 4: st.speed = st.speedWiercenia; break;
    case 5: st.speed = st.speedcofania; break;
    default: break;
  }
}

void decodeStateReport(ByteSpan r10, const tStatusLayout& layout, tplotstate& st, bool withPowerMask) {
  const ByteFields f(r10);
  if (layout.extended) {
    takeIf(st.StateExtend, f.u64(6));
  } else if (auto word = f.i32(2)) {
    st.StateExtend = static_cast<std::uint64_t>(static_cast<std::int64_t>(*word));
  }
  st.state = static_cast<std::uint16_t>(st.StateExtend & 0xFF);
  if (withPowerMask) takeIf(st.PowerMaska, f.u8(1));
}

void decodePositionReport(ByteSpan r10, const tStatusLayout& layout, tplotstate& st) {
  const ByteFields f(r10);
  const std::size_t at = layout.extended ? 14 : 6;
  takeIf(st.realpos.x, f.i32(at));
  takeIf(st.realpos.y, f.i32(at + 4));
  takeIf(st.realpos.z, f.i32(at + 8));
  if (!layout.knifeAxis) {
    st.realpos.v = 0;
    return;
  }
  if (!layout.extended) takeIf(st.selectedV, f.i32(22));
  takeIf(st.realpos.v, f.i32(26));
}

std::optional<std::uint32_t> headMaskOfStatusReport(ByteSpan r10, const tStatusLayout& layout) {
  return ByteFields(r10).u32(layout.extended ? 2 : 18);
}

std::optional<std::uint32_t> decodeHeadReport(ByteSpan r24, tplotstate& st, bool takeSelectedV) {
  const ByteFields f(r24);
  if (takeSelectedV) takeIf(st.selectedV, f.i32(6));
  return f.u32(2);
}

std::int32_t headIndexFromMask(std::uint32_t mask, int headCount) {
  if (headCount == 1) return 0;
  for (std::int32_t i = 0; i < 16; ++i)
    if (mask & (1u << i)) return i;
  return 0;
}

void recomputeAbsPos(tplotstate& st, const tStatusLayout& layout) {
  st.abspos.x = scaled(st.realpos.x, layout.axisFactorX);
  st.abspos.y = scaled(st.realpos.y, layout.axisFactorY);
  st.abspos.z = scaled(st.realpos.z, layout.axisFactorZ);
  st.abspos.v = st.realpos.v;
}

void decodeZeroPointReport(ByteSpan r11, const tStatusLayout& layout, tplotstate& st) {
  takeScaledZero(ByteFields(r11), 2, layout, st);
}

void decodeHeadZerosReport(ByteSpan r21, const tStatusLayout& layout, tplotstate& st) {
  const ByteFields f(r21);
  for (std::size_t i = 0; i < 3; ++i)
    if (auto z = f.i32(2 + 4 * i)) st.pos0Z123[i] = std::nearbyint(scaled(*z, layout.axisFactorZ));
  if (st.selectedZ >= 0 && st.selectedZ < 16)
    st.pos0.z = std::nearbyint(st.pos0Z123[static_cast<std::size_t>(st.selectedZ)]);
}

void decodeSpeedReport(ByteSpan r12, const tStatusLayout& layout, tplotstate& st) {
  const ByteFields f(r12);
  takeIf(st.sel_speed, f.u8(0));
  const std::int64_t m = layout.speedMultiplier;
  if (layout.wideCommandSet) {
    auto slot = [&](std::size_t at, std::int32_t& target) {
      if (auto v = f.i32(at)) target = scaledSlot(*v * m);
    };
    slot(2, st.speedp);
    slot(6, st.speedr);
    slot(10, st.speedm);
    slot(14, st.speedpol);
    if (layout.extended) {
      slot(18, st.speedWiercenia);
      slot(22, st.speedcofania);
    }
    if (auto c = f.i32(18)) st.speedc = capSpeed(*c * m);
  } else {
    const double fx = layout.axisFactorX;
    auto slot = [&](std::size_t at, std::int32_t& target, double scale) {
      if (auto w = f.u16(at)) target = roundToInt(*w * scale);
    };
    slot(2, st.speedp, double(m) * fx);
    slot(4, st.speedr, double(m) * fx);
    slot(6, st.speedm, fx);
    slot(8, st.speedpol, double(m) * fx);
    if (auto w = f.u16(12)) st.speedc = capSpeed(std::llround(*w * double(m) * fx));
  }
  selectSpeedSlot(st);
}

void decodePowerReport(ByteSpan r13, tplotstate& st) { takePowerSlot(ByteFields(r13), 0, 2, st); }

std::optional<std::int32_t> laserFullPowerOfPowerReport(ByteSpan r13) {
  auto w = ByteFields(r13).u16(14);
  if (!w) return std::nullopt;
  return *w == 0 ? 255 : std::int32_t{*w};
}

void decodeIdentityReport(ByteSpan r14, tplotstate& st, tLinkState& link) {
  const ByteFields f(r14);
  for (std::size_t i = 0; i < 3; ++i) takeIf(link.workArea[i], f.i32(2 + 4 * i));
  takeIf(st.info_time, f.i32(14));
  takeIf(st.info_ilpl, f.i32(18));
}

void decodeSecondAreaReport(ByteSpan r23, tLinkState& link) {
  const ByteFields f(r23);
  for (std::size_t i = 0; i < 3; ++i) takeIf(link.secondWorkArea[i], f.i32(2 + 4 * i));
}

std::int32_t controllerVersionOfVersionReport(ByteSpan r15) {
  const ByteFields f(r15);
  auto marker = f.u8(3);
  if (!marker || (*marker != 'v' && *marker != 'o')) return 300;
  auto digit = [&](std::size_t at) -> int {
    auto c = f.u8(at);
    return (c && *c >= '0' && *c <= '9') ? *c - '0' : -1;
  };
  const int hundreds = digit(7), tens = digit(9), units = digit(10);
  // A version text without its digits is not a version: keep the default.
  if (hundreds < 0 || tens < 0 || units < 0) return 300;
  return hundreds * 100 + tens * 10 + units;
}

void decodeFirmwareReport(ByteSpan r19, tLinkState& link) {
  const ByteFields f(r19);
  link.protocolLevel = 0;
  link.firmwareMinor = 0;
  link.firmwareBuild = 0;
  takeIf(link.protocolLevel, f.u8(0));
  takeIf(link.firmwareMinor, f.u8(1));
  takeIf(link.firmwareBuild, f.u8(10));
}

void decodeInverterReport(ByteSpan r16, tLinkState& link) {
  const ByteFields f(r16);
  for (std::size_t i = 0; i < 4; ++i) takeIf(link.inverterStatus[i], f.i32(2 + 4 * i));
}

void decodeInputsReport(ByteSpan r17, tLinkState& link) {
  const ByteFields f(r17);
  takeIf(link.machineInputs, f.u8(2));
  takeIf(link.driverErrorAxes, f.u8(6));
}

std::array<float, 3> calibrationOfReport(ByteSpan r18) {
  const ByteFields f(r18);
  std::array<float, 3> factors{1.0f, 1.0f, 1.0f};
  for (std::size_t i = 0; i < 3; ++i) {
    auto v = f.f32(2 + 4 * i);
    // Zero means "not calibrated"; a negative or non-finite pattern is
    // not a scale either and would wreck every position.
    if (v && std::isfinite(*v) && *v > 0) factors[i] = *v;
  }
  return factors;
}

std::optional<std::int32_t> knifeOffsetOfReport(ByteSpan r22) { return ByteFields(r22).i32(2); }

bool isLongTravelVariant(ByteSpan r25) {
  auto b = ByteFields(r25).u8(2);
  return b && *b == 'L';
}

bool decodeEthernetStatus(ByteSpan reply, const tStatusLayout& layout, tplotstate& st, tLinkState& link) {
  if (reply.empty()) {
    link.ethernetError = 100;
    return false;
  }
  link.ethernetError = 0;
  const ByteFields f(reply);
  const std::size_t p = layout.ethernetShift();
  takeIf(st.PowerMaska, f.u8(3));
  if (auto word = f.i32(4)) {
    st.StateExtend = static_cast<std::uint64_t>(static_cast<std::int64_t>(*word));
    st.state = static_cast<std::uint16_t>(st.StateExtend & 0xFF);
  }
  takeIf(st.realpos.x, f.i32(8));
  takeIf(st.realpos.y, f.i32(12));
  takeIf(st.realpos.z, f.i32(16));
  if (layout.protocolLevel >= 7) {
    // The head index comes as such; one the status record cannot hold is noise.
    if (auto z = f.i32(20); z && *z >= 0 && *z < 16) st.selectedZ = *z;
    takeIf(st.selectedV, f.i32(24));
    if (layout.firmwareAtLeast(7, 20)) takeIf(st.realpos.v, f.i32(32));
  } else {
    st.selectedZ = 0;
    st.selectedV = 0;
    st.realpos.v = 0;
  }
  takeScaledZero(f, p + 24, layout, st);
  for (std::size_t i = 0; i < 3; ++i) takeIf(link.workArea[i], f.i32(p + 40 + 4 * i));
  // The status over Ethernet tells one working area. The work zero's area
  // is that one, unless a multi-head machine told its own over USB.
  for (std::size_t i = 0; i < 3; ++i)
    if (layout.headCount < 2 || !(link.secondWorkArea[i] > 0)) link.secondWorkArea[i] = link.workArea[i];
  takeIf(st.info_time, f.i32(p + 52));
  takeIf(st.info_ilpl, f.i32(p + 56));
  takeIf(st.sel_speed, f.u8(p + 62));
  const std::int64_t m = layout.speedMultiplier;
  std::int32_t* slots[] = {&st.speedp, &st.speedr, &st.speedm, &st.speedpol};
  for (std::size_t i = 0; i < 4; ++i)
    if (auto v = f.i32(p + 64 + 4 * i)) *slots[i] = scaledSlot(*v * m);
  if (auto c = f.i32(p + 80)) st.speedc = capSpeed(*c * m);
  selectSpeedSlot(st);
  takePowerSlot(f, p + 90, p + 92, st);
  if (layout.isLaser && layout.protocolLevel >= 6) {
    auto lo = f.u8(p + 104), hi = f.u8(p + 105);
    // Zero is no full scale; the USB report reads it as 255 as well.
    if (lo && hi) link.laserFullPower = (*lo | *hi) ? *lo + 256 * *hi : 255;
  } else {
    link.laserFullPower = 255;
  }
  recomputeAbsPos(st, layout);
  return true;
}

}  // namespace trazvik
