#include "controller.h"

#include "machine/state_bits.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace trazvik::sim {

namespace {

bool isLower(std::uint8_t b) { return b >= 'a' && b <= 'z'; }

std::uint64_t buttonBit(Button b) {
  switch (b) {
    case Button::start: return stateBit::mask(stateBit::startRequest);
    case Button::stop: return stateBit::mask(stateBit::stopRequest);
    case Button::continueJob: return stateBit::mask(stateBit::continueRequest);
    case Button::programmable1: return stateBit::mask(stateBit::programmableRequest1);
    case Button::programmable2: return stateBit::mask(stateBit::programmableRequest2);
  }
  return 0;
}

Bytes echoOf(const Command& c) {
  Bytes echo = c;
  if (!echo.empty() && isLower(echo[0])) echo[0] = static_cast<std::uint8_t>(echo[0] - 'a' + 'A');
  return echo;
}

}  // namespace

SimController::SimController(SimConfig config) : SimController(config, setupMachine(config)) {}

SimController::SimController(SimConfig config, SimMachine machine)
    : config_(std::move(config)),
      machine_(std::move(machine)),
      layout_(statusLayoutOf(machine_.model, machine_.link)),
      set_(commandSetOf(machine_.model, machine_.link)),
      executor_(AxisScale{machine_.model.machineParams.axisFactorX, machine_.model.machineParams.axisFactorY,
                          machine_.model.machineParams.axisFactorZ}),
      job_(config_.bufferBytes, config_.bufferHeadroom, config_.storageLimit) {
  st_.inputs = config_.inputs;
  st_.laser = machine_.model.machineParams.isLaser != 0;
  // Calibration factors 1.0 and no knife offset until the workstation writes them.
  const float one = 1.0f;
  std::uint32_t bits;
  std::memcpy(&bits, &one, sizeof bits);
  for (int axis = 0; axis < 3; ++axis)
    for (int i = 0; i < 4; ++i)
      st_.parameters[static_cast<std::size_t>(68 + 4 * axis + i)] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// ----- framing and link replies -----

std::vector<Command> SimController::frame(ByteView data, Bytes& pending) const {
  pending.insert(pending.end(), data.begin(), data.end());
  std::vector<Command> out;
  std::size_t at = 0;
  int pixelPackets = st_.rasterDataPackets;
  while (at < pending.size()) {
    const std::uint8_t op = pending[at];
    std::size_t len = pending.size() - at;
    // Pixel packets of a raster line travel alone and may begin with any byte.
    if (pixelPackets > 0) {
      --pixelPackets;
      len = std::min(len, kPixelsPerPacket);
      out.emplace_back(pending.begin() + static_cast<std::ptrdiff_t>(at),
                       pending.begin() + static_cast<std::ptrdiff_t>(at + len));
      at += len;
      continue;
    }
    // Job commands may come several to a packet; their length is fixed by
    // the opcode. Immediate commands travel alone, so the packet is one.
    if (isLower(op)) {
      const auto known = machine_.model.commandLengths.of(op);
      if (known && *known > len) break;  // the rest is still on its way
      if (known) len = *known;
    }
    out.emplace_back(pending.begin() + static_cast<std::ptrdiff_t>(at),
                     pending.begin() + static_cast<std::ptrdiff_t>(at + len));
    at += len;
  }
  pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
  return out;
}

PortResponse SimController::onCommandData(int connection, ByteView data) {
  std::lock_guard lock(mutex_);
  PortResponse response;
  if (stalled_) return response;
  for (const Command& c : frame(data, pendingBytes_[connection])) {
    if (st_.rasterDataPackets == 0 && c.size() >= 2 && c[0] == 'S' && c[1] == 'X') {
      response.pieces.push_back({statusReplyLocked(), {}});
      continue;
    }
    Bytes echo = echoOf(c);
    receiveCommand(c);
    if (takeFault(replyFaults_.lostEchoes)) continue;  // taken, but not echoed
    if (takeFault(replyFaults_.wrongEchoes)) {
      if (isLower(c[0]))
        echo[0] = c[0];  // the opcode not turned to upper case
      else
        echo.back() = static_cast<std::uint8_t>(echo.back() ^ 0x55);
    }
    if (echo.size() >= 2 && takeFault(replyFaults_.splitEchoes)) {
      const auto half = static_cast<std::ptrdiff_t>(echo.size() / 2);
      response.pieces.push_back({Bytes(echo.begin(), echo.begin() + half), {}});
      response.pieces.push_back({Bytes(echo.begin() + half, echo.end()), std::chrono::milliseconds(60)});
    } else {
      response.pieces.push_back({std::move(echo), {}});
    }
    if (dropRequested_) {
      dropRequested_ = false;
      response.close = true;
      break;
    }
    if (stalled_) break;
  }
  return response;
}

void SimController::onCommandClosed(int connection) {
  std::lock_guard lock(mutex_);
  pendingBytes_.erase(connection);
}

PortResponse SimController::onIdentityData(ByteView data) {
  PortResponse response;
  const std::string text(data.begin(), data.end());
  if (text.rfind("HTTP", 0) == 0 || text.rfind("GET", 0) == 0) response.pieces.push_back({identityReply(), {}});
  response.close = true;  // the workstation opens the identity connection for one exchange
  return response;
}

void SimController::onUsbPayload(ByteView payload) {
  std::lock_guard lock(mutex_);
  if (stalled_ || usbUnplugged_ || payload.empty()) return;
  Command c(payload.begin(), payload.end());
  // A report carries one command, zero-padded to 16 bytes, or a packet of pixels.
  if (st_.rasterDataPackets > 0)
    c.resize(std::min(c.size(), kPixelsPerPacket));
  else if (const std::size_t len = layoutLength(c, set_); len > 0 && len <= c.size())
    c.resize(len);
  receiveCommand(c);
}

Bytes SimController::usbReport(int index) {
  std::lock_guard lock(mutex_);
  const tControllerReports c = reportsLocked();
  Bytes body = encodeUsbReport(index, c, layout_);
  if (index == usbReport::status) {
    ++counters_.statusReplies;
    st_.requests = 0;  // a button press is reported once
    body = faultyStatus(std::move(body));
  }
  return body;
}

std::vector<Bytes> SimController::receivedCommands() const {
  std::lock_guard lock(mutex_);
  return {received_.begin(), received_.end()};
}

std::vector<Bytes> SimController::executedJobCommands() const {
  std::lock_guard lock(mutex_);
  return executedJob_;
}

void SimController::clearReceivedCommands() {
  std::lock_guard lock(mutex_);
  received_.clear();
}

bool SimController::usbConnected() const {
  std::lock_guard lock(mutex_);
  return !usbUnplugged_;
}

bool SimController::stalled() const {
  std::lock_guard lock(mutex_);
  return stalled_;
}

void SimController::plugUsb() {
  std::lock_guard lock(mutex_);
  usbUnplugged_ = false;
}

Bytes SimController::statusReplyLocked() {
  const tControllerReports c = reportsLocked();
  ++counters_.statusReplies;
  st_.requests = 0;
  return faultyStatus(encodeEthernetStatus(c, layout_));
}

Bytes SimController::faultyStatus(Bytes reply) {
  if (takeFault(replyFaults_.garbageStatus)) {
    for (auto& b : reply) {
      noiseSeed_ ^= noiseSeed_ << 13;
      noiseSeed_ ^= noiseSeed_ >> 7;
      noiseSeed_ ^= noiseSeed_ << 17;
      b = static_cast<std::uint8_t>(noiseSeed_ >> 24);
    }
  }
  if (takeFault(replyFaults_.shortStatus) && reply.size() > replyFaults_.shortStatusLength)
    reply.resize(std::max<std::size_t>(1, replyFaults_.shortStatusLength));
  return reply;
}

void SimController::countCommand() {
  ++counters_.commands;
  auto due = std::stable_partition(scheduled_.begin(), scheduled_.end(), [this](const ScheduledFault& f) {
    return f.afterCommands > static_cast<std::int64_t>(counters_.commands);
  });
  std::vector<ScheduledFault> now(due, scheduled_.end());
  scheduled_.erase(due, scheduled_.end());
  for (const auto& f : now) applyLocked(f);
}

void SimController::receiveCommand(const Command& c) {
  countCommand();
  // The command that met a restart is lost with everything else.
  if (std::exchange(restarting_, false)) return;
  received_.push_back(c);
  if (received_.size() > kReceivedLogSize) received_.pop_front();
  if (st_.rasterDataPackets > 0) {  // pixels of a raster line, not a command
    --st_.rasterDataPackets;
    if (st_.rasterLines.empty()) st_.rasterLines.emplace_back();
    st_.rasterLines.back().insert(
        st_.rasterLines.back().end(), c.begin(),
        c.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(c.size(), kPixelsPerPacket)));
    return;
  }
  const bool jobCommand = isLower(c[0]) || (c.size() >= 2 && c[0] == 'S' && c[1] == 'E');
  if (!jobCommand) {
    executeImmediate(c);
    return;
  }
  // A job command after a finished job starts a new job in memory.
  if (jobEnded_ && !st_.jobRunning && !st_.jobPaused) {
    job_.clear();
    jobEnded_ = false;
    endSeen_ = false;
  }
  if (job_.accept(c))
    ++counters_.jobCommands;
  else
    ++counters_.droppedJobCommands;
  counters_.maxPendingBytes = std::max<std::uint64_t>(counters_.maxPendingBytes, job_.pendingBytes());
}

