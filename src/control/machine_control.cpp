#include "control/machine_control.h"

namespace trazvik {

tMachineControl::tMachineControl(tMachineConnection& connection, tplotstate& st, tMachineModel& machine,
                                 const texts::tInterfejs& texts, std::string dataDirectory, tControlState& flags)
    : context(connection.link(), connection.status(), st, machine, texts, flags, std::move(dataDirectory)),
      transfer(context),
      panel(context, transfer),
      commands(context, connection.ops(), panel, transfer),
      connection_(connection) {
    context.interfaceQueue = &connection.queue();
    context.watchdog = [&connection] { return connection.watchdog(); };
}

void tMachineControl::timerEvent() {
    connection_.tick();
    panel.Timer1Timer();
}

}  // namespace trazvik
