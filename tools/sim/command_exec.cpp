// What the simulated controller does with each command: immediate commands at
// once (motions queued behind each other), job commands into the job buffer
// and, once the job runs, one after the other in simulated time.
#include "controller.h"

#include "job/command_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trazvik::sim {

namespace {

constexpr double homingFeedMmPerMin = 3000;
constexpr double probeFeedMmPerMin = 300;

}  // namespace

// ----- motions -----

double SimController::slotPeriod() const {
  const auto& p = machine_.model.machineParams;
  const std::int32_t code = st_.speedSlots[st_.selectedSpeedSlot % 6];
  if (code > 0 && code < 65535) return code;
  // No usable speed in the slot: move at the machine's highest feed.
  const double feed = (p.maxFeedXY > 0 ? p.maxFeedXY : 1000) * std::max(1, p.speedMultiplier);
  const double b = feed * 100 / 60;
  const double tick = p.timerTick > 0 ? p.timerTick : 1;
  const double f = p.wideCommandSet && p.axisFactorX > 0 ? p.axisFactorX : 1;
  return std::max(1.0, 1e6 / f / b / tick);
}

Motion SimController::moveMotion(const tDecodedCommand& d, TraceSource source) const {
  Motion m;
  m.source = source;
  m.head = st_.selectedHead;
  m.delta[axisX] = d.delta.dx;
  m.delta[axisY] = d.delta.dy;
  m.delta[st_.thirdAxisMode == 4 ? axisV : axisZ] = d.delta.dz;
  m.periodCode = slotPeriod();
  const double tick = machine_.model.machineParams.timerTick > 0 ? machine_.model.machineParams.timerTick : 1;
  double length = d.pathLength;
  // A knife turn on its own: the turn itself is the path.
  if (st_.thirdAxisMode == 4 && d.delta.dx == 0 && d.delta.dy == 0) length = std::max(10, std::abs(d.delta.dz));
  m.durationUs = std::max(length, 1.0) * m.periodCode * tick;
  return m;
}

// The move after "SBS" burns the line received: its Z field carries the
// number of pixels (it moves no axis).
Motion SimController::engravingMotion(const tDecodedCommand& d) {
  Motion m = moveMotion(d, TraceSource::immediate);
  const auto& p = machine_.model.machineParams;
  auto pass = std::make_shared<RasterPass>();
  pass->count = std::abs(d.delta.dz);
  pass->bytes = std::move(st_.rasterArmedLine);
  pass->greyMapped = st_.rasterGreyMapped;
  pass->blackPercent = st_.rasterBlack;
  pass->whitePercent = st_.rasterWhite;
  pass->fullPower = machine_.link.laserFullPower > 0 ? machine_.link.laserFullPower : 255;
  m.delta[axisZ] = m.delta[axisV] = 0;
  m.raster = std::move(pass);
  st_.rasterArmedLine.clear();
  st_.rasterArmed = false;
  (void)p;
  return m;
}

Motion SimController::homingMotion(std::uint8_t mask) const {
  const auto& p = machine_.model.machineParams;
  Motion m;
  m.kind = MotionKind::homing;
  m.source = TraceSource::homing;
  m.head = st_.selectedHead;
  const bool check = (mask & 0x80) != 0;
  const std::array<double, 3> factor{p.axisFactorX, p.axisFactorY, p.axisFactorZ};
  const std::array<double, 3> now{st_.x, st_.y, st_.z[static_cast<std::size_t>(st_.selectedHead)]};
  double longestMm = 0;
  for (int axis = 0; axis < 3; ++axis) {
    if (!(mask & (1 << axis))) continue;
    const auto a = static_cast<std::size_t>(axis);
    const bool knife = axis == axisZ && st_.thirdAxisMode == 4;
    const int target = knife ? axisV : axis;
    const double from = knife ? st_.v : now[a];
    m.delta[static_cast<std::size_t>(target)] = -from;
    if (factor[a] > 0 && !knife) longestMm = std::max(longestMm, std::abs(from) / (100 * factor[a]));
    if (check && !knife)
      m.finalPosition[a] = std::round((config_.baseDeviationMm[a] + lostStepsMm_[a]) * 100 * factor[a]);
    else
      m.finalPosition[static_cast<std::size_t>(target)] = 0;
  }
  // Each axis approaches its switch; the slowest takes the time, plus the
  // slow final approach.
  m.durationUs = longestMm / (homingFeedMmPerMin / 60) * 1e6 + 200000;
  return m;
}

