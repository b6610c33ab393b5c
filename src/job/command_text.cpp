// The readable form of decoded commands: one line each, used by the dump
// command of the CLI and by the job writer's golden tests.
#include "job/command_decoder.h"
#include "machine/speed_code.h"

#include <cstdio>
#include <sstream>

namespace trazvik {

namespace {

std::string format(const char* fmt, auto... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

std::string mm(std::int32_t steps, double factor) {
  if (factor == 0) return "-";
  return format("%+.3f", steps / factor / 100.0);
}

const char* slotName(unsigned slot) {
  static const char* names[] = {"travel", "working", "manual", "auxiliary", "drilling", "drilling retract"};
  return slot < 6 ? names[slot] : "no such slot";
}

std::string feedText(std::uint32_t code, const tCommandSet& set) {
  auto feed = feedOfSpeedCode(code, set);
  return feed ? format("%.1f mm/min", *feed) : std::string("no speed");
}

std::string maskText(std::uint8_t mask) {
  switch (mask) {
    case 0x01: return "tool";
    case 0x02: return "second tool";
    case 0x03: return "both tools";
    case 0x81: return "dust extraction";
    case 0x82: return "vacuum pump";
    case 0x90: return "head 1";
    case 0xA0: return "head 2";
    case 0xC0: return "head 3 / lubrication";
    default: return format("mask 0x%02X", mask);
  }
}

std::string moveText(const tDecodedCommand& c, const tCommandSet& set) {
  std::string s = format("move dx=%+d dy=%+d dz=%+d L=%u", c.delta.dx, c.delta.dy, c.delta.dz, c.pathLength);
  if (set.wide) s += format(" code=%u", c.speedCode);
  s += " | X " + mm(c.delta.dx, set.axisFactorX) + " Y " + mm(c.delta.dy, set.axisFactorY);
  switch (c.thirdAxis) {
    case ThirdAxis::z: s += " Z " + mm(c.delta.dz, set.axisFactorZ) + " mm"; break;
    case ThirdAxis::headZ: s += format(" Z(head %d) ", c.head + 1) + mm(c.delta.dz, set.axisFactorZ) + " mm"; break;
    case ThirdAxis::knife: s += format(" mm, knife %+d steps", c.delta.dz); break;
  }
  if (set.wide) {
    s += c.speedCode == kNoSpeedCode ? ", end speed free" : ", end at " + feedText(c.speedCode, set);
    // Level 6 carries at most 4095, which also stands for "no speed".
    if (set.protocolLevel == 6 && c.speedCode == 4095) s += " or free (level-6 cap)";
  }
  return s;
}

std::string bodyText(const tDecodedCommand& c, const tCommandSet& set) {
  switch (c.kind) {
    case CommandKind::move: return moveText(c, set);
    case CommandKind::loadSlot:
      return format("load-slot slot=%u code=%u | %s feed ", c.number, c.value, slotName(c.number)) +
             feedText(c.value, set);
    case CommandKind::selectSlot: return format("select-slot slot=%u | %s feed", c.number, slotName(c.number));
    case CommandKind::pause: return format("pause ms=%u", c.value);
    case CommandKind::outputs:
      // Lubrication runs while its bits are clear.
      return format("outputs state=%u mask=0x%02X | %s ", c.number, c.mask, c.number ? "set" : "clear") +
             maskText(c.mask) + (c.mask == 0xC0 ? (c.number ? " off" : " on") : "");
    case CommandKind::power:
      return format("power channel=%u value=%u | %s", c.number, c.value,
                    c.number == 1   ? "working power (spindle speed or laser power)"
                    : c.number == 3 ? "idle or auxiliary power (laser idle, polishing spindle speed)"
                                    : "power channel");
    case CommandKind::smoothing:
      return format("smoothing on=%u | continuous-path smoothing %s", c.number, c.number ? "on" : "off");
    case CommandKind::segmentLimit:
      return format("segment-limit code=%u | ", c.value) + (c.value == 1 ? "no limit" : feedText(c.value, set));
    case CommandKind::headZReference:
      return format("head-z-reference steps=%d | Z ", std::int32_t(c.value)) +
             mm(std::int32_t(c.value), set.axisFactorZ) + " mm";
    case CommandKind::thirdAxis:
      return format("third-axis mode=%u | ", c.number) + (c.number == 4 ? "knife axis" : "Z axis");
    case CommandKind::headZ:
      return format("head-z bit=%u | Z of head %d", c.number, c.number == 4 ? 3 : c.number == 2 ? 2 : 1);
    case CommandKind::laserPulseTime: return format("laser-pulse-time ms=%u", c.value);
    case CommandKind::laserPulse: return "laser-pulse";
    case CommandKind::pulseTimeEcho: return format("pulse-time ms=%u", c.value);
    case CommandKind::laserOn: return "laser-on";
    case CommandKind::laserOff: return "laser-off";
    case CommandKind::bezierPoint:
      return format("bezier-point %c x=%d y=%d z=%d | X ", c.number, c.x, c.y, c.z) + mm(c.x, set.axisFactorX) + " Y " +
             mm(c.y, set.axisFactorY) + " Z " + mm(c.z, set.axisFactorZ) + " mm";
    case CommandKind::bezierStep: return format("bezier-step u=%.6g | parameter step x 0.8", double(c.step));
    case CommandKind::bezierStepCount: return format("bezier-steps n=%d", std::int32_t(c.value));
    case CommandKind::bezierJoin: return format("bezier-join smooth=%u", c.value);
    case CommandKind::bezierExecute: return "bezier-execute";
    case CommandKind::jobEnd: return "job-end";
    case CommandKind::acceleration: return format("acceleration value=%u", c.value);
    case CommandKind::stopManualMotion: return "stop-manual-motion";
    case CommandKind::holdJob: return "hold-job";
    case CommandKind::continueJob: return "continue-job";
    case CommandKind::startStoredJob: return "go";
    case CommandKind::clearJob: return "clear-job";
    case CommandKind::probe: return "probe";
    case CommandKind::stateQuery: return "state-query";
    case CommandKind::home:
      return format("home mask=0x%02X", c.number) + (c.number & 0x80 ? " | base check" : " | homing");
    case CommandKind::workZeroXY:
      return format("work-zero-xy x=%d y=%d | X ", c.x, c.y) + mm(c.x, set.axisFactorX) + " Y " +
             mm(c.y, set.axisFactorY) + " mm";
    case CommandKind::workZeroZ: return format("work-zero-z z=%d | Z ", c.z) + mm(c.z, set.axisFactorZ) + " mm";
    case CommandKind::headZero:
      return format("head-zero head=%u z=%d | Z ", c.value, c.z) + mm(c.z, set.axisFactorZ) + " mm";
    case CommandKind::headOffset:
      return format("head-offset x=%d y=%d | X ", c.x, c.y) + mm(c.x, set.axisFactorX) + " Y " +
             mm(c.y, set.axisFactorY) + " mm";
    case CommandKind::machineParameter: return format("machine-parameter code=%u byte=%u", c.number, c.mask);
    case CommandKind::controllerAddress:
      return format("controller-address %u.%u.%u.%u", c.octets[0], c.octets[1], c.octets[2], c.octets[3]);
    case CommandKind::secondYShift:
      return format("second-y-shift steps=%d | Y ", c.y) + mm(c.y, set.axisFactorY) + " mm";
    case CommandKind::toolMeasure: return "tool-measure";
    case CommandKind::spindleWait: return "spindle-wait";
    case CommandKind::ethernetStatusQuery: return "status-query";
    case CommandKind::legacyQuery:
      return c.bytes.size() >= 2 ? format("legacy-query arg=%u", c.number) : std::string("legacy-query");
    case CommandKind::unknown: break;
  }
  std::string hex;
  for (std::uint8_t b : c.bytes) hex += format(" %02X", b);
  return "bytes" + hex;
}

}  // namespace

std::string commandText(const tDecodedCommand& c, const tCommandSet& set) {
  std::string line = c.name + " " + bodyText(c, set);
  if (!c.problem.empty()) line += "  !! " + c.problem;
  return line;
}

std::string streamText(const std::vector<tDecodedCommand>& commands, const tCommandSet& set) {
  std::ostringstream out;
  for (const tDecodedCommand& c : commands) out << format("%06zu  ", c.offset) << commandText(c, set) << '\n';
  return out.str();
}

}  // namespace trazvik
