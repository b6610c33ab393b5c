// The control panel's jog: one long relative move towards the end of the
// travel in the direction of a key or button, stopped with "Y" when the key
// or button is released.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <cstdint>
#include <optional>
#include <string>

namespace trazvik::texts {
class tInterfejs;
}

namespace trazvik {

enum class tJogDirection {
  zUp,
  zDown,  // Page Up, Page Down; buttons kzu, kzd
  left,
  right,  // Left / numpad 4, Right / numpad 6; kl, kr
  up,
  down,  // Up / numpad 8, Down / numpad 2; ku, kd
  downLeft,
  downRight,  // numpad 1, 3; kdl, kdr
  upLeft,
  upRight,  // numpad 7, 9; kul, kur
};

// The direction of a key code (33, 34, 37 to 40, numpad 97 to 105 but 101).
std::optional<tJogDirection> jogDirectionOfKey(int keyCode);

// Deltas of a jog in hundredths of a millimetre and its path multiplier.
struct tJogDelta {
  double dx = 0, dy = 0, dz = 0;
  std::int32_t multiplier = 1;
  bool any() const { return dx != 0 || dy != 0 || dz != 0; }
};

// From the last read positions and the working area: X and Y to their
// ends, diagonals as far as both axes allow, Z up to the machine's zero or
// down to the work zero (the Z axis of a laser counts the other way).
tJogDelta jogDelta(tJogDirection direction, const tplotstate& st, const tLinkState& link, const tMachineModel& machine);

// Why a jog goes nowhere, so the operator can be told what to do.
enum class tJogBlock {
  none,         // the jog moves
  noZZero,      // Z down on a machine whose work zero has no Z yet (it may still move up to the machine's zero)
  zAtTop,       // Z up while it stands at the machine's Z zero
  zAtZZero,     // Z down while it stands at the work zero's Z
  endOfTravel,  // X or Y at the end of the working area in that direction
};
tJogBlock jogBlockOf(tJogDirection direction, const tJogDelta& delta, const tplotstate& st,
                     const tMachineModel& machine);
// The operator's text for a blocked jog: why and what to do; empty for none.
std::string jogBlockText(tJogBlock block, const texts::tInterfejs& texts);

// waitWhileBusy, then the jog's move (the knife turned to its direction
// first when the machine has an active knife); nothing is sent for a jog
// that goes nowhere. False when the wait did not end at rest.
bool jogTo(tMachineOps& ops, tJogDirection direction, bool hasKnife);

}  // namespace trazvik
