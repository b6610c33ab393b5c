// How one simulated controller is set up: the machine it drives (by its
// product string, whose first characters are the machine type code), its
// firmware, working area, heads, inputs, job buffer and the speed of its
// clock relative to the wall clock.
#pragma once
#include "no_qt.h"

#include "machine/link_state.h"
#include "machine/machine_params.h"
#include "table_surface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trazvik::sim {

struct SimConfig {
  std::string product = "YFB 32";         // USB product string and identity model field
  std::string manufacturer = "DornElis";  // USB manufacturer string (the link selects on it)
  std::string maker = "DORNELIS";         // maker name on the identity page
  std::string serial = "24110153";        // serial number (it encodes the production date)
  int firmwareMajor = 7, firmwareMinor = 20, firmwareBuild = 0;
  std::string versionText = "CNCv   5.50";              // report 15: "v" at byte 3, digits at 7, 9, 10
  std::array<double, 3> workArea{1000, 600, 120};       // mm
  std::optional<std::array<double, 3>> secondWorkArea;  // mm, multi-head machines
  int laserFullPower = 255;
  std::optional<int> heads;       // replaces the head count of the machine type
  std::optional<bool> knifeAxis;  // replaces the knife axis of the machine type
  std::uint8_t inputs = 0;        // input byte (bit 3: enclosure open)
  char travelVariant = 'S';       // "L" long-travel variant

  std::size_t bufferBytes = 8192;        // job bytes that may wait before bit 9
  std::size_t bufferHeadroom = 3200;     // accepted beyond that (a sender's last batch)
  std::size_t storageLimit = 64u << 20;  // job bytes kept for repeats
  double timeScale = 1.0;                // simulated seconds per wall-clock second
  // A job without an end record ends when its buffer stayed empty this long
  // (simulated milliseconds; narrow command set only, whose jobs have no end record).
  double emptyBufferEndMs = 1000;
  double probeTouchMm = -80;  // machine Z where the length sensor is touched
  // Where each head's tool touches the sensor (heads 1 to 3; a head not
  // listed touches at probeTouchMm): the tools of a multi-head machine
  // differ in length.
  std::vector<double> headProbeTouchMm;
  // A table whose height varies: the probe then stops on it wherever the
  // tool stands (the length sensor is taken to lie on it).
  std::optional<TableSurface> tableSurface;
  std::array<double, 3> baseDeviationMm{0, 0, 0};  // what a base check finds
  std::int32_t runningMinutes = 5321, counter = 412;
};

// The identified machine as the controller's firmware knows it.
struct SimMachine {
  tMachineModel model;
  tLinkState link;
};

// Identifies the configured product string with the firmware version, then
// applies the head and knife settings of the configuration. Throws
// std::invalid_argument for a product string that names no machine type.
SimMachine setupMachine(const SimConfig& config);

// "7.20" or "7.20.3" into major, minor and build; false on a bad text.
bool parseFirmware(const std::string& text, SimConfig& config);

}  // namespace trazvik::sim
