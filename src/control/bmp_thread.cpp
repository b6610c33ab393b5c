#include "control/bmp_thread.h"

#include "geometry/bytes.h"
#include "geometry/motion_record.h"
#include "geometry/numeric.h"
#include "import/bmp_raster.h"
#include "job/ramp_lookup.h"
#include "job/speed_plan_params.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "link/tool_operations.h"
#include "machine/commands_basic.h"
#include "machine/commands_records.h"
#include "machine/state_bits.h"

#include <algorithm>
#include <cmath>

namespace trazvik {

namespace {

constexpr int kMotionBit = 0;
constexpr int kHoldBit = 12;  // the machine's stop button (0x1000)
constexpr std::size_t kPacketPixels = 15;
constexpr auto kTickInterval = std::chrono::milliseconds(100);
// Status reads that may go unanswered in a row before the worker gives up.
constexpr int kUnansweredReads = 300;
// A move that is over ends this close to its target (steps), and a
// controller has begun a move this long after it was sent.
constexpr int kArrivalSteps = 5;
constexpr auto kMoveStartTime = std::chrono::milliseconds(10);

Bytes rasterRecord(std::string_view name, const Bytes& arguments = {}) {
  return record16(name, arguments, CommandForm::immediate);
}

Bytes int32Bytes(std::int32_t v) {
  const auto b = packInt32(v);
  return Bytes(b.begin(), b.end());
}

}  // namespace

tBMPThread::tBMPThread(tMachineOps& ops, tControlState& flags, tEngravingSettings settings,
                       std::shared_ptr<const import::tBitmap> picture)
    : ops_(ops), flags_(flags), s_(settings), picture_(std::move(picture)) {
  // The worker's waits run the monitoring tick through the hand-over, never
  // the interface's own events, and are not cut short by the panel's STOP
  // (that pauses between lines); boxes are not shown from this thread.
  ops_.pumpEvents = [this] { tickNow(false); };
  ops_.stopRequested = nullptr;
  ops_.errorBox = nullptr;
  ops_.informationBox = nullptr;
  const tMachineParams& p = ops.params();
  greyMapping_ = p.isLaser && ops.commandSet().protocolLevel > 5 && ops.linkState().laserFullPower > 255;
  // The machine's acceleration stays as it is set for the run-up, which is
  // computed from that same ramp.
  normalAcceleration_ = p.rampStep;
  rasterAcceleration_ = p.rampStep;
}

tBMPThread::~tBMPThread() {
  Terminate();
  WaitFor();
}

std::string tBMPThread::problem() const {
  std::lock_guard lock(mutex_);
  return problem_;
}

void tBMPThread::BMPToList() {
  ListaLini.clear();
  if (!picture_) return;
  import::tRasterSettings r;
  r.szerokosc = s_.ZadanaSzerokosc;
  r.wysokosc = s_.ZadanaWysokosc;
  r.krok = s_.Krok;
  r.mocDlaCzarnego = s_.MocDlaCzarnego;
  r.mocDlaBialego = s_.MocDlaBialego;
  r.laserFullPower = ops_.linkState().laserFullPower > 0 ? ops_.linkState().laserFullPower : 255;
  r.greyMapping = greyMapping_;
  import::tRasterLines lines = import::BMPToList(*picture_, r);
  szerokoscPixel = lines.szerokoscPixel;
  wysokoscPixel = lines.wysokoscPixel;
  ListaLini = std::move(lines.ListaLini);
  lineCount_ = static_cast<int>(ListaLini.size());
}

void tBMPThread::Resume() {
  // The link is the worker's from here: the interface thread's timer leaves it alone.
  flags_.engravingHoldsLink = true;
  if (!thread_.joinable()) {
    thread_ = std::thread([this] { Execute(); });
    return;
  }
  {
    std::lock_guard lock(mutex_);
    resumeRequested_ = true;
  }
  wake_.notify_all();
}

void tBMPThread::Terminate() {
  terminated_ = true;
  wake_.notify_all();
}

void tBMPThread::WaitFor() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

bool tBMPThread::suspend() {
  std::unique_lock lock(mutex_);
  suspended_ = true;
  flags_.engravingHoldsLink = false;
  wake_.wait(lock, [this] { return resumeRequested_ || terminated_.load(); });
  resumeRequested_ = false;
  suspended_ = false;
  flags_.engravingHoldsLink = true;
  return !terminated_.load();
}

void tBMPThread::send(const Bytes& command) {
  ops_.send(command);
  bytesSent_ += command.size();
  ++commandsSent_;
}

void tBMPThread::tickNow(bool always) {
  if (!handOver || !monitoringTick) return;
  const auto now = std::chrono::steady_clock::now();
  if (!always && now - lastTick_ < kTickInterval) return;
  lastTick_ = now;
  // The step runs on the interface thread while this one waits; a step
  // that has not begun when the worker is told to end is called off.
  struct Step {
    std::mutex m;
    std::condition_variable done;
    bool started = false, finished = false, cancelled = false;
  };
  auto step = std::make_shared<Step>();
  std::function<void()> tick = monitoringTick;
  handOver([step, tick] {
    {
      std::lock_guard lock(step->m);
      if (step->cancelled) return;
      step->started = true;
    }
    tick();
    {
      std::lock_guard lock(step->m);
      step->finished = true;
    }
    step->done.notify_all();
  });
  std::unique_lock lock(step->m);
  while (!step->finished) {
    if (terminated_ && !step->started) {
      step->cancelled = true;
      return;
    }
    step->done.wait_for(lock, std::chrono::milliseconds(50));
  }
}

bool tBMPThread::waitIdle() {
  return pollUntil([this] { return !ops_.st.bit(kMotionBit); });
}

bool tBMPThread::pollUntil(const std::function<bool()>& done) {
  int unanswered = 0;
  for (;;) {
    // At most one status read a millisecond. A read over USB already takes
    // its report's millisecond: sleeping on top of it would leave the link
    // idle half the time and see the machine idle later, so the next line's
    // pixels would go out late.
    const auto readBegins = std::chrono::steady_clock::now();
    ops_.status.readState();
    if (!ops_.status.lastReadAnswered()) {
      if (++unanswered >= kUnansweredReads) {
        std::lock_guard lock(mutex_);
        problem_ = "the controller stopped answering";
        return false;
      }
    } else {
      unanswered = 0;
      if (done()) return true;
    }
    tickNow(false);
    std::this_thread::sleep_until(readBegins + std::chrono::milliseconds(1));
  }
}

bool tBMPThread::moveToLineStart(double y, double x, std::chrono::steady_clock::time_point pauseEnds) {
  // The first line and the first after a pause go the general way: the
  // head's height is set there, and the operator may have jogged the
  // machine in the pause.
  if (!headPlaced_) {
    std::this_thread::sleep_until(pauseEnds);
    headPlaced_ = moveToPoint(ops_, 0, ops_.settings.travelHeight, y, x);
    return headPlaced_;
  }
  // Later lines only step across the table: the run-out left the head at
  // rest one pitch from the start. The reads of where it stands touch no
  // motion, so they go into the pause after the acceleration change; the
  // travel slot was chosen with it.
  tplotstate& st = ops_.st;
  ops_.status.readState();
  if (!ops_.status.lastReadAnswered() || st.bit(kMotionBit) || st.bit(stateBit::jobRunning)) return false;
  ops_.status.readZeroPoint();
  ops_.status.readPositions();
  const tMachineParams& p = ops_.params();
  const auto tx = static_cast<std::int32_t>(std::nearbyint((x * 100 + st.pos0.x) * p.axisFactorX));
  const auto ty = static_cast<std::int32_t>(std::nearbyint((y * 100 + st.pos0.y) * p.axisFactorY));
  std::this_thread::sleep_until(pauseEnds);
  if (tx == st.realpos.x && ty == st.realpos.y) return true;
  moveSteps(ops_, p.speedMultiplier, tx - st.realpos.x, ty - st.realpos.y, 0);
  // The move has ended when the head stands at the start: no blind wait
  // for the controller to take the move up. A machine that stops short
  // has ended it too once it has had the usual time to start.
  const auto sent = std::chrono::steady_clock::now();
  const bool ended = pollUntil([&] {
    if (ops_.st.bit(kMotionBit) || ops_.st.bit(stateBit::homing)) return false;
    ops_.status.readPositions();
    const bool there = std::abs(st.realpos.x - tx) <= kArrivalSteps && std::abs(st.realpos.y - ty) <= kArrivalSteps;
    return there || std::chrono::steady_clock::now() - sent >= kMoveStartTime;
  });
  return ended && std::abs(st.realpos.x - tx) <= kArrivalSteps && std::abs(st.realpos.y - ty) <= kArrivalSteps;
}

// The acceleration distance of the engraving speed (the working slot as
// the controller holds it) in X steps.
double tBMPThread::runUpSteps() {
  ops_.status.readSpeeds();
  const int multiplier = std::max(1, ops_.params().speedMultiplier);
  const std::int32_t code = ops_.st.speedr;
  double feed = s_.workFeed;
  if (code > 0 && code < 65535) feed = static_cast<double>(periodToSpeed(ops_, code)) / multiplier;
  return std::max(0.0, std::round(rampLength(feed, speedPlanParamsOf(ops_.machine, ops_.linkState()))));
}

void tBMPThread::sendPixels(const tLinia& line, bool forward) {
  const std::size_t n = line.Pixelki.size();
  const std::size_t announced = n / kPacketPixels + 1;
  send(rasterRecord("SBD", int32Bytes(static_cast<std::int32_t>(announced))));
  Bytes packet;
  std::size_t sent = 0;
  for (std::size_t i = 0; i < n; ++i) {
    packet.push_back(import::pixelByte(line.Pixelki[forward ? i : n - 1 - i]));
    if (packet.size() == kPacketPixels) {
      send(packet);
      packet.clear();
      ++sent;
    }
  }
  if (!packet.empty()) {
    send(packet);
    ++sent;
  }
  // A line that fills its packets exactly is announced with one packet
  // more than it fills: that packet goes too, empty, so the controller
  // does not take the next command for pixels.
  while (sent < announced) {
    send(Bytes{0});
    ++sent;
  }
}

void tBMPThread::engraveLine(std::size_t q, bool forward) {
  const tMachineParams& p = ops_.params();
  const int level = ops_.commandSet().protocolLevel;
  const std::int32_t k = std::max(1, p.speedMultiplier);
  const double fx = p.axisFactorX != 0 ? p.axisFactorX : 1;
  const auto W = static_cast<std::int32_t>(roundEven(s_.ZadanaSzerokosc * 100 * fx));
  const auto s = static_cast<std::int32_t>(roundEven(s_.Krok * 100 * fx));
  const tLinia& line = ListaLini[q];

  sendPixels(line, forward);
  waitIdle();
  send(selectSlotCommand(0, CommandForm::immediate));
  const int full = ops_.linkState().laserFullPower > 0 ? ops_.linkState().laserFullPower : 255;
  setPower(
      ops_, 3,
      static_cast<std::uint16_t>(std::clamp<std::int64_t>(roundEvenInt(s_.mocSpoczynkowa * full / 100), 0, 65535)));
  send(rasterRecord("SA", int32Bytes(normalAcceleration_)));
  const auto pauseEnds = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
  // The speeds are read in the pause, the engraving speed as it is now.
  const double r = runUpSteps();
  const double ru = r / 100 / fx;
  // Both directions burn the same stretch, 0 to the width.
  const double y = static_cast<double>(q) * s_.Krok;
  const double x = forward ? -ru : s_.ZadanaSzerokosc + ru;
  moveToLineStart(y, x, pauseEnds);
  send(selectSlotCommand(1, CommandForm::immediate));
  const double fy = p.axisFactorY != 0 ? p.axisFactorY : 1;
  const std::int32_t dy = r / 10 > s_.Krok ? static_cast<std::int32_t>(roundEven(s_.Krok * 100 * fy)) : 0;
  send(rasterRecord("SA", int32Bytes(rasterAcceleration_)));
  const std::int32_t sign = forward ? 1 : -1;
  const auto run = static_cast<std::int32_t>(r);
  std::int32_t count = 0;
  sendRange(moveRecordPower(level, k, sign * run, 0, 0, 1, count));
  send(rasterRecord("SBS"));
  sendRange(moveRecordPower2d(level, k, sign * W, 0, static_cast<std::int32_t>(line.Pixelki.size()), 1, count));
  sendRange(moveRecordPower(level, k, sign * (run + s), dy, 0, 0xFFFF, count));
}

void tBMPThread::finishRaster() {
  waitIdle();
  send(laserOffRecord(CommandForm::immediate));
  send(rasterRecord("SBE"));
  send(rasterRecord("SA", int32Bytes(normalAcceleration_)));
  send(selectSlotCommand(0, CommandForm::immediate));
}

void tBMPThread::Execute() {
  flags_.engravingRunning = true;
  flags_.engravingStopRequested = false;
  if (greyMapping_) {
    const auto black = singleBytes(static_cast<float>(s_.MocDlaCzarnego));
    const auto white = singleBytes(static_cast<float>(s_.MocDlaBialego));
    Bytes args;
    for (const std::uint8_t b : black) args.push_back(b);
    for (const std::uint8_t b : white) args.push_back(b);
    send(rasterRecord("SBV", args));
  }
  send(rasterRecord("SBB"));
  bool forward = true;
  for (std::size_t q = 0; q < ListaLini.size() && !terminated_; ++q) {
    if (s_.jednokierunkowo) forward = true;
    engraveLine(q, forward);
    linesDone_ = static_cast<int>(q + 1);
    forward = !forward;
    ops_.status.readState();
    const bool hold = ops_.st.bit(kHoldBit);
    tickNow(true);
    if (!problem().empty()) break;
    const bool more = q + 1 < ListaLini.size();
    if (more && (flags_.engravingStopRequested || hold)) {
      // Paused between lines: the beam off, the raster mode left, the
      // machine's own acceleration back, until the operator continues.
      finishRaster();
      if (!suspend()) break;
      headPlaced_ = false;
      send(rasterRecord("SBB"));
    }
  }
  finishRaster();
  ListaLini.clear();
  ListaLini.shrink_to_fit();
  flags_.engravingRunning = false;
  finished_ = true;
  flags_.engravingHoldsLink = false;
}

}  // namespace trazvik
