#include "control/machine_control.h"

namespace trazvik {

tMachineControl::tMachineControl(tMachineConnection& connection, const texts::tInterfejs& texts,
                                 std::string dataDirectory)
    : context(connection.link(), connection.status(), connection.state(), texts, flags, std::move(dataDirectory)),
      transfer(context),
      panel(context, transfer),
      commands(context, connection.ops(), panel, transfer),
      connection_(connection) {
  context.interfaceQueue = &connection.queue();
  context.watchdog = [&connection] { return connection.watchdog(); };
  // The panel identifies the machine again as the connection does: with the
  // program's folder (axis calibration) and switches (safety enclosure).
  context.identifyEnvironment = [&connection] { return connection.identifyEnvironment(); };
}

void tMachineControl::timerEvent() {
  // While the engraving worker holds the link only the work it hands over runs.
  if (flags.engravingHoldsLink) {
    connection_.queue().runPending();
    return;
  }
  connection_.tick();
  panel.Timer1Timer();
}

}  // namespace trazvik