// ----- clock -----

void SimController::advance(std::chrono::microseconds simulated) {
  std::lock_guard lock(mutex_);
  runFor(static_cast<double>(simulated.count()));
}

void SimController::advanceWall(std::chrono::nanoseconds wall) {
  std::lock_guard lock(mutex_);
  wallRemainderUs_ += static_cast<double>(wall.count()) / 1000.0 * config_.timeScale;
  const double us = std::floor(wallRemainderUs_);
  wallRemainderUs_ -= us;
  runFor(us);
}

bool SimController::runUntilIdle(std::chrono::seconds limit) {
  const double limitUs = static_cast<double>(limit.count()) * 1e6;
  double spent = 0;
  while (spent < limitUs) {
    {
      std::lock_guard lock(mutex_);
      const bool idle = !executor_.busy() && immediateQueue_.empty() && immediateMotions_.empty() && !st_.jobRunning;
      if (idle) return true;
      runFor(10000);
    }
    spent += 10000;
  }
  return false;
}

// ----- observation -----

std::uint64_t SimController::stateWordLocked() const {
  using namespace stateBit;
  std::uint64_t w = 0;
  auto set = [&w](int bit, bool on) {
    if (on) w |= mask(bit);
  };
  const bool homingNow = executor_.busy() && executor_.current()->kind == MotionKind::homing;
  const bool homingQueued =
      std::any_of(immediateQueue_.begin(), immediateQueue_.end(), [](const Command& c) { return c[0] == 'B'; });
  set(motionRunning, executor_.busy() || !immediateQueue_.empty() || !immediateMotions_.empty());
  set(jobRunning, st_.jobRunning);
  set(toolOn, st_.toolOn());
  set(homing, homingNow || homingQueued);
  set(jobStored, job_.repeatable());
  set(jobPaused, st_.jobPaused);
  set(bufferFull, job_.full() || st_.holdBufferFull);
  set(rasterEngraving, st_.raster);
  set(heldForEmptyBuffer, st_.jobRunning && st_.heldForEmptyBuffer);
  set(axisDriverError, st_.driverErrorAxes != 0);
  if (layout_.extended) set(inverterError, st_.inverterError);
  w |= st_.requests | st_.heldRequests;
  return w;
}

