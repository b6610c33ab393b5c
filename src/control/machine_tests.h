// The service tests of the "Move" window: the back-and-forth motion test,
// the surface scan that probes the table on a grid and writes the heights,
// the heater output test and the laser firing test. Each runs until the
// operator presses a key or the left mouse button; the caller's
// `interrupted` takes one queued event per round and says whether it was
// one of those.
#pragma once
#include "no_qt.h"

#include "control/scan_picture.h"
#include "link/machine_ops.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace trazvik {

// Takes one event of the interface's queue; true for a key press or a
// press of the left mouse button.
using tOperatorInterrupt = std::function<bool()>;

enum class tServiceTestResult {
  ended,          // the operator ended the test (or the scan covered the table)
  noLink,         // no controller answers; nothing sent
  missingValues,  // the scan needs non-zero steps and height
  stopped,        // the panel's STOP ended a wait
  linkLost,       // the controller went away during the test
};

// testClick: the move by (x, y, z) mm and back, again and again.
tServiceTestResult backAndForthTest(tMachineOps& ops, double x, double y, double z,
                                    const tOperatorInterrupt& interrupted);

// Rows that lie within 5 mm of a multiple of 40 mm (the table's slats) are
// not probed.
bool scanRowSkipped(double py);

// One line of "scan.txt": X, Y and the height above the table, mm, each
// right-aligned in 8 characters with 2 decimals.
std::string scanLine(double x, double y, double height);

struct tScanSettings {
  double columnStep = 0;      // X step, mm
  double rowStep = 0;         // Y step, mm
  double approachHeight = 0;  // shown Z each probe starts from, mm
};

struct tScanOutcome {
  tServiceTestResult result = tServiceTestResult::noLink;
  int probes = 0;                  // lines written
  std::vector<tScanPoint> points;  // what the lines say, for the height map
};

// scanClick: serpentine rows over the working area from (0, 20); at each
// point not on a slat row the tool is lowered until it touches ("W") and
// the height is written to `out`. The machine goes back to its zero at the
// end. Zero steps or height: the error box "msgWstawParametry".
tScanOutcome surfaceScan(tMachineOps& ops, const tScanSettings& settings, std::ostream& out,
                         const tOperatorInterrupt& interrupted);

// TestGrzalki: the heater output (0x02) on and off, `runUpSeconds` each.
tServiceTestResult heaterTest(tMachineOps& ops, double runUpSeconds, const tOperatorInterrupt& interrupted);

struct tLaserTestSettings {
  double workPowerPercent = 0;  // work_power
  double idlePowerPercent = 0;  // SpoczynkowaMocLasera
  double pulseMs = 0;           // CzasImpulsu
};

// ButtonTestLasera: the laser fired for the pulse time once a second.
// When the test ends the beam and its gate are switched off again.
tServiceTestResult laserTest(tMachineOps& ops, const tLaserTestSettings& settings,
                             const tOperatorInterrupt& interrupted);

}  // namespace trazvik
