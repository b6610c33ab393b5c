// The tool length window without its window: the Z work zero, that is the
// height of the machine's Z top above the table, taken from a typed
// distance between the tool tip and the table or from the tool touching the
// material or the table, and sent to the controller.
#pragma once
#include "no_qt.h"

#include "base/startup_switches.h"
#include "link/machine_ops.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace trazvik {

namespace texts {
class tInterfejs;
}

enum class tToolLengthResult {
  set,           // the Z zero was sent
  busy,          // the machine moves or runs a job: refused, nothing sent
  noLink,        // no controller answers: nothing sent
  tooFar,        // the typed distance is beyond the Z travel: nothing sent
  stopped,       // the operator's STOP ended a wait of the measurement
  linkLost,      // the controller went away during the measurement: no zero sent
  plateUnknown,  // the plate's place is no known choice: the zero kept as it was
  noHead,        // no head to measure: a single-head machine or none checked
};

// The Z work zero (hundredths of a mm) when the tool, standing at machine
// Z `absZ` (hundredths, 0 at the top, below negative), touches a surface
// `surfaceMm` above the table.
double zeroForTouch(double surfaceMm, double absZ);

// The tool touches the material surface (grubosc + ponad_stol above the
// table) or the table surface: the Z zero from where the tool stands. A
// busy machine is refused with "msgZatrzymajPrzedPomiarem".
tToolLengthResult touchMaterialSurface(tMachineOps& ops, double materialThickness, double aboveTable);
tToolLengthResult touchTableSurface(tMachineOps& ops);

// OK with the typed distance (mm) between the tool tip and the table: the
// Z zero is that distance unless it exceeds the Z travel the controller
// reported (secondWorkArea Z; not reported yet: not checked).
tToolLengthResult setTypedToolDistance(tMachineOps& ops, double distanceMm);

// The refusal of a typed distance beyond the Z travel `maxZ` (mm).
std::string toolTooFarText(const texts::tInterfejs& texts, double distanceMm, double maxZ);

// The oscillating knife's blade offset from the X axis: knife steps to
// degrees and back (truncated, any angle taken into one turn).
double knifeOffsetDegrees(std::int32_t steps, std::int32_t stepsPerTurn);
std::uint32_t knifeOffsetSteps(double degrees, std::int32_t stepsPerTurn);
// Writes the blade offset (machine parameter 108); false when the machine
// has no knife turn defined or the angle is no number (nothing sent).
bool sendKnifeOffset(tMachineOps& ops, double degrees);

// The automatic measurement on the length sensor plate.
struct tToolMeasureSettings {
  double plateThickness = 0;     // GruboscPlytki, mm
  int platePlace = 0;            // PolozeniePlytki: 0 on the table, 1 on the spoil board, 2 on the material
  double materialThickness = 0;  // grubosc, mm
  double aboveTable = 0;         // ponad_stol (spoil board height), mm
};

// The Z zero (hundredths of a mm) when the probe stopped at machine Z
// `absZ` on the plate; nothing for a plate place that is no known choice.
std::optional<double> zeroForPlate(const tToolMeasureSettings& s, double absZ);

// "Automatic measurement" (pomiarClick) on a single-head machine: lifts Z
// to its reference, probes ("W") until the tool touches the plate (a STOP
// ends the probe where it is, as a key did), sends the Z zero from the stop
// position, restores the manual feed and lifts Z again. A busy machine is
// refused with "msgZatrzymajPrzedPomiarem"; a STOP during the moves before
// the probe or a lost link ends it without a zero.
tToolLengthResult measureToolLength(tMachineOps& ops, const tToolMeasureSettings& settings,
                                    const base::StartupSwitches& switches,
                                    const std::function<void(bool busy)>& hourglass = {});

// The fixed length sensor of a multi-head machine.
struct tHeadSensor {
  double x = 0;  // feuPomiarNarzX: machine X of the sensor, mm
  double z = 0;  // feuPomiarNarzZ: height of the sensor's top above the table, mm
};

// "Measure the tools of the selected heads": for each checked head in
// order, lifts Z to its reference, brings the head over the fixed sensor
// (its X offset from the settings), probes down and sends that head's Z
// zero; the other heads keep theirs. A busy machine is refused with
// "msgZatrzymajPrzedPomiarem" and a silent one with "msgBrakLacznosci",
// both before anything is sent; a STOP or a lost link ends it at the head
// being measured.
tToolLengthResult measureSelectedHeads(tMachineOps& ops, const std::array<bool, 3>& checked, const tHeadSensor& sensor,
                                       const base::StartupSwitches& switches,
                                       const std::function<void(bool busy)>& hourglass = {});

// The manual panel: the typed Z zeros (mm) of heads 1 to 3 sent at once. A
// value that is no number sends nothing.
tToolLengthResult setHeadZeros(tMachineOps& ops, const std::array<double, 3>& zerosMm);

// What the machine's remote button asks of the open window.
enum class tRemoteRequest {
  none,           // not pressed: keep watching
  measure,        // run the automatic measurement, then watch again
  touchMaterial,  // multi-head machine: the material-surface touch, then watch again
  ignored,        // another machine family: stop watching
};

// One tick of the window's watch (every 100 ms): reads the state word; the
// remote button (state bit 26) re-arms the controller's measurement ("SU")
// and says what to run.
tRemoteRequest remoteMeasureRequest(tMachineOps& ops);

}  // namespace trazvik
