#include "machine/commands_immediate.h"

namespace trazvik {

Bytes letterCommand(char letter) { return Bytes{static_cast<std::uint8_t>(letter)}; }

Bytes homeCommand(std::uint8_t mask) { return Bytes{'B', mask}; }

Bytes workZeroXYCommand(std::int32_t x, std::int32_t y, const tCommandSet& set) {
  Bytes b{'U'};
  if (set.cncMachine) {
    appendBytes(b, packInt32(x));
    appendBytes(b, packInt32(y));
  } else {
    appendBytes(b, packInt24(x));
    appendBytes(b, packInt24(y));
  }
  return b;
}

Bytes workZeroZCommand(std::int32_t z, const tCommandSet& set) {
  Bytes b{'N'};
  if (set.cncMachine || set.headCount >= 2)
    appendBytes(b, packInt32(z));
  else
    appendBytes(b, packInt24(z));
  return b;
}

Bytes headZeroCommand(std::uint32_t head, std::int32_t z) {
  Bytes b{'S', 'N'};
  appendBytes(b, packInt32(static_cast<std::int32_t>(head)));
  appendBytes(b, packInt32(z));
  return b;
}

Bytes headOffsetCommand(std::int32_t x, std::int32_t y) {
  Bytes b{'S', '3', 'o'};
  appendBytes(b, packInt32(x));
  appendBytes(b, packInt32(y));
  return b;
}

Bytes machineParameterByteCommand(std::uint8_t code, std::uint8_t value) {
  return Bytes{'S', kMachineParameterCode, code, value};
}

std::array<Bytes, 4> machineParameterCommands(std::uint8_t code, std::uint32_t value) {
  std::array<Bytes, 4> out;
  for (std::uint8_t i = 0; i < 4; ++i)
    out[i] =
        machineParameterByteCommand(static_cast<std::uint8_t>(code + i), static_cast<std::uint8_t>(value >> (8 * i)));
  return out;
}

Bytes controllerAddressCommand(const std::array<std::uint8_t, 4>& octets) {
  Bytes b{'S', 'I', 'P'};
  b.insert(b.end(), octets.begin(), octets.end());
  return b;
}

Bytes secondYShiftCommand(std::int32_t steps) {
  Bytes b{'S', 'y', 0x02};
  appendBytes(b, packInt32(steps));
  return b;
}

Bytes toolMeasureCommand() { return Bytes{'S', 'U'}; }

Bytes spindleWaitCommand() { return Bytes{'S', 'f', 'w'}; }

Bytes ethernetStatusQuery() { return Bytes{'S', 'X'}; }

Bytes legacyQuery(char letter) { return letterCommand(letter); }

Bytes legacyQuery(char letter, std::uint8_t argument) { return Bytes{static_cast<std::uint8_t>(letter), argument}; }

}  // namespace trazvik
