// The tangential knife's axis: while "S3v" 4 is in force the third move
// coordinate turns the knife instead of moving Z; "S3v" 0 gives Z back.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <cstdint>

namespace trazvik {

// Turns the knife to the direction (dx, dy) (mm) by the shorter way, and
// with a two-edged knife to whichever edge is nearer. Nothing is sent for a
// turn under one step. False when the turn's wait did not end at rest.
bool rotateKnifeTo(tMachineOps& ops, double dx, double dy);
// Turns the knife to angle a (knife steps), the way the difference says.
bool rotateKnifeToSteps(tMachineOps& ops, std::int32_t a);

}  // namespace trazvik
