// Machine identification: the product string of the controller becomes the
// machine type code and its parameter record, adjusted by firmware version
// and axis calibration, with the capability flags the rest of the program
// asks about.
#pragma once
#include "no_qt.h"

#include "machine/link_state.h"
#include "machine/machine_params.h"
#include "machine/plot_state.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace trazvik {

// What identification needs from outside the machine model: the program's
// folder and switch, and the USB reads (absent over Ethernet).
struct tIdentifyEnvironment {
  std::string programDirectory;        // where "kalibracja.txt" lies
  bool safetyEnclosureSwitch = false;  // program switch "SafetyEnclosure"
  // This system gives programs no direct port access, so a plotter-class
  // type is still driven over the packet link.
  bool directPortAccessForbidden = true;
  // Calibration report (18); nothing when the read failed.
  std::function<std::optional<std::array<float, 3>>()> readCalibration;
  // Travel variant report (25): true for the long-travel variant; nothing
  // when the read failed or there is no USB link.
  std::function<std::optional<bool>()> readLongTravel;
};

// Runs every identification step in order from st.info1 and the firmware
// numbers in `link`. A product string that matches no step leaves the
// parameters as they were.
void identifyMachine(tMachineModel& machine, tLinkState& link, const tplotstate& st, const tIdentifyEnvironment& env);

// Divides the loaded axis factors by the calibration: the calibration report
// on drilling families, else "kalibracja.txt" (three numbers, one per line,
// each clamped to 0.6 to 1.4).
void applyAxisCalibration(tMachineModel& machine, tLinkState& link, const tIdentifyEnvironment& env);

// A machine model identified from a product string and firmware version
// alone (no calibration, no USB reads): what the simulator, the job dump
// and the tests use to stand for a machine type. `link` receives the link
// values identification sets.
tMachineModel machineModelFor(const std::string& productString, int protocolLevel, int firmwareMinor, int firmwareBuild,
                              tLinkState& link);

// The product string with the missing characters (up to `length`) blanks.
std::string paddedProductString(const std::string& info1, std::size_t length);

}  // namespace trazvik
