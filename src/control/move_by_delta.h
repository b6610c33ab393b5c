// The control panel's "Move" window without its window: the distances of a
// move to a point in machine or project coordinates, or by a typed
// distance, kept inside the working area and the Z range, and the move
// itself over the machine operations.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"
#include "link/machine_ops.h"

namespace trazvik {

// The window's choice `Przesun`, in the order of its items.
enum class tMoveMode {
  toMachinePoint = 0,  // x, y from the machine's zero, z the height above the table
  toProjectPoint = 1,  // x, y from the work zero, z the height above the table
  byDistance = 2,      // x, y, z relative to where the tool is
};

// The typed values (mm) and where the machine is.
struct tMoveByDeltaInput {
  tMoveMode mode = tMoveMode::byDistance;
  double x = 0, y = 0, z = 0;       // the fields, mm
  bool withoutZ = true;             // "Bez osi Z": Z is not moved
  trpoint3d abspos;                 // machine position, hundredths of a mm (z 0 at the top, below negative)
  trpoint3d pos0;                   // work zero, hundredths of a mm (z: height of the top above the table)
  double workX = 0, workY = 0;      // working area, mm
  double offsetX = 0, offsetY = 0;  // offset of the selected head, mm (0 on one-head machines)
};

struct tMoveDelta {
  double dx = 0, dy = 0, dz = 0;  // mm
};

// The relative move that carries out the input. Targets are kept within 0
// and the working area on X and Y and between the table and the machine's
// top on Z; a move by distance stops at those limits and never turns into
// a move the other way. Values that are not numbers count as 0.
tMoveDelta moveByDeltaDistances(const tMoveByDeltaInput& in);

// The offset (mm) of the head `selectedZ` when the machine has more than
// one head; 0, 0 otherwise.
tOperationSettings::Offset selectedHeadOffset(const tMachineOps& ops);

// The typed part of the input (the rest is read from the machine).
struct tMoveRequest {
  tMoveMode mode = tMoveMode::byDistance;
  double x = 0, y = 0, z = 0;  // mm
  bool withoutZ = true;
};

enum class tMoveByDeltaResult {
  moved,     // the move was sent and the machine came to rest
  noLink,    // no controller answers; nothing sent
  stopped,   // the operator's STOP ended a wait
  linkLost,  // the controller went away during a wait
};

struct tMoveByDeltaOutcome {
  tMoveByDeltaResult result = tMoveByDeltaResult::noLink;
  tMoveDelta delta;  // what was sent (0 when nothing was)
};

// Execute (WykonajClick): waits while the machine moves, reads the work
// zero and the position, sends the move ("A" at speedMultiplier) and waits
// for the machine to come to rest. No controller: the error box
// "msgBrakLacznosci" with the caption "Przesun.Caption". A STOP or a lost
// link during the first wait sends nothing.
tMoveByDeltaOutcome WykonajClick(tMachineOps& ops, const tMoveRequest& request);

}  // namespace trazvik
