// The control panel's tool controls: the tool button and key, the spindle
// speed field and its buttons, heads, vacuum pump, dust extraction, the
// lubrication check box of the outputs window, and the check before the
// tool length window opens.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <optional>
#include <string>

namespace trazvik {

// Tool button (k_zalwyl): a pulse on lasers other than "PFF" and "YHB 32",
// else the tool switched by the state read before and after.
void toolButton(tMachineOps& ops, double pulseTimeMs);
// Insert / numpad 0: the tool switched on machines that are not lasers and
// on lasers with a knife axis; a pulse on other lasers.
void toolKey(tMachineOps& ops, double pulseTimeMs);

// "Ustaw obroty": the field's text as revolutions per minute. A text that
// is not an integer sends nothing and gives the error text.
std::optional<std::string> setSpindleSpeedFromText(tMachineOps& ops, const std::string& text);

// "btnAktywujGlowice": head `entry` (0 to 2) after releasing the current one.
void activateHeadEntry(tMachineOps& ops, int entry);

// Outputs window: the lubrication box is usable on "YRF" and "YFF" only,
// and checked while the lubrication bits of the output mask are clear.
bool lubricationBoxEnabled(const tMachineOps& ops);
bool lubricationBoxChecked(const tMachineOps& ops);

// Before the tool length window: the state read; an error box and false
// when the machine is unreachable or busy; else the work zero is read.
bool toolLengthWindowAllowed(tMachineOps& ops);

}  // namespace trazvik
