// Drilling cycles (G81, G82, G83) expanded into the moves a control makes
// for each hole: up to the retract plane R if below it, across at that
// height, down to R, the drilling at the feed (in pecks for G83), and back
// to R (G99) or to the height the cycle started at (G98).
#include "import/gcode_reader.h"
#include "import/thpgl.h"

#include <algorithm>
#include <cmath>

namespace trazvik::import {

namespace {

// After each peck G83 returns to R, then rapidly down to this much above
// the depth it reached (0.010 inch, as common controls do).
constexpr double kPeckClearance = 0.254;
// Holes of one line and pecks of one hole: more is no drilling program.
constexpr double kMaxRepeats = 10000;
constexpr double kMaxPecks = 10000;

}  // namespace

bool tGcodeReader::drill(const tGcodeBlock& b) {
  const std::string code = gcodeWordText('G', gMode * 10);
  if (gPlane != 17) return refuse("drilling outside the XY plane (G18, G19) is not read", code);
  if (unknownAxes_ != 0)
    return refuse("a drilling cycle from a position left unknown by a move to a machine position (G28, G30, G53)",
                  lineToken());
  // Without X and Y one control drills where the tool stands, another only
  // takes the cycle's values: refused rather than guessed.
  if (!b.has('X') && !b.has('Y'))
    return refuse("a drilling cycle without X or Y: controls differ on whether it drills", lineToken());
  // R, Z and Q stay in force for the following holes of the cycle.
  if (b.has('R')) {
    cycleR_ = b['R'] * gUnit;
    cycleHasR_ = true;
  }
  if (b.has('Z')) {
    cycleZ_ = b['Z'] * gUnit;
    cycleHasZ_ = true;
  }
  if (b.has('Q')) cycleQ_ = std::fabs(b['Q']) * gUnit;
  if (!cycleHasR_ || !cycleHasZ_)
    return refuse("a drilling cycle needs its depth Z and its retract plane R", lineToken());
  if (gMode == 83 && !(cycleQ_ > 0)) return refuse("G83 needs a peck depth Q above 0", lineToken());
  // Incremental: R from the Z the line starts at, the depth from R.
  const double rPlane = gIncremental ? gPos.z + cycleR_ : cycleR_;
  const double bottom = gIncremental ? rPlane + cycleZ_ : cycleZ_;
  if (bottom > rPlane) return refuse("the drilling depth Z lies above the retract plane R", lineToken());
  if (gMode == 83 && (rPlane - bottom) / cycleQ_ > kMaxPecks) return refuse("too many pecks for one hole", lineToken());
  // Repeats: L, or K as some controls write it; 0 takes the values only.
  const double repeats = b.has('L') ? b['L'] : b.has('K') ? b['K'] : 1;
  if (repeats < 0 || repeats != std::floor(repeats) || repeats > kMaxRepeats)
    return refuse("the repeat count of a drilling cycle must be a whole number from 0 to 10000", lineToken());
  for (int i = 0; i < static_cast<int>(repeats); ++i) {
    const trpoint3d hole = targetOf(b);  // incremental X, Y step on with every repeat
    if (!drillHole(hole.x, hole.y, rPlane, bottom)) return false;
  }
  return true;
}

bool tGcodeReader::drillHole(double x, double y, double rPlane, double bottom) {
  constexpr unsigned kXY = 3, kZ = 4;
  if (gPos.z < rPlane && !pushLine(false, {gPos.x, gPos.y, rPlane}, kZ)) return false;
  if (!pushLine(false, {x, y, gPos.z}, kXY)) return false;
  if (gPos.z > rPlane && !pushLine(false, {x, y, rPlane}, kZ)) return false;
  if (gMode != 83) {
    if (!pushLine(true, {x, y, bottom}, kZ)) return false;
  } else {
    double depth = rPlane;
    while (depth > bottom) {
      const double next = std::max(depth - cycleQ_, bottom);
      if (depth < rPlane) {
        // Back in the hole after the previous peck's retract.
        if (!pushLine(false, {x, y, std::min(depth + kPeckClearance, rPlane)}, kZ)) return false;
      }
      if (!pushLine(true, {x, y, next}, kZ)) return false;
      depth = next;
      if (depth > bottom && !pushLine(false, {x, y, rPlane}, kZ)) return false;
    }
  }
  const double retract = gRetractToStart ? std::max(cycleStartZ_, rPlane) : rPlane;
  return pushLine(false, {x, y, retract}, kZ);
}

}  // namespace trazvik::import
