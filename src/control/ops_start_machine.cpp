#include "control/ops_start_machine.h"

#include "link/head_operations.h"
#include "link/knife_operations.h"
#include "link/move_operations.h"
#include "link/speed_operations.h"
#include "link/tool_operations.h"

namespace trazvik {

bool tOpsStartMachine::waitWhileBusy() { return trazvik::waitWhileBusy(ops_) == tWaitResult::idle; }

std::uint32_t tOpsStartMachine::speedToPeriod(std::int64_t feed) { return trazvik::speedToPeriod(ops_, feed); }

bool tOpsStartMachine::moveToPoint(std::uint8_t slot, double z, double y, double x) {
  return trazvik::moveToPoint(ops_, slot, z, y, x);
}

void tOpsStartMachine::activateHead(int head) { trazvik::activateHead(ops_, head); }

void tOpsStartMachine::setStartPowers(double idle, double work) { trazvik::setStartPowers(ops_, idle, work); }

void tOpsStartMachine::rotateKnifeTo(double dx, double dy) { trazvik::rotateKnifeTo(ops_, dx, dy); }

}  // namespace trazvik