Motion SimController::probeMotion() const {
  const double fz = machine_.model.machineParams.axisFactorZ;
  Motion m;
  m.kind = MotionKind::probe;
  m.source = TraceSource::probe;
  m.head = st_.selectedHead;
  const double z = st_.z[static_cast<std::size_t>(st_.selectedHead)];
  const auto head = static_cast<std::size_t>(st_.selectedHead);
  double touchMm = head < config_.headProbeTouchMm.size() ? config_.headProbeTouchMm[head] : config_.probeTouchMm;
  if (config_.tableSurface) {
    const double fx = machine_.model.machineParams.axisFactorX, fy = machine_.model.machineParams.axisFactorY;
    const double x = fx > 0 ? st_.x / (100 * fx) : 0, y = fy > 0 ? st_.y / (100 * fy) : 0;
    touchMm = config_.tableSurface->heightAt(x, y, config_.workArea[0], config_.workArea[1]);
  }
  const double touch = std::round(touchMm * 100 * fz);
  if (fz > 0 && z > touch) {
    m.delta[axisZ] = touch - z;
    m.durationUs = (z - touch) / (100 * fz) / (probeFeedMmPerMin / 60) * 1e6;
  } else {
    m.durationUs = 10000;
  }
  return m;
}

Motion SimController::dwellMotion(double ms, TraceSource source) const {
  Motion m;
  m.kind = MotionKind::dwell;
  m.source = source;
  m.head = st_.selectedHead;
  m.durationUs = ms * 1000;
  return m;
}

// A cubic Bezier segment from the records "sWA" to "sWD" (control points
// relative to where the tool stands), followed as straight chords short
// enough that the trace stays within half a step of the curve.
void SimController::bezierMotions(std::deque<Motion>& out) {
  const auto& pts = bezier_;
  // A chord of a cubic strays from it by at most 3/4 of the control
  // polygon's largest second difference over the square of the chords.
  double bend = 0;
  for (std::size_t k = 0; k < 3; ++k) {
    bend = std::max(bend, std::fabs(double(pts[0][k]) - 2.0 * pts[1][k] + pts[2][k]));
    bend = std::max(bend, std::fabs(double(pts[1][k]) - 2.0 * pts[2][k] + pts[3][k]));
  }
  const int chords = std::clamp(static_cast<int>(std::ceil(std::sqrt(0.75 * std::sqrt(3.0) * bend / 0.5))), 1, 4096);
  std::array<double, 3> previous{0, 0, 0};
  const double tick = machine_.model.machineParams.timerTick > 0 ? machine_.model.machineParams.timerTick : 1;
  const int m = std::max(1, machine_.model.machineParams.speedMultiplier);
  for (int i = 1; i <= chords; ++i) {
    const double t = static_cast<double>(i) / chords, u = 1 - t;
    std::array<double, 3> p{};
    for (std::size_t k = 0; k < 3; ++k)
      p[k] = std::round(u * u * u * pts[0][k] + 3 * u * u * t * pts[1][k] + 3 * u * t * t * pts[2][k] +
                        t * t * t * pts[3][k]);
    Motion chord;
    chord.source = TraceSource::job;
    chord.head = st_.selectedHead;
    chord.delta[axisX] = p[0] - previous[0];
    chord.delta[axisY] = p[1] - previous[1];
    chord.delta[st_.thirdAxisMode == 4 ? axisV : axisZ] = p[2] - previous[2];
    const double dz = p[2] - previous[2];
    const double len =
        std::sqrt(chord.delta[axisX] * chord.delta[axisX] + chord.delta[axisY] * chord.delta[axisY] + dz * dz);
    chord.periodCode = slotPeriod();
    chord.durationUs = std::max(1.0, m * len) * chord.periodCode * tick;
    out.push_back(chord);
    previous = p;
  }
}

