#include "machine/commands_basic.h"

#include <cmath>

namespace trazvik {

namespace {
Bytes withOpcode(char letter, CommandForm form) { return Bytes{static_cast<std::uint8_t>(opcode(letter, form))}; }
}  // namespace

Bytes loadSlotCommand(std::uint8_t slot, std::uint32_t code, const tCommandSet& set, CommandForm form) {
  Bytes b = withOpcode('v', form);
  b.push_back(slot);
  if (set.wide)
    appendBytes(b, packInt32(static_cast<std::int32_t>(code)));
  else
    appendBytes(b, packWord(static_cast<std::uint16_t>(code)));
  return b;
}

Bytes selectSlotCommand(std::uint8_t slot, CommandForm form) {
  Bytes b = withOpcode('f', form);
  b.push_back(slot);
  return b;
}

Bytes pauseCommand(std::uint8_t milliseconds, CommandForm form) {
  Bytes b = withOpcode('p', form);
  b.push_back(milliseconds);
  return b;
}

Bytes longPause(std::uint32_t seconds, CommandForm form) {
  Bytes b;
  std::uint64_t remaining = std::uint64_t{seconds} * 1000;
  while (remaining > 255) {
    appendBytes(b, std::array<std::uint8_t, 2>{static_cast<std::uint8_t>(opcode('p', form)), 255});
    remaining -= 255;
  }
  if (remaining > 0) {
    const Bytes rest = pauseCommand(static_cast<std::uint8_t>(remaining), form);
    b.insert(b.end(), rest.begin(), rest.end());
  }
  return b;
}

Bytes outputsCommand(std::uint8_t state, std::uint8_t mask, CommandForm form) {
  Bytes b = withOpcode('r', form);
  b.push_back(state);
  b.push_back(mask);
  return b;
}

Bytes powerCommand(std::uint8_t channel, std::uint32_t value, const tCommandSet& set, CommandForm form) {
  Bytes b = withOpcode('t', form);
  b.push_back(channel);
  if (set.protocolLevel < 6)
    b.push_back(static_cast<std::uint8_t>(value));
  else
    appendBytes(b, packInt32(static_cast<std::int32_t>(value)));
  return b;
}

Bytes smoothingCommand(bool on, CommandForm form) {
  Bytes b = withOpcode('s', form);
  b.push_back(on ? 1 : 0);
  return b;
}

Bytes segmentLimitCommand(std::uint16_t code) {
  Bytes b{'l'};
  appendBytes(b, packWord(code));
  return b;
}

Bytes headZReferenceCommand(std::uint32_t steps) {
  Bytes b{'n'};
  appendBytes(b, packInt32(static_cast<std::int32_t>(steps)));
  return b;
}

std::uint32_t headZReferenceSteps(double headZeroHundredths, const tCommandSet& set) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::nearbyint(headZeroHundredths * set.axisFactorZ)));
}

}  // namespace trazvik
