#include "faults.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace trazvik::sim {

namespace {

std::optional<std::int64_t> parseInteger(const std::string& text) {
  std::int64_t v = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc{} || p != end) return std::nullopt;
  return v;
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// "DX[,DY[,DZ]]": up to three finite millimetre values, the missing ones 0.
bool parseShift(const std::string& text, std::array<double, 3>& shift) {
  shift = {0, 0, 0};
  if (text.empty()) return false;
  std::size_t start = 0;
  for (std::size_t axis = 0; axis < shift.size(); ++axis) {
    const std::size_t comma = text.find(',', start);
    const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const char* end = part.data() + part.size();
    auto [p, ec] = std::from_chars(part.data(), end, shift[axis]);
    if (part.empty() || ec != std::errc{} || p != end || !std::isfinite(shift[axis])) return false;
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
  return false;  // a fourth value
}

}  // namespace

std::optional<std::int64_t> parseAxes(const std::string& text) {
  if (auto n = parseInteger(text)) return n;
  static const std::map<std::string, std::int64_t> bits{{"X", 1}, {"Y1", 2}, {"Y", 2}, {"Z", 4}, {"Y2", 8}};
  std::int64_t mask = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::string name = upper(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    auto it = bits.find(name);
    if (it == bits.end()) return std::nullopt;
    mask |= it->second;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return mask;
}

std::optional<ScheduledFault> parseFault(const std::string& text, std::string& error) {
  static const std::map<std::string, FaultAction> names{
      {"start", FaultAction::pressStart},
      {"stop", FaultAction::pressStop},
      {"continue", FaultAction::pressContinue},
      {"request1", FaultAction::pressProgrammable1},
      {"request2", FaultAction::pressProgrammable2},
      {"overload", FaultAction::spindleOverload},
      {"driver-error", FaultAction::driverError},
      {"enclosure-open", FaultAction::openEnclosure},
      {"enclosure-closed", FaultAction::closeEnclosure},
      {"inverter-error", FaultAction::inverterError},
      {"buffer-full", FaultAction::holdBufferFull},
      {"drop", FaultAction::dropLink},
      {"stall", FaultAction::stall},
      {"wrong-echo", FaultAction::wrongEchoes},
      {"lost-echo", FaultAction::lostEchoes},
      {"split-echo", FaultAction::splitEchoes},
      {"short-status", FaultAction::shortStatus},
      {"garbage-status", FaultAction::garbageStatus},
      {"lost-steps", FaultAction::lostSteps},
      {"reset", FaultAction::reset},
  };
  ScheduledFault fault;
  std::string body = text;
  if (const auto at = body.rfind('@'); at != std::string::npos) {
    const auto n = parseInteger(body.substr(at + 1));
    if (!n || *n < 0) {
      error = "fault \"" + text + "\": the number after @ must be a command count";
      return std::nullopt;
    }
    fault.afterCommands = *n;
    body.resize(at);
  }
  std::string value;
  if (const auto eq = body.find('='); eq != std::string::npos) {
    value = body.substr(eq + 1);
    body.resize(eq);
  }
  const auto it = names.find(body);
  if (it == names.end()) {
    error = "unknown fault \"" + body + "\"";
    return std::nullopt;
  }
  fault.action = it->second;
  if (fault.action == FaultAction::lostSteps) {
    if (!parseShift(value, fault.shiftMm)) {
      error = "fault \"" + text + "\": lost-steps needs DX[,DY[,DZ]] in mm, for example 0.2,0,0";
      return std::nullopt;
    }
    return fault;
  }
  if (value.empty()) {
    // A driver error without axes is an error of X; counters mean "once".
    fault.value = 1;
    return fault;
  }
  const auto parsed = fault.action == FaultAction::driverError ? parseAxes(value) : parseInteger(value);
  if (!parsed) {
    error = "fault \"" + text + "\": bad value \"" + value + "\"";
    return std::nullopt;
  }
  fault.value = *parsed;
  return fault;
}

bool takeFault(int& counter) {
  if (counter == 0) return false;
  if (counter > 0) --counter;
  return true;
}

}  // namespace trazvik::sim
