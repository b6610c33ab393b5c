// The control panel's actions wired to the machine operations: the jog by
// keys and buttons, STOP's press, the feed and power sliders, the tool,
// spindle, head, vacuum, dust extraction and pulse time.
#pragma once
#include "control/jog_panel.h"
#include "control/tool_controls.h"
#include "link/machine_ops.h"

#include "panel/control_panel.h"

namespace trazvik {
struct tControlState;
}

namespace trazvik::ui {

// The jog core and the panel stay owned by the caller; the panel must not
// outlive them.
void connectPanelToMachine(ControlPanel& panel, tMachineOps& ops, tJogPanel& jog, tControlState& flags);

}  // namespace trazvik::ui
