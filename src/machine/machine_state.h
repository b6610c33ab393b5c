// What is known about one connected machine: its identification (type code
// and parameter record), the values of the link and the controller, and the
// latest status. Each program's top level owns one for its connection and
// hands it to the connection, through which the control side and the link
// operations reach it; two connections in one process share nothing.
#pragma once
#include "no_qt.h"

#include "machine/link_state.h"
#include "machine/machine_params.h"
#include "machine/plot_state.h"

namespace trazvik {

struct tMachineState {
  tMachineModel model;  // identification: type code, parameter record, derived values
  tLinkState link;      // firmware, work areas, inputs, link errors
  tplotstate status;    // the latest status the reads left
};

}  // namespace trazvik
