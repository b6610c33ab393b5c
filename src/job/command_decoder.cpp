#include "job/command_decoder.h"

#include "machine/byte_fields.h"

#include <algorithm>
#include <cstring>

namespace trazvik {

namespace {

struct RecordDef {
  const char* name;  // with lower-case first letter; "SE" and "SA" are upper only
  CommandKind kind;
};

constexpr RecordDef kRecords[] = {
    {"s3v", CommandKind::thirdAxis},
    {"s3z", CommandKind::headZ},
    {"sLT", CommandKind::laserPulseTime},
    {"sLP", CommandKind::laserPulse},
    {"sLS", CommandKind::laserOn},
    {"sLC", CommandKind::laserOff},
    {"sWA", CommandKind::bezierPoint},
    {"sWB", CommandKind::bezierPoint},
    {"sWC", CommandKind::bezierPoint},
    {"sWD", CommandKind::bezierPoint},
    {"sWU", CommandKind::bezierStep},
    {"sWL", CommandKind::bezierStepCount},
    {"sWG", CommandKind::bezierJoin},
    {"sWW", CommandKind::bezierExecute},
    {"sP", CommandKind::pulseTimeEcho},
    {"SE", CommandKind::jobEnd},
    {"SA", CommandKind::acceleration},
    // The job's spindle wait is a record; its immediate form "Sfw" is a
    // three-byte command of its own.
    {"sfw", CommandKind::spindleWait},
};

std::uint8_t upper(std::uint8_t c) { return (c >= 'a' && c <= 'z') ? c & 0xDF : c; }
bool isLower(std::uint8_t c) { return c >= 'a' && c <= 'z'; }

// The 16-byte record whose name the bytes start with.
const RecordDef* recordAt(std::span<const std::uint8_t> b) {
  for (const RecordDef& r : kRecords) {
    const std::size_t n = std::strlen(r.name);
    if (b.size() < n) continue;
    bool match = upper(b[0]) == upper(static_cast<std::uint8_t>(r.name[0]));
    for (std::size_t i = 1; match && i < n; ++i) match = b[i] == static_cast<std::uint8_t>(r.name[i]);
    // "SE" and "SA" exist only with the upper-case letter.
    if (match && r.name[0] == 'S' && b[0] != 'S') match = false;
    if (match && r.kind == CommandKind::spindleWait && b[0] != 's') match = false;
    if (match) return &r;
  }
  return nullptr;
}

std::size_t sCommandLength(std::span<const std::uint8_t> b) {
  if (b.size() < 2) return 0;
  if (recordAt(b)) return 16;
  if (b[0] == 'S') {
    switch (b[1]) {
      case 0x0D: return 4;
      case 'N': return 10;
      case 'I': return 7;
      case 'y': return 7;
      case 'U': return 2;
      case 'f': return 3;
      case 'X': return 2;
      case '3': return (b.size() >= 3 && b[2] == 'o') ? 11 : 0;
      default: break;
    }
  }
  return (b[1] == 0 || b[1] == 1) ? 2 : 0;  // smoothing off / on
}

}  // namespace

std::size_t layoutLength(std::span<const std::uint8_t> b, const tCommandSet& set) {
  if (b.empty()) return 0;
  const std::uint8_t c = b[0];
  switch (upper(c)) {
    case 'A': return set.wide ? 15 : 14;
    case 'V': return set.wide ? 6 : 4;
    case 'F':
    case 'P':
    case 'B':
    case 'H':
    case 'I': return 2;
    case 'R':
    case 'L': return 3;
    case 'T': return set.protocolLevel < 6 ? 3 : 6;
    case 'N':
      if (isLower(c)) return 5;
      return (set.cncMachine || set.headCount >= 2) ? 5 : 4;
    case 'U': return set.cncMachine ? 9 : 7;
    case 'S': return sCommandLength(b);
    case 'Y':
    case 'Q':
    case 'K':
    case 'G':
    case 'C':
    case 'W':
    case 'X':
    case 'E':
    case 'Z':
    case 'O':
    case 'J': return 1;
    default: return 0;
  }
}

namespace {

void parseMove(const ByteFields& f, const tCommandSet& set, tDecodedCommand& c) {
  c.kind = CommandKind::move;
  c.flags = *f.u8(1);
  c.pathLength = *f.u24(2);
  const std::uint32_t x = *f.u24(5), y = *f.u24(8), zField = *f.u24(11);
  std::uint32_t z = zField;
  if (set.wide) {
    const std::uint32_t s = *f.u8(14);
    if (set.protocolLevel >= 6) {
      z = zField & 0xFFFFF;
      c.speedCode = ((zField >> 20) << 8) | s;
      if (set.protocolLevel >= 7) c.speedCode |= std::uint32_t(c.flags >> 4) << 12;
    } else {
      c.speedCode = s * 16;
    }
  }
  auto signedOf = [&](std::uint32_t magnitude, int bit) {
    const auto m = static_cast<std::int32_t>(magnitude);
    return (c.flags & (1 << bit)) ? -m : m;
  };
  c.delta = {signedOf(x, 0), signedOf(y, 1), signedOf(z, 2)};
}

void parseRecord(const RecordDef& r, const ByteFields& f, std::span<const std::uint8_t> b, tDecodedCommand& c) {
  c.kind = r.kind;
  const std::size_t nameLength = std::strlen(r.name);
  c.name.assign(b.begin(), b.begin() + std::ptrdiff_t(nameLength));
  std::size_t used = nameLength;
  switch (r.kind) {
    case CommandKind::thirdAxis:
    case CommandKind::headZ:
      c.number = *f.u8(3);
      used = 4;
      break;
    case CommandKind::laserPulseTime:
    case CommandKind::bezierStepCount:
    case CommandKind::bezierJoin:
      c.value = *f.u32(3);
      used = 7;
      break;
    case CommandKind::pulseTimeEcho:
    case CommandKind::acceleration:
      c.value = *f.u32(2);
      used = 6;
      break;
    case CommandKind::bezierPoint:
      c.number = b[2];
      c.x = *f.i32(3);
      c.y = *f.i32(7);
      c.z = *f.i32(11);
      used = 15;
      break;
    case CommandKind::bezierStep:
      c.step = *f.f32(3);
      used = 7;
      break;
    default: break;
  }
  if (std::any_of(b.begin() + std::ptrdiff_t(used), b.end(), [](std::uint8_t v) { return v != ' '; }))
    c.problem = "record not padded with spaces";
}

void parseS(std::span<const std::uint8_t> b, const ByteFields& f, tDecodedCommand& c) {
  if (const RecordDef* r = recordAt(b)) return parseRecord(*r, f, b, c);
  switch (b[1]) {
    case 0:
    case 1:
      c.kind = CommandKind::smoothing;
      c.number = b[1];
      return;
    case 0x0D:
      c.kind = CommandKind::machineParameter;
      c.number = b[2];
      c.mask = b[3];
      c.name = "S\\x0D";
      return;
    case 'N':
      c.kind = CommandKind::headZero;
      c.value = *f.u32(2);
      c.z = *f.i32(6);
      c.name = "SN";
      return;
    case 'I':
      c.kind = CommandKind::controllerAddress;
      std::copy(b.begin() + 3, b.begin() + 7, c.octets.begin());
      c.name = "SIP";
      return;
    case 'y':
      c.kind = CommandKind::secondYShift;
      c.number = b[2];
      c.y = *f.i32(3);
      c.name = "Sy";
      return;
    case 'U':
      c.kind = CommandKind::toolMeasure;
      c.name = "SU";
      return;
    case 'f':
      c.kind = CommandKind::spindleWait;
      c.name = "Sfw";
      return;
    case 'X':
      c.kind = CommandKind::ethernetStatusQuery;
      c.name = "SX";
      return;
    case '3':
      c.kind = CommandKind::headOffset;
      c.x = *f.i32(3);
      c.y = *f.i32(7);
      c.name = "S3o";
      return;
    default: return;
  }
}

CommandKind letterKind(std::uint8_t c) {
  switch (c) {
    case 'Y': return CommandKind::stopManualMotion;
    case 'Q': return CommandKind::holdJob;
    case 'K': return CommandKind::continueJob;
    case 'G': return CommandKind::startStoredJob;
    case 'C': return CommandKind::clearJob;
    case 'W': return CommandKind::probe;
    case 'X': return CommandKind::stateQuery;
    case 'E':
    case 'Z':
    case 'O':
    case 'J':
    case 'H':
    case 'I': return CommandKind::legacyQuery;
    default: return CommandKind::unknown;
  }
}

// Fills the fields of a command whose bytes are complete for its layout.
void parseFields(std::span<const std::uint8_t> b, const tCommandSet& set, tDecodedCommand& c) {
  const ByteFields f(b);
  const std::uint8_t op = b[0];
  c.name = std::string(1, static_cast<char>(op));
  switch (upper(op)) {
    case 'A': return parseMove(f, set, c);
    case 'V':
      c.kind = CommandKind::loadSlot;
      c.number = b[1];
      c.value = set.wide ? *f.u32(2) : *f.u16(2);
      return;
    case 'F':
      c.kind = CommandKind::selectSlot;
      c.number = b[1];
      return;
    case 'P':
      c.kind = CommandKind::pause;
      c.value = b[1];
      return;
    case 'R':
      c.kind = CommandKind::outputs;
      c.number = b[1];
      c.mask = b[2];
      return;
    case 'T':
      c.kind = CommandKind::power;
      c.number = b[1];
      c.value = set.protocolLevel < 6 ? b[2] : *f.u32(2);
      return;
    case 'L':
      c.kind = CommandKind::segmentLimit;
      c.value = *f.u16(1);
      return;
    case 'N':
      if (isLower(op)) {
        c.kind = CommandKind::headZReference;
        c.value = *f.u32(1);
      } else {
        c.kind = CommandKind::workZeroZ;
        c.z = b.size() >= 5 ? *f.i32(1) : *f.i24(1);
      }
      return;
    case 'U':
      c.kind = CommandKind::workZeroXY;
      if (set.cncMachine) {
        c.x = *f.i32(1);
        c.y = *f.i32(5);
      } else {
        c.x = *f.i24(1);
        c.y = *f.i24(4);
      }
      return;
    case 'B':
      c.kind = CommandKind::home;
      c.number = b[1];
      return;
    case 'S': return parseS(b, f, c);
    default:
      c.kind = letterKind(upper(op));
      if (c.kind == CommandKind::legacyQuery && b.size() >= 2) c.number = b[1];
      return;
  }
}

void followThirdAxis(const tDecodedCommand& c, ThirdAxis& axis, int& head) {
  if (c.kind == CommandKind::thirdAxis) axis = c.number == 4 ? ThirdAxis::knife : ThirdAxis::z;
  if (c.kind == CommandKind::headZ) {
    axis = ThirdAxis::headZ;
    head = c.number == 4 ? 2 : c.number == 2 ? 1 : 0;
  }
}

tDecodedCommand decodeExact(std::span<const std::uint8_t> b, std::size_t offset, const tCommandSet& set) {
  tDecodedCommand c;
  c.offset = offset;
  c.bytes.assign(b.begin(), b.end());
  c.immediate = !isLower(b[0]);
  parseFields(b, set, c);
  if (c.kind == CommandKind::unknown && c.problem.empty()) c.problem = "no command of the language";
  return c;
}

}  // namespace

std::vector<tDecodedCommand> decodeCommandStream(std::span<const std::uint8_t> bytes, const tCommandSet& set,
                                                 const tCommandLengths& lengths) {
  std::vector<tDecodedCommand> out;
  ThirdAxis axis = ThirdAxis::z;
  int head = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto tableLength = lengths.of(bytes[at]);
    if (!tableLength) {
      tDecodedCommand c;
      c.offset = at;
      c.bytes = {bytes[at]};
      c.name = "?";
      c.problem = "byte starts no command";
      out.push_back(std::move(c));
      ++at;
      continue;
    }
    const std::size_t want = *tableLength;
    const auto rest = bytes.subspan(at);
    if (rest.size() < want) {
      tDecodedCommand c;
      c.offset = at;
      c.bytes.assign(rest.begin(), rest.end());
      c.name = std::string(1, static_cast<char>(bytes[at]));
      c.problem = "cut short: " + std::to_string(rest.size()) + " of " + std::to_string(want) + " bytes";
      out.push_back(std::move(c));
      break;
    }
    const auto cmd = rest.first(want);
    const std::size_t natural = layoutLength(cmd, set);
    tDecodedCommand c;
    if (natural == want) {
      c = decodeExact(cmd, at, set);
    } else {
      c.offset = at;
      c.bytes.assign(cmd.begin(), cmd.end());
      c.name = std::string(1, static_cast<char>(bytes[at]));
      c.immediate = !isLower(bytes[at]);
      c.problem = natural == 0 ? "no command of the language"
                               : "split as " + std::to_string(want) + " bytes by the length table; its layout takes " +
                                     std::to_string(natural);
    }
    c.thirdAxis = axis;
    c.head = head;
    followThirdAxis(c, axis, head);
    out.push_back(std::move(c));
    at += want;
  }
  return out;
}

tDecodedCommand decodeCommand(std::span<const std::uint8_t> message, const tCommandSet& set, ThirdAxis thirdAxis,
                              int head) {
  tDecodedCommand c;
  if (message.empty()) {
    c.problem = "empty message";
    return c;
  }
  const std::size_t natural = layoutLength(message, set);
  if (natural == 0 || natural > message.size()) {
    c.bytes.assign(message.begin(), message.end());
    c.name = std::string(1, static_cast<char>(message[0]));
    c.immediate = !isLower(message[0]);
    c.problem = natural == 0
                    ? "no command of the language"
                    : "cut short: " + std::to_string(message.size()) + " of " + std::to_string(natural) + " bytes";
    return c;
  }
  c = decodeExact(message.first(natural), 0, set);
  c.thirdAxis = thirdAxis;
  c.head = head;
  return c;
}

}  // namespace trazvik
