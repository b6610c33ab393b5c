// Immediate moves: relative moves in steps or millimetres, the safe
// three-stage move to a point of the work and the straight move in machine
// coordinates. The moves wait for the machine; a wait that the operator
// stops ends the manual motion ("Y") and the move reports failure, and so
// does a link that goes away while the machine moves.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <cstdint>

namespace trazvik {

// One "A" move of dx, dy, dz steps with path multiplier m, in the machine's
// layout (wide with speed code 65535). Sent even when all deltas are 0.
void moveSteps(tMachineOps& ops, std::int32_t m, std::int32_t dx, std::int32_t dy, std::int32_t dz);
// moveSteps with speedMultiplier and the deltas of millimetres.
void moveRelative(tMachineOps& ops, double dz, double dy, double dx);

// Safe move to x, y, z (mm relative to the work zero) with speed slot
// `slot`: lift to the travel height, travel, then lower. False when the
// machine is busy or unreachable, a wait did not end idle, or a position
// after a move is off by more than the tolerance (5 steps on X and Y, 0.01
// mm on the lifted Z).
bool moveToPoint(tMachineOps& ops, std::uint8_t slot, double z, double y, double x);
// Straight move to x, y, z in machine millimetres at the manual slot loaded
// with maxFeedXY. True when already there or the position is within 1 step.
bool moveToMachinePoint(tMachineOps& ops, double z, double y, double x);

// The result of a wait inside a move: true when the machine came to rest;
// a stop by the operator also ends the manual motion.
bool settled(tMachineOps& ops, tWaitResult result);

}  // namespace trazvik
