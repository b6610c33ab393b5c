#include "machine/commands_records.h"

#include <cmath>

namespace trazvik {

namespace {
Bytes u32Bytes(std::uint32_t v) {
  Bytes b;
  appendBytes(b, packInt32(static_cast<std::int32_t>(v)));
  return b;
}
}  // namespace

Bytes record16(std::string_view name, const Bytes& arguments, CommandForm form) {
  Bytes b(name.begin(), name.end());
  if (!b.empty()) b[0] = static_cast<std::uint8_t>(opcode(static_cast<char>(b[0]), form));
  b.insert(b.end(), arguments.begin(), arguments.end());
  b.resize(kRecordLength, ' ');
  return b;
}

Bytes thirdAxisRecord(std::uint8_t mode, CommandForm form) { return record16("s3v", {mode}, form); }

Bytes headZRecord(std::uint8_t headBit, CommandForm form) { return record16("s3z", {headBit}, form); }

std::uint8_t headBitOf(int headIndex) { return headIndex == 1 ? 2 : headIndex == 2 ? 4 : 1; }

Bytes laserPulseTimeRecord(std::uint32_t ms, CommandForm form) { return record16("sLT", u32Bytes(ms), form); }

Bytes laserPulseRecord(CommandForm form) { return record16("sLP", {}, form); }

Bytes pulseTimeEchoRecord(std::uint32_t ms, CommandForm form) { return record16("sP", u32Bytes(ms), form); }

Bytes laserOnRecord(CommandForm form) { return record16("sLS", {}, form); }

Bytes laserOffRecord(CommandForm form) { return record16("sLC", {}, form); }

Bytes bezierPointRecord(char point, std::int32_t x, std::int32_t y, std::int32_t z) {
  const char name[] = {'s', 'W', point, '\0'};
  Bytes args;
  appendBytes(args, recordBytes12(x, y, z));
  return record16(name, args);
}

Bytes bezierStepRecord(double parameterStep) {
  Bytes args;
  appendBytes(args, singleBytes(static_cast<float>(parameterStep * 0.8)));
  return record16("sWU", args);
}

Bytes bezierStepCountRecord(double parameterStep) {
  const double steps = std::nearbyint(1.0 / (parameterStep * 0.8));
  const auto count = std::isfinite(steps) && std::abs(steps) < 2147483647.0 ? static_cast<std::int32_t>(steps)
                                                                            : std::int32_t{2147483647};
  return record16("sWL", u32Bytes(static_cast<std::uint32_t>(count)));
}

Bytes bezierJoinRecord(bool smooth) { return record16("sWG", u32Bytes(smooth ? 1 : 0)); }

Bytes bezierExecuteRecord() { return record16("sWW", {}); }

Bytes jobEndRecord() { return record16("SE", {}, CommandForm::immediate); }

Bytes accelerationRecord(std::uint32_t value) { return record16("SA", u32Bytes(value), CommandForm::immediate); }

}  // namespace trazvik
