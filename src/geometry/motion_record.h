// Builders of the controller's move record "A": flags, path count and the
// three step displacements, with a power byte in the wide form. The job
// writer and the link's immediate moves both build moves here.
//
// The wide forms depend on the linked controller's protocol level (the first
// number of its firmware version), which the caller passes in.
#pragma once
#include "geometry/bytes.h"

#include <array>
#include <cstdint>

namespace trazvik {

// One move record without heap storage: 14 bytes (plain), 15 (with power)
// or none (a vertical move that carries nothing).
struct tMotionRecord {
  std::array<std::uint8_t, 15> bytes{};
  std::uint8_t length = 0;

  const std::uint8_t* begin() const { return bytes.data(); }
  const std::uint8_t* end() const { return bytes.data() + length; }
  std::size_t size() const { return length; }
  bool empty() const { return length == 0; }
  Bytes toBytes() const { return Bytes(begin(), end()); }
};

inline void appendBytes(Bytes& out, const tMotionRecord& record) {
  out.insert(out.end(), record.begin(), record.end());
}

// Path length in steps as the controller counts it: the nearest integer to
// sqrt(dx^2 + dy^2 + dz^2) + 0.5, halves to even (2 -> 2, 3 -> 4).
std::int64_t pathSteps3(std::int32_t dx, std::int32_t dy, std::int32_t dz);
std::int64_t pathSteps2(std::int32_t dx, std::int32_t dy);

// "A", flags, count (3), |dx| (3), |dy| (3), |dz| (3). count = k * L3, at
// least 10.
tMotionRecord moveRecord(std::int32_t k, std::int32_t dx, std::int32_t dy, std::int32_t dz, std::int32_t& count);

// "A", flags, count (3), |dx| (3), |dy| (3), Z field (3), power byte. At
// level 7 and above a power above 39999 becomes 39999, except 0xFFFF.
tMotionRecord moveRecordPower(int protocolLevel, std::int32_t k, std::int32_t dx, std::int32_t dy, std::int32_t dz,
                              std::int32_t power, std::int32_t& count);

// As moveRecordPower, with the count taken from the X-Y length only and no
// 39999 limit.
tMotionRecord moveRecordPower2d(int protocolLevel, std::int32_t k, std::int32_t dx, std::int32_t dy, std::int32_t dz,
                                std::int32_t power, std::int32_t& count);

// A vertical move built for power 0xFFFF: count = max(|dz|, 10). Empty when
// its Z field is 0 (dz = 0 below level 6).
tMotionRecord moveRecordZ(int protocolLevel, std::int32_t dz, std::int32_t& count);

}  // namespace trazvik
