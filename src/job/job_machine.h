// The machine a job is written for, a machine state (the identified model,
// the controller's link values and the last status: work zero, head Z zeros,
// tool mask), and what the writer derives from it.
#pragma once
#include "no_qt.h"

#include "machine/command_set.h"
#include "job/speed_plan_params.h"
#include "machine/machine_state.h"

#include <string>

namespace trazvik {

// A machine type at a firmware version without a controller attached: the
// identification of its product string (e.g. "YFB 32", "WTK32", "YJB"),
// with the type's head count and a status of zeros.
tMachineState jobMachineFor(const std::string& type, int protocolLevel, int firmwareMinor);

// The capabilities that change what the writer writes.
struct tWriterMachine {
  tCommandSet set;
  tSpeedPlanParams plan;  // the machine's part of speed planning
  bool cnc = false;       // router, drill or laser (not a plotter-class controller)
  bool laser = false;
  bool laserZAxis = false;  // laser with a focus axis
  bool wide = false;        // 32-bit speeds and 15-byte moves
  bool drillSlots = false;  // slots 4 and 5 hold drilling feeds for the whole job
  int headCount = 1;
  bool safetyEnclosure = false;  // the enclosure starts the tool itself
  bool spindleWait = false;      // "RB2": "sfw" instead of a timed run-up
  bool singlePower = false;      // "YHB 32": only the working power in the header
  bool lubrication = false;      // "YFF", "YRF": lubrication outputs
  bool bezier = false;           // Bezier records accepted
  bool knifeAxis = false;        // the machine has the tangential-knife axis
  int protocolLevel = 0;
  double maxSpindle = 0;
  double laserFullPower = 255;
  std::array<double, 3> headZZero{};  // 0.01 mm, from the status
  std::uint8_t toolMask = 0;          // status sel_power
  trpoint3d workZero;                 // 0.01 mm, from the status
};

tWriterMachine writerMachineOf(const tMachineState& m);

// The spindle speed or laser power a G-code program's S word asks for, held
// within the machine's working power range as the working power setting is:
// minimum to maximum spindle speed (rpm) on machines of the USB controller
// generation, else 0 to 100 percent. 0 (no S word) stays 0.
double programPowerOf(const tMachineParams& p, double sWord);

}  // namespace trazvik