tControllerReports SimController::reportsLocked() const {
  const auto& p = machine_.model.machineParams;
  tControllerReports c;
  c.powerMask = st_.outputs;
  c.stateWord = stateWordLocked();
  c.position = {static_cast<std::int32_t>(std::lround(st_.x)), static_cast<std::int32_t>(std::lround(st_.y)),
                static_cast<std::int32_t>(std::lround(st_.z[static_cast<std::size_t>(st_.selectedHead)])),
                static_cast<std::int32_t>(std::lround(st_.v))};
  c.headMask = static_cast<std::uint32_t>(st_.headMask());
  c.selectedV = st_.thirdAxisMode;
  c.zeroPoint = st_.zeroPoint;
  c.headZeros = st_.headZeros;
  c.selectedSpeedSlot = st_.selectedSpeedSlot;
  c.speedSlots = st_.speedSlots;
  c.currentSpeed = static_cast<std::int32_t>(std::min(65535.0, std::round(executor_.currentPeriod())));
  c.selectedPowerSlot = st_.selectedPowerSlot;
  c.powerSlots = st_.powerSlots;
  c.laserFullPower = static_cast<std::uint16_t>(machine_.link.laserFullPower);
  for (std::size_t i = 0; i < 3; ++i) {
    c.workArea[i] = static_cast<std::int32_t>(std::lround(machine_.link.workArea[i]));
    c.secondWorkArea[i] = static_cast<std::int32_t>(std::lround(machine_.link.secondWorkArea[i]));
  }
  c.runningMinutes = config_.runningMinutes + static_cast<std::int32_t>(simulatedUs_ / 60e6);
  c.counter = config_.counter + static_cast<std::int32_t>(counters_.jobsEnded);
  c.versionText = config_.versionText;
  c.firmwareMajor = static_cast<std::uint8_t>(config_.firmwareMajor);
  c.firmwareMinor = static_cast<std::uint8_t>(config_.firmwareMinor);
  c.firmwareBuild = static_cast<std::uint8_t>(config_.firmwareBuild);
  // Inverter: busy (bit 11) while the spindle runs up or down is not modelled.
  c.inverter = {st_.inverterError ? 0x0100 : 0, st_.toolOn() ? 4000 : 0, st_.toolOn() ? 25 : 0, 0};
  c.inputs = st_.inputs;
  c.driverErrors = st_.driverErrorAxes;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) bits |= std::uint32_t{st_.parameters[68 + 4 * axis + i]} << (8 * i);
    std::memcpy(&c.calibration[axis], &bits, sizeof bits);
  }
  std::uint32_t offset = 0;
  for (std::size_t i = 0; i < 4; ++i) offset |= std::uint32_t{st_.parameters[108 + i]} << (8 * i);
  c.knifeOffset = static_cast<std::int32_t>(offset);
  c.travelVariant = config_.travelVariant;
  (void)p;
  return c;
}

