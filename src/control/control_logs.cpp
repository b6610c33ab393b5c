#include "control/control_logs.h"

#include <cmath>
#include <string>

namespace trazvik {

void tControlLogs::started(const logging::CutStartInfo& info) {
  last_ = info;
  interruptedLogged_ = false;
  logs_.log_cut_start(info);
}

void tControlLogs::onEvent(const tControlEvent& event) {
  switch (event.kind) {
    case tControlEventKind::jobStarted: started(last_); break;
    case tControlEventKind::jobPaused: logs_.log_cut_stop(); break;
    case tControlEventKind::jobContinued: logs_.log_cut_continue(); break;
    case tControlEventKind::jobEnded: logs_.log_cut_end(); break;
    case tControlEventKind::jobAbandoned: logs_.log_cut_abandoned(); break;
    case tControlEventKind::linkLost:
    case tControlEventKind::jobInterrupted:
      // The transfer and the loop may both notice the same loss.
      if (interruptedLogged_) break;
      interruptedLogged_ = true;
      logs_.log_cut_interrupted("Link lost: job file sent up to byte " + std::to_string(event.filePos) + " (" +
                                std::to_string(static_cast<long long>(std::nearbyint(event.percent))) + " %)");
      break;
    case tControlEventKind::linkFaulty:
    case tControlEventKind::controllerStalled:
      if (interruptedLogged_) break;
      interruptedLogged_ = true;
      logs_.log_cut_interrupted(std::string(event.kind == tControlEventKind::linkFaulty
                                                ? "Link faulty: the controller's status replies could not be read"
                                                : "Controller stalled: buffer full while the machine stood still") +
                                "; job file sent up to byte " + std::to_string(event.filePos) + " (" +
                                std::to_string(static_cast<long long>(std::nearbyint(event.percent))) + " %)");
      break;
    default: break;
  }
}

}  // namespace trazvik
