#include "link/machine_ops.h"

#include "machine/state_bits.h"

namespace trazvik {

namespace {
constexpr std::chrono::milliseconds kBusyPoll{10};

bool busy(const tplotstate& st) { return st.bit(stateBit::motionRunning) || st.bit(stateBit::homing); }
}  // namespace

tWaitResult waitWhileBusy(tMachineOps& ops) {
  ops.wait(kBusyPoll);
  for (;;) {
    // A controller that is gone reads as zeros, which would look idle:
    // the caller must learn that the motion's end was never seen.
    if (!ops.linkUp()) return tWaitResult::linkLost;
    const bool answered = ops.status.readStateSingle();
    if (!answered || !ops.linkUp()) return tWaitResult::linkLost;
    if (!busy(ops.st)) return tWaitResult::idle;
    if (ops.pumpEvents) ops.pumpEvents();
    if (ops.stopPending()) return tWaitResult::stopped;
    ops.wait(kBusyPoll);
  }
}

}  // namespace trazvik
