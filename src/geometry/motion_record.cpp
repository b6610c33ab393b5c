#include "geometry/motion_record.h"

#include "geometry/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace trazvik {

namespace {

constexpr std::int32_t kMinCount = 10;
constexpr std::int32_t kNoPower = 0xFFFF;

std::uint32_t magnitude(std::int32_t v) { return static_cast<std::uint32_t>(std::llabs(static_cast<long long>(v))); }

std::uint8_t directionFlags(std::int32_t dx, std::int32_t dy, std::int32_t dz) {
  return static_cast<std::uint8_t>((dx <= 0 ? 1 : 0) | (dy <= 0 ? 2 : 0) | (dz <= 0 ? 4 : 0));
}

std::int32_t countValue(std::int64_t k, std::int64_t steps) {
  const std::int64_t count = std::max<std::int64_t>(k * steps, kMinCount);
  return static_cast<std::int32_t>(std::min<std::int64_t>(count, std::numeric_limits<std::int32_t>::max()));
}

// The power's share of a wide record at the given protocol level.
struct PowerFields {
  std::uint8_t powerByte = 0;
  std::uint32_t zHighBits = 0;  // bits 20-23 of the Z field
  std::uint8_t flagsHigh = 0;   // high nibble of the flags byte
};

PowerFields powerFields(int protocolLevel, std::int32_t power) {
  PowerFields f;
  std::uint32_t p = static_cast<std::uint32_t>(std::clamp<std::int32_t>(power, 0, 0xFFFF));
  if (protocolLevel < 6) {
    f.powerByte = static_cast<std::uint8_t>(std::min<std::uint32_t>(p / 16, 255));
    return f;
  }
  if (protocolLevel == 6) p = std::min<std::uint32_t>(p, 4095);
  f.powerByte = static_cast<std::uint8_t>(p & 0xFF);
  f.zHighBits = ((p >> 8) & 0xF) << 20;
  if (protocolLevel >= 7) f.flagsHigh = static_cast<std::uint8_t>(((p >> 12) & 0xF) << 4);
  return f;
}

std::uint32_t zField(int protocolLevel, std::int32_t dz, const PowerFields& power) {
  if (protocolLevel < 6) return magnitude(dz);
  return (magnitude(dz) & 0xFFFFF) | power.zHighBits;
}

void put24(tMotionRecord& r, std::size_t at, std::uint32_t v) {
  const auto b = packInt24(static_cast<std::int32_t>(v));
  std::copy(b.begin(), b.end(), r.bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

tMotionRecord build(std::uint8_t flags, std::int32_t count, std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  tMotionRecord r;
  r.bytes[0] = 'A';
  r.bytes[1] = flags;
  put24(r, 2, static_cast<std::uint32_t>(count));
  put24(r, 5, x);
  put24(r, 8, y);
  put24(r, 11, z);
  r.length = 14;
  return r;
}

tMotionRecord buildWithPower(int protocolLevel, std::uint8_t flags, std::int32_t count, std::int32_t dx,
                             std::int32_t dy, std::int32_t dz, std::int32_t power) {
  const PowerFields p = powerFields(protocolLevel, power);
  tMotionRecord r = build(static_cast<std::uint8_t>(flags | p.flagsHigh), count, magnitude(dx), magnitude(dy),
                          zField(protocolLevel, dz, p));
  r.bytes[14] = p.powerByte;
  r.length = 15;
  return r;
}

}  // namespace

std::int64_t pathSteps3(std::int32_t dx, std::int32_t dy, std::int32_t dz) {
  const double x = dx, y = dy, z = dz;
  return roundEvenInt(std::sqrt(x * x + y * y + z * z) + 0.5);
}

std::int64_t pathSteps2(std::int32_t dx, std::int32_t dy) { return pathSteps3(dx, dy, 0); }

tMotionRecord moveRecord(std::int32_t k, std::int32_t dx, std::int32_t dy, std::int32_t dz, std::int32_t& count) {
  count = countValue(k, pathSteps3(dx, dy, dz));
  return build(directionFlags(dx, dy, dz), count, magnitude(dx), magnitude(dy), magnitude(dz));
}

tMotionRecord moveRecordPower(int protocolLevel, std::int32_t k, std::int32_t dx, std::int32_t dy, std::int32_t dz,
                              std::int32_t power, std::int32_t& count) {
  if (protocolLevel >= 7 && power > 39999 && power != kNoPower) power = 39999;
  count = countValue(k, pathSteps3(dx, dy, dz));
  return buildWithPower(protocolLevel, directionFlags(dx, dy, dz), count, dx, dy, dz, power);
}

tMotionRecord moveRecordPower2d(int protocolLevel, std::int32_t k, std::int32_t dx, std::int32_t dy, std::int32_t dz,
                                std::int32_t power, std::int32_t& count) {
  count = countValue(k, pathSteps2(dx, dy));
  return buildWithPower(protocolLevel, directionFlags(dx, dy, dz), count, dx, dy, dz, power);
}

tMotionRecord moveRecordZ(int protocolLevel, std::int32_t dz, std::int32_t& count) {
  count =
      static_cast<std::int32_t>(std::max<std::uint32_t>(std::min<std::uint32_t>(magnitude(dz), 0x7FFFFFFF), kMinCount));
  if (zField(protocolLevel, dz, powerFields(protocolLevel, kNoPower)) == 0) return {};
  const std::uint8_t flags = dz <= 0 ? 4 : 0;
  return buildWithPower(protocolLevel, flags, count, 0, 0, dz, kNoPower);
}

}  // namespace trazvik
