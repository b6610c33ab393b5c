// The values of the link and the controller of one connection (part of its
// machine state, machine_state.h).
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

// The firmware version as the controller's three numbers joined by ".".
std::string firmwareVersionText(const tLinkState& link);

// The program's "maxX", "maxY" and "ADres" value options replace workArea X,
// workArea Y and laserFullPower (applied at the end of reading the machine
// information); options that were absent or not integers change nothing.
void applyCommandLineOverrides(const base::StartupSwitches& switches, tLinkState& link);

}  // namespace trazvik
