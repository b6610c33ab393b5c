// What the transfer and the monitoring loop tell the logs: one event per
// change of the job's life, with where the transfer stood. The event and
// job logs subscribe through tControlContext::onEvent.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>

namespace trazvik {

enum class tControlEventKind {
  jobStarted,        // a job (or its repeat) began streaming
  jobPaused,         // pause command, STOP button, machine stop button, enclosure
  jobContinued,      // continue operation sent "K"
  jobEnded,          // the controller finished a started job
  jobAbandoned,      // the operator stopped the job for good ("C" sent)
  jobInterrupted,    // a started job vanished without finishing (lost link)
  transferFinished,  // the whole job file went out
  linkLost,          // the link went down while the transfer was open
  badJobFile,        // the job file holds something that is not a command
  spindleOverload,
  driverError,  // `value`: the axes mask
  enclosureOpened,
  pausedByMachine,    // the machine's stop button paused the job (after jobPaused)
  linkFaulty,         // status replies could not be read, time after time: sending stopped
  echoFault,          // an echo missing or not the command's; `value`: the job file byte, -1 outside the job
  controllerStalled,  // buffer full while the machine stood: the operator stopped the job
};

struct tControlEvent {
  tControlEventKind kind{};
  std::int32_t filePos = 0;  // bytes of the job file sent so far
  double percent = 0;        // transmissionPercent
  std::int64_t value = 0;
  std::string detail;  // the message shown, when there was one
};

const char* controlEventName(tControlEventKind kind);

}  // namespace trazvik
