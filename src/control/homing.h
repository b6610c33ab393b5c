// The control panel's homing: every axis driven to its reference switch,
// with the extra passes some machines need (the Z axis of lasers first, the
// tangential knife's axis, the slow final approach of Z on controllers
// whose product string begins with "$").
#pragma once
#include "no_qt.h"

#include "base/startup_switches.h"
#include "link/machine_ops.h"

#include <functional>

namespace trazvik {

struct tHomingOptions {
  bool hasKnife = false;             // the knife setting (CBAktywnaGlowica)
  base::StartupSwitches switches{};  // overrides applied when the machine info is read again
  // The busy cursor on (true) and off again; unset: no cursor.
  std::function<void(bool busy)> hourglass;
};

enum class tHomingResult {
  homed,
  noLink,       // refused: no controller answers; nothing sent
  machineBusy,  // refused: a job runs or the machine moves; nothing sent
  stopped,      // the operator's STOP ended a wait; the rest was not sent
  linkLost,     // the controller went away while the machine homed
};

// Homing (bazujClick). Refusals show the error box "msgBrakLacznosci" or
// "msgBazowanieNiemozliwe" with the caption "msgBazuj". Every wait runs the
// caller's events; a wait that does not end with the machine at rest ends
// the homing there, so no further motion is sent after a STOP.
tHomingResult bazujClick(tMachineOps& ops, const tHomingOptions& options = {});

}  // namespace trazvik
