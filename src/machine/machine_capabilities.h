// Questions the rest of the program asks about the identified machine.
#pragma once
#include "no_qt.h"

#include "config/machine_context.h"
#include "machine/link_state.h"
#include "machine/machine_params.h"
#include "machine/plot_state.h"

#include <cstdint>
#include <string>

namespace trazvik {

class TDlgkonfig;

// Machines whose tool length is measured by the controller: "YFB", "YJB",
// "YNB" (any case), "RZ", "RB", "RB2".
bool isToolMeasureFamily(const tMachineModel& m);
// The job waits for the spindle to run up ("Sfw").
bool spindleWaitRecord(const tMachineModel& m, const tLinkState& link);
// The pump is switched on before a job (setting cbZalaczPompeProzniowa).
bool vacuumBeforeStartWanted(const tMachineModel& m, const TDlgkonfig& settings);
bool highResolutionPower(const tMachineModel& m, const tLinkState& link);
// Unit index as in the settings: 0 millimetres, 1 inches, 2 feet.
std::uint8_t decimalsForUnit(const tMachineModel& m, int unitIndex);
std::string processorName(const tLinkState& link);
// Each of the three firmware numbers compared on its own.
bool firmwareAtLeastParts(const tLinkState& link, int a, int b, int c);
bool firmwareIs(const tLinkState& link, int a, int b);
// The spindle inverter reports no error (bit 62 on the drilling families);
// always true on "RB2" and on controllers marked as having no inverter.
bool inverterOk(const tMachineModel& m, const tLinkState& link, const tplotstate& st);

// The machine's acceleration coefficient and its product string without
// blanks, after the machine information was read; 0 and an empty text when
// no USB controller is present.
std::int32_t defaultAcceleration(bool usbControllerPresent, const tMachineModel& m, const tplotstate& st,
                                 std::string& productText);

// What the settings dialog needs to know about the identified machine.
config::MachineContext machineContextOf(const tMachineModel& m, const tLinkState& link, const tplotstate& st,
                                        bool identified);

}  // namespace trazvik
