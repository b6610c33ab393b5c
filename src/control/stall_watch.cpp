#include "control/stall_watch.h"

#include "machine/state_bits.h"

#include <cmath>

namespace trazvik {

void tStallWatch::observe(const tplotstate& st, bool jobPausedHere, Clock::time_point now) {
  const bool moved = lastPosition_ && (lastPosition_->x != st.realpos.x || lastPosition_->y != st.realpos.y ||
                                       lastPosition_->z != st.realpos.z || lastPosition_->v != st.realpos.v);
  lastPosition_ = st.realpos;
  const bool standing = !st.bit(stateBit::motionRunning) && !st.bit(stateBit::homing) && !st.bit(stateBit::jobPaused) &&
                        !jobPausedHere && !moved;
  if (!standing) {
    since_.reset();
    return;
  }
  if (!since_) since_ = now;
}

void tStallWatch::reset() {
  since_.reset();
  lastPosition_.reset();
}

double tStallWatch::seconds(Clock::time_point now) const {
  if (!since_) return 0;
  return std::chrono::duration<double>(now - *since_).count();
}

std::string controllerWaitText(double seconds) {
  return "waiting for the controller: buffer full, machine idle for " +
         std::to_string(static_cast<long long>(std::floor(seconds))) + " s";
}

}  // namespace trazvik