// ----- executing one command -----

void SimController::executeImmediate(const Command& c) {
  const tDecodedCommand d = decodeCommand(c, set_);
  switch (d.kind) {
    // Job control and the stop of a manual move act at once.
    case CommandKind::stopManualMotion: stopManualMotion(); break;
    case CommandKind::holdJob: holdJob(); break;
    case CommandKind::continueJob: continueJob(); break;
    case CommandKind::startStoredJob: goJob(); break;
    case CommandKind::clearJob: clearJob(); break;
    case CommandKind::move:
    case CommandKind::home:
    case CommandKind::probe:
    case CommandKind::pause:
    case CommandKind::spindleWait: immediateQueue_.push_back(c); break;
    case CommandKind::unknown:
      // The pixels of the next line are taken in while the machine
      // still moves: their announcement acts at once.
      if (d.bytes.size() >= 3 && std::memcmp(d.bytes.data(), "SBD", 3) == 0) {
        rasterCommand(d.bytes);
        break;
      }
      [[fallthrough]];
    default: {
      // Everything else takes effect in the order sent: behind the
      // manual motions still waiting or running.
      const bool manualMotionPending = !immediateQueue_.empty() || !immediateMotions_.empty() ||
                                       (executor_.busy() && executor_.current()->source != TraceSource::job);
      if (manualMotionPending)
        immediateQueue_.push_back(c);
      else
        execute(d, false);
      break;
    }
  }
}

// Commands that take effect at once, in a job as well as on their own.
void SimController::execute(const tDecodedCommand& d, bool inJob) {
  auto& motions = inJob ? jobMotions_ : immediateMotions_;
  const TraceSource source = inJob ? TraceSource::job : TraceSource::immediate;
  switch (d.kind) {
    case CommandKind::move:
      motions.push_back(st_.rasterArmed && !inJob ? engravingMotion(d) : moveMotion(d, source));
      break;
    case CommandKind::pause: motions.push_back(dwellMotion(d.value, source)); break;
    case CommandKind::loadSlot:
      if (d.number < 6) st_.speedSlots[d.number] = static_cast<std::int32_t>(d.value);
      break;
    case CommandKind::selectSlot:
      if (d.number < 6) st_.selectedSpeedSlot = d.number;
      break;
    case CommandKind::outputs: setOutputs(d.number != 0, d.mask); break;
    case CommandKind::power:
      if (d.number < 6) {
        st_.powerSlots[d.number] = static_cast<std::uint16_t>(std::min<std::uint32_t>(d.value, 65535));
        st_.selectedPowerSlot = d.number;
      }
      break;
    case CommandKind::smoothing: st_.smoothing = d.number == 1; break;
    case CommandKind::segmentLimit: break;  // the simulated motion does not plan corners
    case CommandKind::headZReference:
      st_.headZeros[static_cast<std::size_t>(st_.selectedHead)] = static_cast<std::int32_t>(d.value);
      break;
    case CommandKind::thirdAxis: st_.thirdAxisMode = d.number == 4 ? 4 : 0; break;
    case CommandKind::headZ: st_.selectedHead = d.number == 4 ? 2 : d.number == 2 ? 1 : 0; break;
    case CommandKind::laserPulseTime:
    case CommandKind::pulseTimeEcho: st_.laserPulseMs = static_cast<std::int32_t>(d.value); break;
    case CommandKind::laserPulse: motions.push_back(dwellMotion(std::max(0, st_.laserPulseMs), source)); break;
    case CommandKind::laserOn: st_.beamOn = true; break;
    case CommandKind::laserOff: st_.beamOn = false; break;
    case CommandKind::bezierPoint:
      if (d.number >= 'A' && d.number <= 'D') bezier_[d.number - 'A'] = {d.x, d.y, d.z};
      break;
    case CommandKind::bezierExecute: bezierMotions(motions); break;
    case CommandKind::bezierStep:
    case CommandKind::bezierStepCount:
    case CommandKind::bezierJoin: break;  // the chords of bezierMotions do without
    case CommandKind::jobEnd:
      if (inJob) endSeen_ = true;
      break;
    case CommandKind::spindleWait:  // the job's record "sfw": the spindle runs up
      motions.push_back(dwellMotion(500, source));
      break;
    case CommandKind::acceleration: st_.acceleration = static_cast<std::int32_t>(d.value); break;
    case CommandKind::workZeroXY:
      st_.zeroPoint[0] = d.x;
      st_.zeroPoint[1] = d.y;
      break;
    case CommandKind::workZeroZ: st_.zeroPoint[2] = d.z; break;
    case CommandKind::headZero:
      if (d.value < 3) st_.headZeros[d.value] = d.z;
      break;
    case CommandKind::headOffset: st_.headOffset = {d.x, d.y}; break;
    case CommandKind::machineParameter: st_.parameters[d.number] = d.mask; break;
    case CommandKind::controllerAddress: st_.address = d.octets; break;
    case CommandKind::secondYShift: break;  // the simulated gantry has one Y
    case CommandKind::toolMeasure: st_.toolMeasureArmed = true; break;
    case CommandKind::stateQuery:
    case CommandKind::legacyQuery:
    case CommandKind::ethernetStatusQuery: break;
    case CommandKind::unknown:
      if (!rasterCommand(d.bytes)) ++counters_.unknownCommands;
      break;
    default: ++counters_.unknownCommands; break;
  }
}

