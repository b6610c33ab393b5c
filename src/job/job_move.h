// Moves of the job writer: a target in millimetres corrected by the head
// offset, checked against the step range, written through the language's
// move encoder, and recorded in the job's extremes.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "machine/command_set.h"
#include "job/job_state.h"

#include <cstdint>
#include <stdexcept>

namespace trazvik {

// A position or a move that does not fit the controller's fields; it ends
// the writing of the job.
class tJobRangeError : public std::range_error {
 public:
  using std::range_error::range_error;
};

// What stays fixed while one job is written.
struct tJobMoveContext {
  tCommandSet set;
  tHeadOffsets heads;
  int fileType = 1;    // unit of figure coordinates
  double skala = 100;  // percent
};

// Millimetres of a figure's X or Y (scaled) and of a Z (not scaled), after
// the figure's own offset was taken off X and Y by the caller.
double mmXY(const tJobMoveContext& c, double fileUnits);
double mmZ(const tJobMoveContext& c, double fileUnits);

// Move(x, y, z, code): appends one move to (x, y, z) mm plus the head
// correction; Z is 0 on a machine without a Z axis. The path length
// multiplier is speedMultiplier. Throws tJobRangeError, writing nothing,
// when a target leaves the 32-bit step range or a delta or the path length
// does not fit the move command's fields.
void appendMove(Bytes& out, tJobState& st, const tJobMoveContext& c, double xMm, double yMm, double zMm,
                std::uint32_t speedCode = 65535);

// A move to (x, y) mm plus the head correction whose third coordinate turns
// the tangential knife to `knifeTarget` (knife steps) by the shorter way.
// Z is not moved. Same checks as appendMove.
void appendKnifeMove(Bytes& out, tJobState& st, const tJobMoveContext& c, double xMm, double yMm,
                     std::int32_t knifeTarget, bool twoEdged, std::uint32_t speedCode, std::int32_t multiplier);

// The knife angle of the direction (dx, dy) mm on the machine of `c`.
std::int32_t knifeTargetOf(const tJobMoveContext& c, double dxMm, double dyMm);

}  // namespace trazvik
