// The event and job logs as an observer of the job's life: the transfer
// and the monitoring loop report each change (tControlContext::onEvent,
// wired by the cutting session), and this turns them into the log hooks.
#pragma once
#include "no_qt.h"

#include "control/control_events.h"
#include "logging/app_logs.h"

#include <functional>

namespace trazvik {

class tControlLogs {
 public:
  explicit tControlLogs(logging::AppLogs& logs) : logs_(logs) {}

  // A job handed to the transfer by the start of cutting.
  void started(const logging::CutStartInfo& info);
  // One event of the transfer or the loop. A repeat starts the job again
  // with the information of the last start.
  void onEvent(const tControlEvent& event);

 private:
  logging::AppLogs& logs_;
  logging::CutStartInfo last_;
  bool interruptedLogged_ = false;
};

}  // namespace trazvik
