// Heads of multi-head machines and the second Y drive: which head's Z the
// third move coordinate drives, switching a head on with its offset, and
// moving the second Y head.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <cstdint>

namespace trazvik {

// Head masks of "R" for heads 1 to 3 (indexes 0 to 2); others give head 1's.
std::uint8_t headMaskOf(int headIndex);

// From firmware level 7: "S3z" with the head's bit; the head becomes the
// selected one and its Z zero the work zero's Z.
void selectHeadZ(tMachineOps& ops, int headIndex);
// selectHeadZ, "R" 1 with the head mask (remembered for the job), and from
// firmware 7.22 the head's offset ("S3o").
void activateHead(tMachineOps& ops, int headIndex);
// Tool off when on, the selected head's mask off, power channel 2, and two
// seconds for the head to rise.
void releaseHead(tMachineOps& ops);
// "RB2" only: moves the second Y head by mm at 1000 mm/min, then restores
// the manual feed.
void shiftSecondY(tMachineOps& ops, double mm);

}  // namespace trazvik
