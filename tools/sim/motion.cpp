#include "motion.h"

#include <algorithm>
#include <cmath>

namespace trazvik::sim {

namespace {

double& axisRef(MachineState& st, int axis, int head) {
  switch (axis) {
    case axisX: return st.x;
    case axisY: return st.y;
    case axisZ: return st.z[static_cast<std::size_t>(head)];
    default: return st.v;
  }
}

}  // namespace

TracePoint MotionExecutor::toMillimetres(const MachineState& st, int head) const {
  TracePoint p;
  p.x = scale_.x != 0 ? st.x / (100 * scale_.x) : 0;
  p.y = scale_.y != 0 ? st.y / (100 * scale_.y) : 0;
  p.z = scale_.z != 0 ? st.z[static_cast<std::size_t>(head)] / (100 * scale_.z) : 0;
  return p;
}

void MotionExecutor::start(const Motion& m, MachineState& st) {
  current_ = m;
  current_->head = std::clamp(m.head, 0, 2);
  for (int a = 0; a < 4; ++a) start_[static_cast<std::size_t>(a)] = axisRef(st, a, current_->head);
  elapsedUs_ = 0;
  recordedFraction_ = 0;
}

void MotionExecutor::place(MachineState& st, double fraction) const {
  for (int a = 0; a < 4; ++a)
    axisRef(st, a, current_->head) =
        start_[static_cast<std::size_t>(a)] + current_->delta[static_cast<std::size_t>(a)] * fraction;
}

// The pixels of an engraving move whose middles the beam passed between the
// last record and `fraction`.
void MotionExecutor::burn(MachineState& st, ToolTrace& trace, double fraction) {
  const RasterPass& pass = *current_->raster;
  if (pass.count <= 0) return;
  place(st, 0);
  const TracePoint from = toMillimetres(st, current_->head);
  place(st, 1);
  const TracePoint to = toMillimetres(st, current_->head);
  const bool forward = to.x >= from.x;
  if (recordedFraction_ == 0) {
    BurnLine line;
    line.y = from.y;
    line.x0 = std::min(from.x, to.x);
    line.cell = std::abs(to.x - from.x) / pass.count;
    line.power.assign(static_cast<std::size_t>(pass.count), -1);
    line.fullPower = pass.fullPower;
    trace.addBurn(std::move(line));
  }
  BurnLine& line = trace.lastBurn();
  for (int j = 0; j < pass.count; ++j) {
    const double middle = (j + 0.5) / pass.count;
    if (middle <= recordedFraction_ || middle > fraction) continue;
    const std::size_t at = static_cast<std::size_t>(forward ? j : pass.count - 1 - j);
    line.power[at] = pass.power(j);
  }
}

void MotionExecutor::record(MachineState& st, ToolTrace& trace, double fraction) {
  if (current_->kind == MotionKind::dwell || fraction <= recordedFraction_) return;
  if (current_->raster) burn(st, trace, fraction);
  TraceSegment seg;
  place(st, recordedFraction_);
  seg.from = toMillimetres(st, current_->head);
  place(st, fraction);
  seg.to = toMillimetres(st, current_->head);
  seg.toolOn = st.toolOn();
  seg.source = current_->source;
  seg.knifeAngleSteps = st.v;
  trace.add(seg);
  recordedFraction_ = fraction;
}

double MotionExecutor::advance(double us, MachineState& st, ToolTrace& trace) {
  if (!current_) return us;
  const double remaining = current_->durationUs - elapsedUs_;
  if (us < remaining) {
    elapsedUs_ += us;
    place(st, current_->durationUs > 0 ? elapsedUs_ / current_->durationUs : 1.0);
    return 0;
  }
  record(st, trace, 1.0);
  place(st, 1.0);
  // Whole steps at the end of a move, as the controller counts them.
  for (int a = 0; a < 4; ++a) {
    double& v = axisRef(st, a, current_->head);
    v = std::round(v);
    if (const auto& f = current_->finalPosition[static_cast<std::size_t>(a)]) v = *f;
  }
  current_.reset();
  return us - remaining;
}

std::optional<Motion> MotionExecutor::interrupt(MachineState& st, ToolTrace& trace) {
  if (!current_) return std::nullopt;
  const double fraction = current_->durationUs > 0 ? std::min(1.0, elapsedUs_ / current_->durationUs) : 1.0;
  record(st, trace, fraction);
  place(st, fraction);
  Motion rest = *current_;
  for (int a = 0; a < 4; ++a) {
    double& v = axisRef(st, a, current_->head);
    v = std::round(v);
    rest.delta[static_cast<std::size_t>(a)] =
        start_[static_cast<std::size_t>(a)] + current_->delta[static_cast<std::size_t>(a)] - v;
  }
  rest.durationUs = current_->durationUs - elapsedUs_;
  rest.raster.reset();  // an interrupted engraving move burns no further
  current_.reset();
  return rest;
}

}  // namespace trazvik::sim
