// Set-up values written into the controller: acceleration, machine
// parameter bytes (calibration factors, knife offset, two-edged knife),
// smoothing off, the controller's own address, arming the automatic tool
// measurement, and the spindle inverter's parameter file.
#pragma once
#include "no_qt.h"

#include "link/machine_ops.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace trazvik {

// Record "SA" with the coefficient (0 to 14; others are held to that
// range); the machine's ramp step follows.
void setAcceleration(tMachineOps& ops, std::int32_t value);
// Four "S" 0x0D commands, codes code to code + 3, lowest byte first.
void setMachineParameter(tMachineOps& ops, std::uint8_t code, std::uint32_t value);
// The X, Y, Z calibration factors as single-precision bit patterns at 68, 72, 76.
void setCalibrationParameters(tMachineOps& ops, float x, float y, float z);
// Blade offset of the oscillating knife (knife steps) at 108.
void setKnifeOffsetParameter(tMachineOps& ops, std::uint32_t value);
// The two-edged knife flag at 112.
void setTwoWayKnifeParameter(tMachineOps& ops, std::uint8_t flag);
// "S" 0: continuous-path smoothing off.
void smoothingOff(tMachineOps& ops);
// "SIP" with the four octets.
void sendControllerAddress(tMachineOps& ops, const std::array<std::uint8_t, 4>& octets);
// "SU" when a controller is reachable and its firmware is 7.17 or later;
// true when it was sent.
bool armToolMeasure(tMachineOps& ops);

// Sends the inverter parameter file of the machine type from
// `programDirectory`, 80 ms after each parameter. A missing file sends
// nothing; a file with a bad line sends nothing and names the line. Returns
// the error text, empty on success.
std::string sendInverterParameters(tMachineOps& ops, const std::filesystem::path& programDirectory);

}  // namespace trazvik
