// Faults the simulated controller can be asked to show: misbehaving replies on
// the link, a full or lost link, and machine events (buttons, overload, driver
// error, enclosure). Tests set them through the controller's control calls;
// the program schedules them from its command line ("stop@40").
#pragma once
#include "no_qt.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace trazvik::sim {

// What goes wrong with replies. A count of -1 means "every time from now on",
// 0 means "never"; each faulty reply uses up one.
struct ReplyFaults {
  int wrongEchoes = 0;  // the echo keeps a lower-case opcode or has its last byte altered
  int lostEchoes = 0;   // the command is taken but no echo comes back
  int splitEchoes = 0;  // the echo arrives in two pieces, some time apart
  int shortStatus = 0;  // the status reply is cut to shortStatusLength bytes
  std::size_t shortStatusLength = 20;
  int garbageStatus = 0;  // the status reply is noise of the right length
};

enum class FaultAction {
  pressStart,
  pressStop,
  pressContinue,
  pressProgrammable1,
  pressProgrammable2,
  spindleOverload,  // stop request together with the overload bit
  driverError,      // value: axes (bit 0 X, 1 Y1, 2 Z, 3 Y2); 0 clears
  openEnclosure,
  closeEnclosure,
  inverterError,   // value 0 clears
  holdBufferFull,  // value 0 releases
  dropLink,        // the command connection is closed (USB: unplugged)
  stall,           // nothing is answered any more
  lostEchoes,
  wrongEchoes,  // value: count (-1 always)
  splitEchoes,
  shortStatus,
  garbageStatus,
  lostSteps,  // shiftMm: the true position slips against the counted one
  // The controller restarts (a reset, a power dip): the job, its motion and
  // the outputs are gone, the position counters start again at 0 where the
  // tool stands (the position is lost until the machine is homed), and the
  // link drops as the controller starts anew.
  reset,
};

// One fault of the command line: `action` happens once the controller has
// received `afterCommands` commands (0: at start).
struct ScheduledFault {
  FaultAction action = FaultAction::pressStop;
  std::int64_t value = 1;
  std::int64_t afterCommands = 0;
  std::array<double, 3> shiftMm{};  // lost steps: X, Y, Z in mm
};

// Parses "NAME[=VALUE][@COMMANDS]", for example "stop@40", "driver-error=X,Z@100",
// "wrong-echo=3", "short-status=-1", "drop@500", "lost-steps=0.2,0,0@300". Names: start, stop, continue,
// request1, request2, overload, driver-error, enclosure-open, enclosure-closed,
// inverter-error, buffer-full, drop, stall, wrong-echo, lost-echo, split-echo,
// short-status, garbage-status, lost-steps=DX[,DY[,DZ]] (mm, decimal point), reset.
// Returns nothing and fills `error` on a bad text.
std::optional<ScheduledFault> parseFault(const std::string& text, std::string& error);

// Axis names "X", "Y1", "Y2", "Z" joined by commas, or a number, to the mask.
std::optional<std::int64_t> parseAxes(const std::string& text);

// Uses up one faulty reply of a counter; true when this reply is faulty.
bool takeFault(int& counter);

}  // namespace trazvik::sim