tControllerReports SimController::reports() const {
  std::lock_guard lock(mutex_);
  return reportsLocked();
}

std::uint64_t SimController::stateWord() const {
  std::lock_guard lock(mutex_);
  return stateWordLocked();
}

ToolTrace SimController::trace() const {
  std::lock_guard lock(mutex_);
  return trace_;
}

SimCounters SimController::counters() const {
  std::lock_guard lock(mutex_);
  SimCounters c = counters_;
  c.jobExecuted = job_.executed();
  return c;
}

MachineState SimController::machineState() const {
  std::lock_guard lock(mutex_);
  return st_;
}

double SimController::simulatedSeconds() const {
  std::lock_guard lock(mutex_);
  return simulatedUs_ / 1e6;
}

TracePoint SimController::toolPosition() const {
  std::lock_guard lock(mutex_);
  return executor_.toMillimetres(st_, st_.selectedHead);
}

// ----- control -----

void SimController::press(Button b) {
  std::lock_guard lock(mutex_);
  st_.requests |= buttonBit(b);
}

void SimController::holdButton(Button b, bool down) {
  std::lock_guard lock(mutex_);
  if (down)
    st_.heldRequests |= buttonBit(b);
  else
    st_.heldRequests &= ~buttonBit(b);
}

void SimController::spindleOverload() { apply({FaultAction::spindleOverload, 1, 0}); }
void SimController::setDriverError(std::uint8_t axes) { apply({FaultAction::driverError, axes, 0}); }
void SimController::setEnclosureOpen(bool open) {
  apply({open ? FaultAction::openEnclosure : FaultAction::closeEnclosure, 1, 0});
}
void SimController::setInverterError(bool on) { apply({FaultAction::inverterError, on ? 1 : 0, 0}); }
void SimController::holdBufferFull(bool on) { apply({FaultAction::holdBufferFull, on ? 1 : 0, 0}); }
void SimController::dropLink() { apply({FaultAction::dropLink, 1, 0}); }
void SimController::setStalled(bool on) { apply({FaultAction::stall, on ? 1 : 0, 0}); }

