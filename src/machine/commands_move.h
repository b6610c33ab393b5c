// Moves of the controller's language. All moves are relative; the job
// writer keeps the job position (steps, and the knife angle on machines with
// a tangential knife) and each move carries target minus position.
#pragma once
#include "no_qt.h"

#include "geometry/bytes.h"
#include "machine/command_set.h"

#include <cstdint>

namespace trazvik {

struct tJobPosition {
  std::int32_t x = 0, y = 0, z = 0;  // steps; z is the third coordinate
  std::int32_t knife = 0;            // knife angle, 0 to knifeStepsPerTurn - 1
  bool operator==(const tJobPosition&) const = default;
};

struct tStepDelta {
  std::int32_t dx = 0, dy = 0, dz = 0;
  bool operator==(const tStepDelta&) const = default;
};

// Steps of a length in millimetres on an axis: round(mm x 100 x factor).
std::int32_t stepsOfMm(double mm, double axisFactor);

// One "a"/"A" move: 14 bytes narrow, 15 wide. The path length is
// multiplier x round(sqrt(dx^2 + dy^2 + dz^2) + 0.5), at least 10. The
// speed code (wide set only) is the code at the end of the move, 65535 for
// none; the protocol level decides how it is packed.
Bytes moveCommand(const tStepDelta& d, std::int32_t multiplier, std::uint32_t speedCode, const tCommandSet& set,
                  CommandForm form = CommandForm::job);

// Move to a point in millimetres; the job position becomes the target.
Bytes moveToPoint(tJobPosition& pos, double xMm, double yMm, double zMm, std::uint32_t speedCode,
                  const tCommandSet& set, std::int32_t multiplier);

// Knife angle in knife steps of a direction in millimetres.
std::int32_t knifeAngleOfDirection(double dx, double dy, std::int32_t stepsPerTurn);
// Rotation from the current to the target angle within half a turn; with a
// two-edged knife the target turned by half a turn is tried as well and the
// shorter rotation wins.
std::int32_t knifeDelta(std::int32_t target, std::int32_t current, std::int32_t stepsPerTurn, bool twoEdged);

// Move to x, y in millimetres turning the knife to the target angle (the
// third coordinate drives the knife axis). In the wide set a delta of
// exactly one step on X, Y or the knife axis is sent as 0; the position
// advances by what was sent, so the step is made up by the next move.
Bytes moveToPointWithKnife(tJobPosition& pos, double xMm, double yMm, std::int32_t knifeTarget, bool twoEdged,
                           std::uint32_t speedCode, const tCommandSet& set, std::int32_t multiplier);

// Immediate knife turn: "A" with only the third coordinate, path length
// |delta| (at least 10), speed code 65535.
Bytes knifeTurnCommand(std::int32_t delta, const tCommandSet& set);

}  // namespace trazvik
