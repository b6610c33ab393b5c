// One-shot immediate commands: stopping manual motion, holding, continuing,
// starting and clearing the stored job, pauses, homing, the base check and
// the probe, and the work zero.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <cstdint>

namespace trazvik {

void stopManualMotion(tMachineOps& ops);  // "Y"
void holdJob(tMachineOps& ops);           // "Q"
void continueJob(tMachineOps& ops);       // "K"
void startStoredJob(tMachineOps& ops);    // "G"
void clearJob(tMachineOps& ops);          // "C"

// s seconds as "P" pauses of at most 255 ms, each its own command.
void pauseSeconds(tMachineOps& ops, std::uint32_t seconds);

// "B" mask: homes the axes of the mask (homeMask::x, z, xyz).
void home(tMachineOps& ops, std::uint8_t mask);
// "B" mask: repeatability check of one axis (homeMask::checkX, checkY, checkZ).
void checkBase(tMachineOps& ops, std::uint8_t mask);
// "W": lowers the tool until it touches the length sensor.
void probe(tMachineOps& ops);
// "X": the state query the USB side sends at start-up and the panel at activation.
void stateQuery(tMachineOps& ops);

// "U" with the status's pos0 X and Y in steps, then 10 ms for the controller.
void setWorkZeroXY(tMachineOps& ops);
// "N" with the Z zero; on multi-head machines "SN" for every head, the
// selected one last.
void setWorkZeroZ(tMachineOps& ops);

}  // namespace trazvik
