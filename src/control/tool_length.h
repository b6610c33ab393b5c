// The tool length window without its window: the Z work zero, that is the
// height of the machine's Z top above the table, taken from a typed
// distance between the tool tip and the table or from the tool touching the
// material or the table, and sent to the controller.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <string>

namespace trazvik {

namespace texts {
class tInterfejs;
}

enum class tToolLengthResult {
    set,      // the Z zero was sent
    busy,     // the machine moves or runs a job: refused, nothing sent
    noLink,   // no controller answers: nothing sent
    tooFar,   // the typed distance is beyond the Z travel: nothing sent
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

}  // namespace trazvik
