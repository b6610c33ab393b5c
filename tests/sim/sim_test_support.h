// Shared pieces of the simulator tests: a machine description and command
// bytes laid out by hand from the link's byte layouts, so the tests do not
// lean on the encoders they may one day check.
#pragma once

#include "controller.h"

#include "machine/state_bits.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace trazvik::sim::test {

inline Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline void putLe(Bytes& b, std::uint64_t v, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A 16-byte record: name, argument bytes, blanks.
inline Bytes record(const std::string& name, const Bytes& args = {}) {
  Bytes b = bytesOf(name);
  b.insert(b.end(), args.begin(), args.end());
  b.resize(16, ' ');
  return b;
}

// The wide move at protocol level 7: speed code bits 12-15 in F's upper
// nibble, bits 8-11 on top of Z, the low byte in S.
inline Bytes wideMove(char op, std::int64_t dx, std::int64_t dy, std::int64_t dz, int multiplier,
                      std::uint32_t code = 65535) {
  Bytes b{static_cast<std::uint8_t>(op)};
  std::uint8_t flags = 0;
  if (dx <= 0) flags |= 1;
  if (dy <= 0) flags |= 2;
  if (dz <= 0) flags |= 4;
  flags |= static_cast<std::uint8_t>(((code >> 12) & 0xF) << 4);
  b.push_back(flags);
  const double len = std::sqrt(double(dx * dx + dy * dy + dz * dz));
  std::int64_t l = multiplier * static_cast<std::int64_t>(std::nearbyint(len + 0.5));
  if (l < 10) l = 10;
  putLe(b, static_cast<std::uint64_t>(l), 3);
  putLe(b, static_cast<std::uint64_t>(std::llabs(dx)), 3);
  putLe(b, static_cast<std::uint64_t>(std::llabs(dy)), 3);
  putLe(b, (static_cast<std::uint64_t>(std::llabs(dz)) & 0xFFFFF) | (std::uint64_t((code >> 8) & 0xF) << 20), 3);
  b.push_back(static_cast<std::uint8_t>(code & 0xFF));
  return b;
}

inline Bytes slot(char op, std::uint8_t n, std::uint32_t code) {
  Bytes b{static_cast<std::uint8_t>(op), n};
  putLe(b, code, 4);
  return b;
}

// "YFB 32" with firmware 7.20: the 6.35 row (tick 0.0125 x 2, multiplier 2,
// 10 steps per 0.01 mm), wide command set, one head.
inline SimMachine yfb32() {
  SimMachine m;
  m.model.machineType = "YFB 32";
  auto& p = m.model.machineParams;
  p.tickScale = 2;
  p.timerTick = 0.025;
  p.speedMultiplier = 2;
  p.axisFactorX = p.axisFactorY = p.axisFactorZ = 10;
  p.knifeStepsPerTurn = 1;
  p.maxFeedXY = p.maxWorkFeed = p.maxTravelFeed = p.maxFeedZ = p.maxSmoothFeed = 5000;
  p.minFeed = 1;
  p.usbGeneration = 1;
  p.wideCommandSet = 1;
  p.headCount = 1;
  p.displayDecimals = 3;
  m.model.commandLengths.applyWideCommandSet();
  m.model.commandLengths.applyProtocolLevel(7);
  m.link.cncMachine = true;
  m.link.protocolLevel = 7;
  m.link.firmwareMinor = 20;
  m.link.workArea = {1000, 600, 120};
  m.link.secondWorkArea = m.link.workArea;
  return m;
}

// Speed code of 5000 mm/min on that machine: 1e6 / 10 / (10000 * 100 / 60) / 0.025.
inline constexpr std::uint32_t yfbCode5000 = 240;

inline bool bit(std::uint64_t word, int n) { return (word >> n) & 1u; }

}  // namespace trazvik::sim::test
