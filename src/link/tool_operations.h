// The tool and the machine's outputs: spindle and laser switching, spindle
// speed and powers, laser pulses, dust extraction, vacuum pump and
// lubrication. None of them checks a reply; the link handles its failures.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <cstdint>

namespace trazvik {

// Switches the tool on or off as the last read state (bit 2) says.
void toggleTool(tMachineOps& ops);
// "R" 0 sel_power when the tool is on.
void toolOff(tMachineOps& ops);
void spindleOn(tMachineOps& ops);   // "R" 1 sel_power
void spindleOff(tMachineOps& ops);  // "R" 0 sel_power
// "T" sel_power with rpm / 100 (at most 180), always the four-byte form.
void setSpindleSpeed(tMachineOps& ops, std::int64_t rpm);
// "T" channel value: one byte below protocol level 6 (a larger value is
// held at 255 rather than cut to its low byte), four bytes from level 6.
void setPower(tMachineOps& ops, std::uint8_t channel, std::uint16_t value);
// The power of the status (clamped to the laser's full power on a laser)
// times powerScale, on the selected power channel.
void applyPowerFromStatus(tMachineOps& ops);
// Idle (channel 3) and working (channel 1) power in percent, 200 ms apart;
// then the tool output on a machine that is not a laser.
void setStartPowers(tMachineOps& ops, double idle, double work);
void dustExtraction(tMachineOps& ops, bool on);    // "R" on/off 0x81
void vacuumPumpSwitch(tMachineOps& ops, bool on);  // "R" on/off 0x82
// Lubrication runs while its bits are clear: on is "R" 0 0xC0.
void lubrication(tMachineOps& ops, bool on);
void laserPulse(tMachineOps& ops, std::uint32_t ms);         // "SLT" ms, "SLP"
void setLaserPulseTime(tMachineOps& ops, std::uint32_t ms);  // "SLT" ms
// "Sfw": the controller waits until the spindle has run up.
void spindleWait(tMachineOps& ops);

}  // namespace trazvik
