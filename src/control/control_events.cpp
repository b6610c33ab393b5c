#include "control/control_events.h"

namespace trazvik {

const char* controlEventName(tControlEventKind kind) {
  switch (kind) {
    case tControlEventKind::jobStarted: return "job started";
    case tControlEventKind::jobPaused: return "job paused";
    case tControlEventKind::jobContinued: return "job continued";
    case tControlEventKind::jobEnded: return "job ended";
    case tControlEventKind::jobAbandoned: return "job stopped";
    case tControlEventKind::jobInterrupted: return "job interrupted";
    case tControlEventKind::transferFinished: return "transfer finished";
    case tControlEventKind::linkLost: return "link lost";
    case tControlEventKind::badJobFile: return "bad job file";
    case tControlEventKind::spindleOverload: return "spindle overload";
    case tControlEventKind::driverError: return "driver error";
    case tControlEventKind::enclosureOpened: return "enclosure opened";
    case tControlEventKind::pausedByMachine: return "paused by the machine";
    case tControlEventKind::linkFaulty: return "link faulty";
    case tControlEventKind::echoFault: return "echo fault";
    case tControlEventKind::controllerStalled: return "controller stalled";
  }
  return "?";
}

}  // namespace trazvik