// Raster engraving: "SBB" starts it, "SBE" ends it, "SBV" sets the powers
// of black and white for grey levels, "SBD" announces the packets of pixels
// of one line, which follow as plain data, and "SBS" makes the next move
// burn them.
bool SimController::rasterCommand(const Command& c) {
  auto is = [&c](const char* name) { return c.size() >= 3 && std::memcmp(c.data(), name, 3) == 0; };
  auto number = [&c](std::size_t at) {
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < 4 && at + i < c.size(); ++i) n |= std::uint32_t{c[at + i]} << (8 * i);
    return n;
  };
  if (is("SBB")) {
    st_.raster = true;
  } else if (is("SBE")) {
    st_.raster = false;
    st_.rasterArmed = false;
    st_.rasterDataPackets = 0;
    st_.rasterLines.clear();
  } else if (is("SBD")) {
    st_.rasterLines.emplace_back();
    st_.rasterDataPackets = static_cast<int>(std::min<std::uint32_t>(number(3), 1u << 20));
  } else if (is("SBV")) {
    const std::uint32_t black = number(3), white = number(7);
    std::memcpy(&st_.rasterBlack, &black, sizeof black);
    std::memcpy(&st_.rasterWhite, &white, sizeof white);
    st_.rasterGreyMapped = true;
  } else if (is("SBS")) {
    st_.rasterArmed = st_.raster;
    st_.rasterArmedLine.clear();
    if (!st_.rasterLines.empty()) {
      st_.rasterArmedLine = std::move(st_.rasterLines.front());
      st_.rasterLines.pop_front();
    }
  } else {
    return false;
  }
  return true;
}

void SimController::setOutputs(bool on, std::uint8_t mask) {
  auto engage = [&](int head) { st_.headEngaged[static_cast<std::size_t>(head)] = on; };
  if (mask == 0x81)
    st_.dustExtraction = on;
  else if (mask == 0x82)
    st_.vacuumPump = on;
  else if (mask == 0x90)
    engage(0);
  else if (mask == 0xA0)
    engage(1);
  else if (mask == 0xC0 && layout_.headCount >= 2)
    engage(2);
  else
    st_.outputs = on ? (st_.outputs | mask) : (st_.outputs & static_cast<std::uint8_t>(~mask));
  // The tool output in use names the power slot that drives it.
  if (on && mask >= 1 && mask <= 3) st_.selectedPowerSlot = mask;
}

void SimController::executeJobCommand(const Command& c) {
  executedJob_.push_back(c);
  execute(decodeCommand(c, set_), true);
}

// ----- job control -----

