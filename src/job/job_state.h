// The state one job keeps while it is written: the job position, the
// extremes every move reached, the heads and the travel and safe heights.
#pragma once
#include "no_qt.h"

#include "geometry/records.h"
#include "machine/commands_move.h"

#include <array>

namespace trazvik {

// Largest and smallest X, Y, Z in millimetres of every position a move
// command reached; a job that made no move keeps the reset values.
struct tJobExtremes {
  double maxX = -2147483647, maxY = -2147483647, maxZ = -2147483647;
  double minX = 2147483647, minY = 2147483647, minZ = 2147483647;

  void reset() { *this = tJobExtremes{}; }
  void include(double x, double y, double z);
  bool any() const { return maxX >= minX; }
};

// Where the heads sit relative to head 1: X and Y offsets in millimetres
// from the settings (head 1 is 0, 0), Z zeros in 0.01 mm from the status.
struct tHeadOffsets {
  std::array<double, 3> x{}, y{};
  std::array<double, 3> zZero{};
  int headCount = 1;
};

// What a move target gains when head `current` is active in a job written
// for head `chosen`: (-(X offset of chosen - X offset of current), the same
// for Y, (Z zero of chosen - Z zero of current) / 100). Nothing when either
// head is not below headCount (or negative).
trpoint3d headOffsetCorrection(const tHeadOffsets& heads, int chosen, int current);

struct tJobState {
  tJobPosition jobPosition;
  tJobExtremes extremes;
  int currentHead = 0;      // head active on the machine, 0 to 2
  int chosenHead = 0;       // head the job is written for
  double travelHeight = 0;  // mm
  double safeHeight = 0;    // mm: the trailer's and the layer changes' height
  // The last move's target in millimetres before the head correction:
  // where the job's own coordinates put the tool.
  trpoint3d lastTarget;
};

}  // namespace trazvik