void SimController::setReplyFaults(const ReplyFaults& f) {
  std::lock_guard lock(mutex_);
  replyFaults_ = f;
}

ReplyFaults SimController::replyFaults() const {
  std::lock_guard lock(mutex_);
  return replyFaults_;
}

void SimController::apply(const ScheduledFault& f) {
  std::lock_guard lock(mutex_);
  applyLocked(f);
}

void SimController::schedule(const ScheduledFault& f) {
  std::lock_guard lock(mutex_);
  if (f.afterCommands <= static_cast<std::int64_t>(counters_.commands))
    applyLocked(f);
  else
    scheduled_.push_back(f);
}

bool SimController::takeLinkDrop() {
  std::lock_guard lock(mutex_);
  return std::exchange(dropRequested_, false);
}

void SimController::applyLocked(const ScheduledFault& f) {
  const int count = static_cast<int>(std::clamp<std::int64_t>(f.value, -1, 1 << 30));
  switch (f.action) {
    case FaultAction::pressStart: st_.requests |= buttonBit(Button::start); break;
    case FaultAction::pressStop: st_.requests |= buttonBit(Button::stop); break;
    case FaultAction::pressContinue: st_.requests |= buttonBit(Button::continueJob); break;
    case FaultAction::pressProgrammable1: st_.requests |= buttonBit(Button::programmable1); break;
    case FaultAction::pressProgrammable2: st_.requests |= buttonBit(Button::programmable2); break;
    case FaultAction::spindleOverload:
      st_.requests |= stateBit::mask(stateBit::stopRequest) | stateBit::mask(stateBit::spindleOverload);
      break;
    case FaultAction::driverError: st_.driverErrorAxes = static_cast<std::uint8_t>(f.value); break;
    case FaultAction::openEnclosure: st_.inputs |= 0x08; break;
    case FaultAction::closeEnclosure: st_.inputs &= static_cast<std::uint8_t>(~0x08); break;
    case FaultAction::inverterError: st_.inverterError = f.value != 0; break;
    case FaultAction::holdBufferFull: st_.holdBufferFull = f.value != 0; break;
    case FaultAction::dropLink:
      dropRequested_ = f.value != 0;
      usbUnplugged_ = usbUnplugged_ || f.value != 0;
      break;
    case FaultAction::stall: stalled_ = f.value != 0; break;
    case FaultAction::wrongEchoes: replyFaults_.wrongEchoes = count; break;
    case FaultAction::lostEchoes: replyFaults_.lostEchoes = count; break;
    case FaultAction::splitEchoes: replyFaults_.splitEchoes = count; break;
    case FaultAction::shortStatus: replyFaults_.shortStatus = count; break;
    case FaultAction::garbageStatus: replyFaults_.garbageStatus = count; break;
    case FaultAction::lostSteps:
      for (std::size_t a = 0; a < lostStepsMm_.size(); ++a) lostStepsMm_[a] += f.shiftMm[a];
      break;
    case FaultAction::reset: resetLocked(); break;
  }
}

void SimController::resetLocked() {
  clearJob();
  if (executor_.busy()) executor_.interrupt(st_, trace_);
  immediateQueue_.clear();
  immediateMotions_.clear();
  st_.outputs = 0xC0;
  st_.beamOn = false;
  st_.jobPaused = st_.jobRunning = st_.heldForEmptyBuffer = false;
  st_.requests = 0;
  // The counters start at 0 where the tool stands: counted and true
  // positions part by what was counted, until homing finds the switches.
  const auto& p = machine_.model.machineParams;
  const std::array<double, 3> factor{p.axisFactorX, p.axisFactorY, p.axisFactorZ};
  std::array<double*, 3> counted{&st_.x, &st_.y, &st_.z[static_cast<std::size_t>(st_.selectedHead)]};
  for (std::size_t a = 0; a < 3; ++a) {
    if (factor[a] > 0) lostStepsMm_[a] -= *counted[a] / (100 * factor[a]);
    *counted[a] = 0;
  }
  for (std::size_t h = 0; h < st_.z.size(); ++h) st_.z[h] = 0;
  // A restarting controller closes its connections.
  restarting_ = true;
  dropRequested_ = true;
  usbUnplugged_ = true;
}

}  // namespace trazvik::sim