void SimController::holdJob() {
  if (!st_.jobRunning) return;
  if (executor_.busy() && executor_.current()->source == TraceSource::job)
    heldJobMotion_ = executor_.interrupt(st_, trace_);
  st_.jobRunning = false;
  st_.jobPaused = true;
  st_.heldForEmptyBuffer = false;
}

void SimController::continueJob() {
  if (!st_.jobPaused) return;
  st_.jobPaused = false;
  st_.jobRunning = true;
  emptyForUs_ = 0;
}

void SimController::goJob() {
  if (st_.jobRunning || !job_.rewind()) return;
  jobMotions_.clear();
  heldJobMotion_.reset();
  st_.jobRunning = true;
  st_.jobPaused = false;
  st_.heldForEmptyBuffer = false;
  jobEnded_ = false;
  endSeen_ = false;
  emptyForUs_ = 0;
}

void SimController::clearJob() {
  if (executor_.busy() && executor_.current()->source == TraceSource::job) executor_.interrupt(st_, trace_);
  job_.clear();
  jobMotions_.clear();
  heldJobMotion_.reset();
  st_.jobRunning = st_.jobPaused = st_.heldForEmptyBuffer = false;
  jobEnded_ = endSeen_ = false;
}

void SimController::stopManualMotion() {
  if (executor_.busy() && executor_.current()->source != TraceSource::job) executor_.interrupt(st_, trace_);
  immediateQueue_.clear();
  immediateMotions_.clear();
}

void SimController::endJob() {
  st_.jobRunning = st_.jobPaused = st_.heldForEmptyBuffer = false;
  jobEnded_ = true;
  endSeen_ = false;
  emptyForUs_ = 0;
  ++counters_.jobsEnded;
}

void SimController::startQueuedImmediate(const Command& c) {
  const tDecodedCommand d = decodeCommand(c, set_);
  switch (d.kind) {
    case CommandKind::home: {
      const auto mask = static_cast<std::uint8_t>(d.number);
      immediateMotions_.push_back(homingMotion(mask));
      // Homing finds each axis's switch anew: the counted position is true again.
      if (!(mask & 0x80))
        for (std::size_t a = 0; a < lostStepsMm_.size(); ++a)
          if ((mask & (1u << a)) && !(a == axisZ && st_.thirdAxisMode == 4)) lostStepsMm_[a] = 0;
      break;
    }
    case CommandKind::probe: immediateMotions_.push_back(probeMotion()); break;
    case CommandKind::spindleWait:
      immediateMotions_.push_back(dwellMotion(500, TraceSource::immediate));  // spindle run-up
      break;
    default: execute(d, false); break;
  }
}

// ----- the clock -----

void SimController::runFor(double us) {
  simulatedUs_ += us;
  for (int guard = 0; guard < 1000000; ++guard) {
    if (executor_.busy()) {
      us = executor_.advance(us, st_, trace_);
      if (executor_.busy()) return;
      continue;
    }
    if (st_.jobRunning) {
      if (heldJobMotion_) {
        executor_.start(*heldJobMotion_, st_);
        heldJobMotion_.reset();
        continue;
      }
      if (!jobMotions_.empty()) {
        executor_.start(jobMotions_.front(), st_);
        jobMotions_.pop_front();
        continue;
      }
      if (endSeen_) {
        endJob();
        continue;
      }
      if (auto c = job_.next()) {
        st_.heldForEmptyBuffer = false;
        emptyForUs_ = 0;
        executeJobCommand(*c);
        continue;
      }
      // The buffer ran empty before the job's end: hold until more arrives.
      st_.heldForEmptyBuffer = true;
      if (!layout_.wideCommandSet) {
        emptyForUs_ += us;
        if (emptyForUs_ >= config_.emptyBufferEndMs * 1000) {
          endJob();
          continue;
        }
      }
      return;
    }
    if (!immediateMotions_.empty()) {
      executor_.start(immediateMotions_.front(), st_);
      immediateMotions_.pop_front();
      continue;
    }
    if (!immediateQueue_.empty()) {
      const Command c = immediateQueue_.front();
      immediateQueue_.pop_front();
      startQueuedImmediate(c);
      continue;
    }
    return;
  }
}

}  // namespace trazvik::sim
