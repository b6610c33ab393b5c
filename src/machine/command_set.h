// What the byte layouts of the controller's command language depend on: the
// identified machine and the controller's protocol level. Encoders and the
// decoder take it explicitly so the workstation and the simulator share them.
#pragma once
#include "no_qt.h"

#include <cstdint>
#include <string>

namespace trazvik {

struct tLinkState;
struct tMachineModel;

// Job commands use lower-case opcodes; the same layouts with upper-case
// opcodes are immediate commands, sent one at a time.
enum class CommandForm { job, immediate };

struct tCommandSet {
  bool wide = false;  // wideCommandSet
  int protocolLevel = 0;
  int speedMultiplier = 1;
  double axisFactorX = 1, axisFactorY = 1, axisFactorZ = 1;
  double timerTick = 1;  // microseconds per timer count
  std::uint16_t minFeed = 0;
  bool integerSpeedFactor = false;  // "YCP 50": speed codes use round(axisFactorX)
  std::int32_t knifeStepsPerTurn = 0;
  bool knifeAxis = false;
  bool cncMachine = false;  // work zero sent as u32 rather than u24
  int headCount = 1;

  // The factor wide speed codes divide by.
  double speedFactor() const;
};

tCommandSet commandSetOf(const tMachineModel& machine, const tLinkState& link);

// Opcode letter in the form's case.
char opcode(char letter, CommandForm form);

}  // namespace trazvik
