// Process-wide values of the link and the controller. They are kept in one
// record so the simulator and the tests can work on their own copy; the
// names the rest of the program uses are references into the global one.
#pragma once
#include "no_qt.h"

#include "base/startup_switches.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trazvik {

struct tLinkState {
  bool cncMachine = false;      // packet link (USB or Ethernet) rather than parallel port
  bool ethernetActive = false;  // Ethernet used instead of USB
  bool drillSlots = false;      // 64-bit state word and extended report layouts
  std::uint16_t protocolLevel = 0;
  std::uint16_t firmwareMinor = 0;
  std::int32_t firmwareBuild = 0;
  std::int32_t controllerVersion = 300;    // three digits from the version text
  std::array<double, 3> workArea{};        // mm
  std::array<double, 3> secondWorkArea{};  // mm, multi-head machines
  std::int32_t laserFullPower = 255;
  std::int32_t machineInputs = 0;                // bit 3: enclosure open
  std::int32_t driverErrorAxes = 0;              // bit 0 X, 1 Y1, 2 Z, 3 Y2
  std::array<std::int32_t, 4> inverterStatus{};  // status, frequency, current, fourth
  std::array<float, 3> calibrationFactors{1.0f, 1.0f, 1.0f};
  std::int32_t usbReadErrors = 0;
  std::int32_t usbWriteErrors = 0;
  std::int32_t ethernetError = 0;

  // protocolLevel.firmwareMinor is at least a.b
  bool firmwareAtLeast(int a, int b) const { return protocolLevel * 100 + firmwareMinor >= a * 100 + b; }
};

inline tLinkState linkState{};

inline bool& cncMachine = linkState.cncMachine;
inline bool& ethernetActive = linkState.ethernetActive;
inline bool& drillSlots = linkState.drillSlots;
inline std::uint16_t& protocolLevel = linkState.protocolLevel;
inline std::uint16_t& firmwareMinor = linkState.firmwareMinor;
inline std::int32_t& firmwareBuild = linkState.firmwareBuild;
inline std::int32_t& controllerVersion = linkState.controllerVersion;
inline std::array<double, 3>& workArea = linkState.workArea;
inline std::array<double, 3>& secondWorkArea = linkState.secondWorkArea;
inline std::int32_t& laserFullPower = linkState.laserFullPower;
inline std::int32_t& machineInputs = linkState.machineInputs;
inline std::int32_t& driverErrorAxes = linkState.driverErrorAxes;
inline std::array<std::int32_t, 4>& inverterStatus = linkState.inverterStatus;
inline std::array<float, 3>& calibrationFactors = linkState.calibrationFactors;
inline std::int32_t& usbReadErrors = linkState.usbReadErrors;
inline std::int32_t& usbWriteErrors = linkState.usbWriteErrors;
inline std::int32_t& ethernetError = linkState.ethernetError;

inline bool firmwareAtLeast(int a, int b) { return linkState.firmwareAtLeast(a, b); }

// The firmware version as the controller's three numbers joined by ".".
std::string firmwareVersionText(const tLinkState& link);

// The program's "maxX", "maxY" and "ADres" value options replace workArea X,
// workArea Y and laserFullPower (applied at the end of reading the machine
// information); options that were absent or not integers change nothing.
void applyCommandLineOverrides(const base::StartupSwitches& switches, tLinkState& link);

}  // namespace trazvik
