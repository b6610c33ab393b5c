// A machine stood for by its type code and firmware alone, for writing a job
// with no controller attached: identified as a controller of that type would
// be, at rest at its zero, every head at Z zero and no tool on.
#pragma once
#include "no_qt.h"

#include "machine/command_set.h"
#include "machine/machine_state.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace trazvik::app {

// Thrown for a type code the machine table does not know or a firmware
// text that is not "7.20" or "7.20.3"; the message says which.
struct tOfflineMachineError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct tOfflineMachineRequest {
  std::string type;               // "YFB 32", "YJB", "LFV", ...
  std::string firmware = "7.20";  // level.minor[.build]
  // The controller's version number of the firmware (550: "5.50"); 550 and
  // more allow the Bezier records.
  int controllerVersion = 550;
};

tMachineState offlineMachine(const tOfflineMachineRequest& request);

}  // namespace trazvik::app
